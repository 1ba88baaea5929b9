// Rules of the ring animation that need neither OpenGL nor a window:
// the program's random sequence, the ring-colour shuffle, the raster bounce
// and the frame-angle sequence. The renderer's state is program-wide, as in
// the rest of the renderer; ResetAnimationState restores the start values.
#pragma once
#include <cstdint>

extern float ringRed[4];
extern float ringGreen[4];
extern float ringBlue[4];
extern std::int32_t extraRings;
extern std::int32_t framesSinceShuffle;
extern std::int32_t rasterX;
extern std::int32_t rasterY;
extern std::int32_t rasterStep;
extern std::uint32_t randomState;

// Restores every value above to what it is when the program starts.
void ResetAnimationState();

// Next number of the program's linear congruential sequence, 0 to 32767.
int NextRandom();

// Draws new ring colours and the ring count (13 draws) and zeroes the counter.
void ShuffleRingColours();

// Counts one frame; reshuffles when 101 frames have passed since the last
// shuffle. Returns true when it reshuffled.
bool CountFrameForShuffle();

// Number of rings shown: 1 + extraRings.
int VisibleRingCount();

struct RasterColour {
    std::uint8_t red, green, blue;
};

// The raster step of a frame: three draws for its colour (blue first), and
// the x it uses, after which rasterX moves on and bounces.
struct RasterStepResult {
    RasterColour colour;
    std::int32_t x, y;
};
RasterStepResult TakeRasterStep();

// Angle of the frame after the one drawn with `angle`: 0, 1, ..., 360, 1, ...
std::int32_t NextFrameAngle(std::int32_t angle);
