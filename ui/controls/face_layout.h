// Geometry of a Command face: the eight frame pieces copied from a 64 x 25
// state picture, the two gradient vertices, and where the caption goes.
#pragma once
#include <array>
#include <cstdint>
#include <string>

constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 25;
constexpr int kCorner = 4;                                   // corner size and band thickness
constexpr int kStripWidth = kPictureWidth - 2 * kCorner;     // 56: top and bottom strips
constexpr int kStripHeight = kPictureHeight - 2 * kCorner;   // 17: left and right strips
constexpr int kCaptionHeightTwips = 195;                     // the caption label's design height (13 px)

struct PieceCopy {
    const char* name;
    int srcX, srcY, srcWidth, srcHeight;
    int dstX, dstY, dstWidth, dstHeight;
};

// The pieces in copy order, for a face of w x h pixels whose corners and
// bands are `band` pixels (the picture's 4 at 96 dots per inch; more at
// larger scales, the picture's pieces stretched to them).
std::array<PieceCopy, 8> FacePieces(int w, int h, int band = kCorner);

// Top of the caption label in twips: (H - label height - 20) / 2.
double CaptionTopTwips(int faceHeightTwips, int labelHeightTwips = kCaptionHeightTwips);

// The two gradient colours as the program keeps them.
extern const char* const kGradientWhite;     // "&HFFFFFF"
extern const char* const kGradientLavender;  // "&HC6C5D7"

struct GradientVertex {
    int x, y;
    std::uint16_t red, green, blue, alpha;
};
// Channel of a colour text by position: digits 1-2 red, 3-4 green, 5-6 blue,
// as a 16-bit value with the channel in the high byte.
std::uint16_t GradientChannel(const std::string& colourText, int channel);
// Vertex 0 at (0, 0), vertex 1 at (w - 1, h - 1); white then lavender, or
// swapped when inverted.
std::array<GradientVertex, 2> GradientVertices(int w, int h, bool invert);
