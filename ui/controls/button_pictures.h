// The six state pictures of the Command button, drawn from a table of their
// frame colours: four rings from the outside in, each side of a ring one
// colour, one colour with a middle run, or a gradient down rows 4 to 20;
// 4 x 4 corner blocks round the frame off. HighLight and HighLightSelect are
// one picture. Only the 4-pixel band along each edge reaches the screen.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "command_rules.h"
#include "face_layout.h"

using Rgb = std::uint32_t;  // 0xRRGGBB

struct FrameSide {
    enum Kind { Solid, MiddleRun, Gradient } kind = Solid;
    Rgb first = 0;   // the colour; a gradient's colour at row 4
    Rgb second = 0;  // the middle run (columns 32 to 56), or a gradient's colour at row 20
};

struct FrameRing {
    FrameSide top, bottom, left, right;
};

struct PictureTable {
    const char* name;
    std::array<FrameRing, 4> rings;  // outermost first
    bool sunk;                       // the pressed look: the frame one pixel further in
};

class StatePicture {
public:
    Rgb At(int x, int y) const { return pixels_[static_cast<size_t>(y) * kPictureWidth + x]; }
    void Set(int x, int y, Rgb colour) { pixels_[static_cast<size_t>(y) * kPictureWidth + x] = colour; }
    bool operator==(const StatePicture& other) const { return pixels_ == other.pixels_; }

private:
    std::array<Rgb, kPictureWidth * kPictureHeight> pixels_{};
};

// The five distinct pictures, in the order of their resources.
enum class PictureFile { Normal, HighLight, Pressed, Disable, Selected };
constexpr int kPictureFileCount = 5;
PictureFile FileOf(FacePicture picture);
const char* PictureFileName(PictureFile file);  // "normal.bmp" ...

const PictureTable& TableOf(PictureFile file);
StatePicture DrawStatePicture(PictureFile file);

// The colour behind the frame's rounded corners, which the blends lean to.
constexpr Rgb kFaceColour = 0xECE9D8;
Rgb MixColour(Rgb from, Rgb to, double amount);  // amount 0 gives `from`
// A side's colour at a column (rows) or at a row (columns).
Rgb SideColourAt(const FrameSide& side, int position);

// 24-bit BMP file bytes (bottom-up rows, BGR).
std::vector<std::uint8_t> EncodeBmp(const StatePicture& picture);
