#include "button_pictures.h"

#include "forms/bmp_file.h"

#include <cmath>

namespace {

constexpr FrameSide Solid(Rgb colour) { return {FrameSide::Solid, colour, colour}; }
constexpr FrameSide Run(Rgb colour, Rgb middle) { return {FrameSide::MiddleRun, colour, middle}; }
constexpr FrameSide Down(Rgb top, Rgb bottom) { return {FrameSide::Gradient, top, bottom}; }
constexpr FrameRing Ring(Rgb colour) { return {Solid(colour), Solid(colour), Solid(colour), Solid(colour)}; }

// The outer ring shared by Normal, HighLight and Selected.
constexpr FrameRing kOuterRing = {Run(0xE0DCC9, 0xDCD6C2), Run(0xF8F7F0, 0xFAFAF6), Solid(0xE2DECB), Solid(0xF0EEE0)};
constexpr Rgb kBorder = 0x003C74;

// Rings from the outside in. For a ring k the top side is row k, the bottom
// row 24 - k, the left column k and the right column 63 - k.
const PictureTable kTables[kPictureFileCount] = {
    {"Normal",
     {{kOuterRing, Ring(kBorder),
       {Solid(0xF3F3EE), Solid(0xD6D0C5), Down(0xFDFDFC, 0xECEBE6), Down(0xF6F4F2, 0xE0DDD4)},
       {Solid(0xF3F3EE), Solid(0xE2DFD6), Down(0xFDFDFC, 0xECEBE6), Down(0xFBFBFA, 0xE4E2DA)}}},
     false},
    {"HighLight",
     {{kOuterRing, Ring(kBorder),
       {Solid(0xFFF0CF), Solid(0xE59700), Down(0xFEDF9A, 0xF9B435), Down(0xFDE09B, 0xF8B435)},
       {Solid(0xFDD889), Solid(0xF8B330), Down(0xFCD279, 0xF8B535), Down(0xFCD279, 0xF8B535)}}},
     false},
    {"Pressed",
     {{Ring(kFaceColour), {Solid(0xE0DCC9), Solid(0xF8F7F0), Solid(0xE2DECB), Solid(0xF0EEE0)}, Ring(kBorder),
       {Solid(0xD1CCC1), Solid(0xF2F1EE), Solid(0xD7D4CB), Solid(0xE4E3DC)}}},
     true},
    {"Disable", {{Ring(0xECE9D8), Ring(0xC9C7BA), Ring(0xF5F4EA), Ring(0xF5F4EA)}}, false},
    {"Selected",
     {{kOuterRing, Ring(kBorder),
       {Solid(0xCEE7FF), Solid(0x6982EE), Down(0xB7D0F4, 0x8BADE4), Down(0xB1CCF2, 0x8BAFE5)},
       {Solid(0xCEE7FF), Solid(0x6982EE), Down(0xB7D0F4, 0x8BADE4), Down(0xB1CCF2, 0x8BAFE5)}}},
     false},
};

// The top-left block of Normal, row by row, as the frame was designed.
constexpr Rgb kNormalTopLeft[4][4] = {
    {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
    {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
    {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
    {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
};

// Where the sunk border meets a corner it lightens.
constexpr Rgb kSunkBorderAcross = 0x255783;
constexpr Rgb kSunkBorderDown = 0x164D7E;

enum class Corner { TopLeft, TopRight, BottomRight, BottomLeft };

// A corner block as seen from its own corner: r counts rows from the outer
// horizontal edge, c columns from the outer vertical edge. across[k] and
// down[k] are ring k's colours where the block meets the edge strips.
using Block = std::array<std::array<Rgb, 4>, 4>;

Block RoundedBlock(const std::array<Rgb, 4>& across, const std::array<Rgb, 4>& down)
{
    Block b{};
    const Rgb outer = MixColour(across[0], down[0], 0.5);
    b[0][0] = MixColour(outer, kFaceColour, 0.8);
    b[0][1] = MixColour(across[0], kFaceColour, 0.3);
    b[1][0] = MixColour(down[0], kFaceColour, 0.3);
    b[0][2] = MixColour(across[0], kFaceColour, 0.08);
    b[2][0] = MixColour(down[0], kFaceColour, 0.08);
    b[0][3] = across[0];
    b[3][0] = down[0];
    b[1][1] = MixColour(outer, kFaceColour, 0.45);
    b[1][2] = MixColour(across[1], across[0], 0.55);
    b[2][1] = MixColour(down[1], down[0], 0.55);
    b[1][3] = MixColour(across[1], across[0], 0.16);
    b[3][1] = MixColour(down[1], down[0], 0.16);
    b[2][2] = MixColour(MixColour(across[1], down[1], 0.5), MixColour(across[2], down[2], 0.5), 0.36);
    b[2][3] = MixColour(across[1], across[2], 0.76);
    b[3][2] = MixColour(down[1], down[2], 0.76);
    b[3][3] = MixColour(across[3], down[3], 0.5);
    return b;
}

// The pressed look: the outermost ring is the face itself and the rounding
// happens one pixel further in.
Block SunkBlock(const std::array<Rgb, 4>& across, const std::array<Rgb, 4>& down)
{
    Block b{};
    for (int i = 0; i < 4; ++i) b[0][i] = b[i][0] = kFaceColour;
    const Rgb outer = MixColour(across[1], down[1], 0.5);
    b[1][1] = MixColour(outer, kFaceColour, 0.6);
    b[1][2] = b[1][3] = across[1];
    b[2][1] = b[3][1] = down[1];
    b[2][2] = MixColour(across[2], outer, 0.55);
    b[2][3] = kSunkBorderAcross;
    b[3][2] = kSunkBorderDown;
    b[3][3] = MixColour(across[2], MixColour(across[3], down[3], 0.5), 0.6);
    return b;
}

void PutBlock(StatePicture& picture, Corner corner, const Block& block)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const bool right = corner == Corner::TopRight || corner == Corner::BottomRight;
            const bool bottom = corner == Corner::BottomRight || corner == Corner::BottomLeft;
            picture.Set(right ? kPictureWidth - 1 - c : c, bottom ? kPictureHeight - 1 - r : r, block[r][c]);
        }
    }
}

}  // namespace

Rgb MixColour(Rgb from, Rgb to, double amount)
{
    Rgb out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        out |= static_cast<Rgb>(std::lround(a + (b - a) * amount)) << shift;
    }
    return out;
}

