// Rules of the ring animation that need neither OpenGL nor a window: the
// program's random sequence, the ring-colour shuffle, the raster bounce and
// the frame-angle sequence.
#pragma once
#include <cstdint>

struct RingColour {
    float red, green, blue;
};

struct RasterColour {
    std::uint8_t red, green, blue;
};

// The raster step of a frame: three draws for its colour (blue first), and
// the position it uses, after which the x moves on and bounces.
struct RasterStepResult {
    RasterColour colour;
    std::int32_t x, y;
};

// The animation's state, as a screen-saver hack keeps it: one object, made
// with the values a run starts from.
class RingAnimation {
public:
    static constexpr int kRings = 4;

    // Next number of the program's linear congruential sequence, 0 to 32767.
    int NextRandom();

    // Draws new ring colours and the ring count (13 draws) and restarts the
    // count of frames.
    void ShuffleRingColours();

    // Counts one frame; reshuffles when 101 frames have passed since the
    // last shuffle. Returns true when it reshuffled.
    bool CountFrameForShuffle();

    // Number of rings shown, 1 to 4.
    int VisibleRingCount() const { return 1 + extraRings_; }
    const RingColour& Colour(int ring) const { return colours_[ring]; }

    RasterStepResult TakeRasterStep();

private:
    float DrawComponent();

    RingColour colours_[kRings] = {};
    std::int32_t extraRings_ = 0;
    std::int32_t framesSinceShuffle_ = 0;
    std::int32_t rasterX_ = -200;
    std::int32_t rasterY_ = -150;
    std::int32_t rasterStep_ = -1;
    std::uint32_t randomState_ = 1;
};

// Angle of the frame after the one drawn with `angle`: 0, 1, ..., 360, 1, ...
std::int32_t NextFrameAngle(std::int32_t angle);