Rgb SideColourAt(const FrameSide& side, int position)
{
    switch (side.kind) {
    case FrameSide::MiddleRun:
        return position >= 32 && position <= 56 ? side.second : side.first;
    case FrameSide::Gradient:
        return MixColour(side.first, side.second, (position - kCorner) / double(kPictureHeight - 1 - 2 * kCorner));
    case FrameSide::Solid:
    default:
        return side.first;
    }
}

PictureFile FileOf(FacePicture picture)
{
    switch (picture) {
    case FacePicture::Normal: return PictureFile::Normal;
    case FacePicture::HighLight:
    case FacePicture::HighLightSelect: return PictureFile::HighLight;
    case FacePicture::Pressed: return PictureFile::Pressed;
    case FacePicture::Disable: return PictureFile::Disable;
    case FacePicture::Selected:
    default: return PictureFile::Selected;
    }
}

const char* PictureFileName(PictureFile file)
{
    static const char* const names[kPictureFileCount] = {"normal.bmp", "highlight.bmp", "pressed.bmp", "disable.bmp",
                                                          "selected.bmp"};
    return names[static_cast<int>(file)];
}

const PictureTable& TableOf(PictureFile file) { return kTables[static_cast<int>(file)]; }

StatePicture DrawStatePicture(PictureFile file)
{
    const PictureTable& table = TableOf(file);
    StatePicture picture;
    const int lastX = kPictureWidth - 1, lastY = kPictureHeight - 1;
    // The inside never shows; it carries on the innermost band.
    for (int y = kCorner; y <= lastY - kCorner; ++y)
        for (int x = kCorner; x <= lastX - kCorner; ++x) picture.Set(x, y, table.rings[3].top.first);
    for (int k = 0; k < 4; ++k) {
        const FrameRing& ring = table.rings[static_cast<size_t>(k)];
        for (int x = kCorner; x <= lastX - kCorner; ++x) {
            picture.Set(x, k, SideColourAt(ring.top, x));
            picture.Set(x, lastY - k, SideColourAt(ring.bottom, x));
        }
        for (int y = kCorner; y <= lastY - kCorner; ++y) {
            picture.Set(k, y, SideColourAt(ring.left, y));
            picture.Set(lastX - k, y, SideColourAt(ring.right, y));
        }
    }
    for (Corner corner : {Corner::TopLeft, Corner::TopRight, Corner::BottomRight, Corner::BottomLeft}) {
        const bool right = corner == Corner::TopRight || corner == Corner::BottomRight;
        const bool bottom = corner == Corner::BottomRight || corner == Corner::BottomLeft;
        std::array<Rgb, 4> across{}, down{};
        for (size_t k = 0; k < 4; ++k) {
            const FrameRing& ring = table.rings[k];
            across[k] = SideColourAt(bottom ? ring.bottom : ring.top, right ? lastX - kCorner : kCorner);
            down[k] = SideColourAt(right ? ring.right : ring.left, bottom ? lastY - kCorner : kCorner);
        }
        PutBlock(picture, corner, table.sunk ? SunkBlock(across, down) : RoundedBlock(across, down));
    }
    if (file == PictureFile::Normal) {
        Block designed{};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) designed[r][c] = kNormalTopLeft[r][c];
        PutBlock(picture, Corner::TopLeft, designed);
    }
    return picture;
}

std::vector<std::uint8_t> EncodeBmp(const StatePicture& picture)
{
    constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch
    return forms::EncodeBmp(kPictureWidth, kPictureHeight, kPixelsPerMetre,
                            [&](int x, int y) { return picture.At(x, y); });
}
