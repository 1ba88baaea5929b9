// The Command face's geometry, gradient vertices and the six generated state
// pictures against the colours their frames were designed with.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "button_pictures.h"
#include "forms/bmp_file.h"
#include "face_layout.h"
#include "files.h"
#include "forms/scale.h"

namespace {

struct PieceRow {
    int w, h;
    int piece;
    int dstX, dstY, dstW, dstH;
    int band = kCorner;
};

TEST(FaceLayout, PiecesOfTheDialogsButtonsAndTheirSources)
{
    const PieceRow rows[] = {
        // 77 x 25: top and bottom strips stretched from 56 to 69, side strips unscaled.
        {77, 25, 0, 0, 0, 4, 4},   {77, 25, 1, 4, 0, 69, 4},  {77, 25, 2, 73, 0, 4, 4},  {77, 25, 3, 73, 4, 4, 17},
        {77, 25, 4, 73, 21, 4, 4}, {77, 25, 5, 4, 21, 69, 4}, {77, 25, 6, 0, 21, 4, 4},  {77, 25, 7, 0, 4, 4, 17},
        // 29 x 25: shrunk from 56 to 21.
        {29, 25, 1, 4, 0, 21, 4},  {29, 25, 2, 25, 0, 4, 4},  {29, 25, 4, 25, 21, 4, 4}, {29, 25, 5, 4, 21, 21, 4},
        // Taller than the pictures: side strips stretched.
        {64, 40, 3, 60, 4, 4, 32}, {64, 40, 6, 0, 36, 4, 4},
        // At 150 % (bands of 6) and 200 % (bands of 8): the pieces stretched to them.
        {115, 37, 1, 6, 0, 103, 6, 6}, {115, 37, 4, 109, 31, 6, 6, 6}, {115, 37, 7, 0, 6, 6, 25, 6},
        {154, 50, 3, 146, 8, 8, 34, 8}, {154, 50, 6, 0, 42, 8, 8, 8},
    };
    for (const PieceRow& r : rows) {
        const PieceCopy p = FacePieces(r.w, r.h, r.band)[static_cast<size_t>(r.piece)];
        SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h) + " " + p.name);
        EXPECT_EQ(p.dstX, r.dstX);
        EXPECT_EQ(p.dstY, r.dstY);
        EXPECT_EQ(p.dstWidth, r.dstW);
        EXPECT_EQ(p.dstHeight, r.dstH);
    }
    const char* const order[8] = {"top-left corner",     "top edge",    "top-right corner",   "right edge",
                                  "bottom-right corner", "bottom edge", "bottom-left corner", "left edge"};
    const int sources[8][4] = {{0, 0, 4, 4},   {4, 0, 56, 4},  {60, 0, 4, 4}, {60, 4, 4, 17},
                               {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}};
    const auto pieces = FacePieces(77, 25);
    for (int i = 0; i < 8; ++i) {
        EXPECT_STREQ(pieces[static_cast<size_t>(i)].name, order[i]);
        EXPECT_EQ(pieces[static_cast<size_t>(i)].srcX, sources[i][0]) << order[i];
        EXPECT_EQ(pieces[static_cast<size_t>(i)].srcY, sources[i][1]) << order[i];
        EXPECT_EQ(pieces[static_cast<size_t>(i)].srcWidth, sources[i][2]) << order[i];
        EXPECT_EQ(pieces[static_cast<size_t>(i)].srcHeight, sources[i][3]) << order[i];
    }
}

TEST(DisplayScale, TwipsAndDesignPixelsAtEachScale)
{
    const struct {
        int dpi, twips, pixels, designPixels, scaled;
    } rows[] = {
        // The dialog's client width and a mark's side; 12 design pixels.
        {96, 7440, 496, 12, 12}, {120, 7440, 620, 12, 15}, {144, 7440, 744, 12, 18}, {192, 7440, 992, 12, 24},
        {144, 3645, 364, 4, 6},  {192, 3645, 486, 4, 8},   {168, 195, 22, 1, 2},     {96, -7, 0, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.dpi) + " dpi");
        EXPECT_EQ(forms::TwipsToPixels(r.twips, r.dpi), r.pixels);
        EXPECT_EQ(forms::ScaledPixels(r.designPixels, r.dpi), r.scaled);
    }
    // Pixels to twips and back give the same pixels at any scale, either sign.
    for (int dpi : {96, 120, 144, 168, 192, 240}) {
        for (int pixels = -300; pixels <= 300; ++pixels)
            ASSERT_EQ(forms::TwipsToPixels(forms::PixelsToTwips(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
    }
    EXPECT_EQ(forms::PixelsToTwips(151, 192), 1133) << "7.5 twips a pixel, rounded up";
    EXPECT_EQ(forms::PixelsToTwips(10, 96), 150);
}

TEST(FaceLayout, CaptionSitsCentredAndRaisedByTenTwips)
{
    EXPECT_DOUBLE_EQ(CaptionTopTwips(375), 80.0);
    EXPECT_DOUBLE_EQ(CaptionTopTwips(375, 195), 80.0);
    EXPECT_DOUBLE_EQ(CaptionTopTwips(600), 192.5);
    EXPECT_DOUBLE_EQ(CaptionTopTwips(195), -10.0);
}

TEST(FaceLayout, GradientVerticesFromTheColourTexts)
{
    EXPECT_EQ(GradientChannel("&HC6C5D7", 0), 0xC600);
    EXPECT_EQ(GradientChannel("&HC6C5D7", 1), 0xC500);
    EXPECT_EQ(GradientChannel("&HC6C5D7", 2), 0xD700);
    EXPECT_EQ(GradientChannel("&HFFFFFF", 1), 0xFF00);

    const auto normal = GradientVertices(77, 25, false);
    EXPECT_EQ(normal[0].x, 0);
    EXPECT_EQ(normal[0].y, 0);
    EXPECT_EQ(normal[1].x, 76);
    EXPECT_EQ(normal[1].y, 24);
    EXPECT_EQ(normal[0].red, 0xFF00);
    EXPECT_EQ(normal[1].red, 0xC600);
    EXPECT_EQ(normal[1].blue, 0xD700);
    EXPECT_EQ(normal[0].alpha, 0);
    const auto inverted = GradientVertices(77, 25, true);
    EXPECT_EQ(inverted[0].red, 0xC600);
    EXPECT_EQ(inverted[0].green, 0xC500);
    EXPECT_EQ(inverted[1].green, 0xFF00);
}

// The frames as designed: rows across the edge strip (columns 4 to 59),
// columns down it (rows 4 to 20); "a>b" a gradient from row 4 to row 20.
struct Band {
    PictureFile file;
    bool row;      // a row, else a column
    int index;
    Rgb first;
    Rgb last;      // the gradient's end, or the same colour
};

const Band kBands[] = {
    {PictureFile::Normal, true, 1, 0x003C74, 0x003C74},   {PictureFile::Normal, true, 2, 0xF3F3EE, 0xF3F3EE},
    {PictureFile::Normal, true, 3, 0xF3F3EE, 0xF3F3EE},   {PictureFile::Normal, true, 21, 0xE2DFD6, 0xE2DFD6},
    {PictureFile::Normal, true, 22, 0xD6D0C5, 0xD6D0C5},  {PictureFile::Normal, true, 23, 0x003C74, 0x003C74},
    {PictureFile::Normal, false, 0, 0xE2DECB, 0xE2DECB},  {PictureFile::Normal, false, 1, 0x003C74, 0x003C74},
    {PictureFile::Normal, false, 2, 0xFDFDFC, 0xECEBE6},  {PictureFile::Normal, false, 3, 0xFDFDFC, 0xECEBE6},
    {PictureFile::Normal, false, 60, 0xFBFBFA, 0xE4E2DA}, {PictureFile::Normal, false, 61, 0xF6F4F2, 0xE0DDD4},
    {PictureFile::Normal, false, 62, 0x003C74, 0x003C74}, {PictureFile::Normal, false, 63, 0xF0EEE0, 0xF0EEE0},
    {PictureFile::HighLight, true, 2, 0xFFF0CF, 0xFFF0CF},  {PictureFile::HighLight, true, 3, 0xFDD889, 0xFDD889},
    {PictureFile::HighLight, true, 21, 0xF8B330, 0xF8B330}, {PictureFile::HighLight, true, 22, 0xE59700, 0xE59700},
    {PictureFile::HighLight, false, 2, 0xFEDF9A, 0xF9B435}, {PictureFile::HighLight, false, 3, 0xFCD279, 0xF8B535},
    {PictureFile::HighLight, false, 60, 0xFCD279, 0xF8B535}, {PictureFile::HighLight, false, 61, 0xFDE09B, 0xF8B435},
    {PictureFile::HighLight, false, 0, 0xE2DECB, 0xE2DECB}, {PictureFile::HighLight, true, 1, 0x003C74, 0x003C74},
    {PictureFile::Selected, true, 2, 0xCEE7FF, 0xCEE7FF},   {PictureFile::Selected, true, 3, 0xCEE7FF, 0xCEE7FF},
    {PictureFile::Selected, true, 21, 0x6982EE, 0x6982EE},  {PictureFile::Selected, true, 22, 0x6982EE, 0x6982EE},
    {PictureFile::Selected, false, 2, 0xB7D0F4, 0x8BADE4},  {PictureFile::Selected, false, 3, 0xB7D0F4, 0x8BADE4},
    {PictureFile::Selected, false, 60, 0xB1CCF2, 0x8BAFE5}, {PictureFile::Selected, false, 61, 0xB1CCF2, 0x8BAFE5},
    {PictureFile::Selected, false, 63, 0xF0EEE0, 0xF0EEE0}, {PictureFile::Selected, false, 62, 0x003C74, 0x003C74},
    {PictureFile::Disable, true, 0, 0xECE9D8, 0xECE9D8},    {PictureFile::Disable, true, 24, 0xECE9D8, 0xECE9D8},
    {PictureFile::Disable, false, 0, 0xECE9D8, 0xECE9D8},   {PictureFile::Disable, false, 63, 0xECE9D8, 0xECE9D8},
    {PictureFile::Disable, true, 1, 0xC9C7BA, 0xC9C7BA},    {PictureFile::Disable, false, 62, 0xC9C7BA, 0xC9C7BA},
    {PictureFile::Disable, true, 2, 0xF5F4EA, 0xF5F4EA},    {PictureFile::Disable, true, 3, 0xF5F4EA, 0xF5F4EA},
    {PictureFile::Disable, true, 21, 0xF5F4EA, 0xF5F4EA},   {PictureFile::Disable, true, 22, 0xF5F4EA, 0xF5F4EA},
    {PictureFile::Disable, false, 2, 0xF5F4EA, 0xF5F4EA},   {PictureFile::Disable, false, 61, 0xF5F4EA, 0xF5F4EA},
    // Pressed: sunk one pixel.
    {PictureFile::Pressed, true, 0, 0xECE9D8, 0xECE9D8},  {PictureFile::Pressed, true, 24, 0xECE9D8, 0xECE9D8},
    {PictureFile::Pressed, false, 0, 0xECE9D8, 0xECE9D8}, {PictureFile::Pressed, false, 63, 0xECE9D8, 0xECE9D8},
    {PictureFile::Pressed, true, 1, 0xE0DCC9, 0xE0DCC9},  {PictureFile::Pressed, false, 1, 0xE2DECB, 0xE2DECB},
    {PictureFile::Pressed, false, 62, 0xF0EEE0, 0xF0EEE0}, {PictureFile::Pressed, true, 23, 0xF8F7F0, 0xF8F7F0},
    {PictureFile::Pressed, true, 2, 0x003C74, 0x003C74},  {PictureFile::Pressed, true, 22, 0x003C74, 0x003C74},
    {PictureFile::Pressed, false, 2, 0x003C74, 0x003C74}, {PictureFile::Pressed, false, 61, 0x003C74, 0x003C74},
    {PictureFile::Pressed, true, 3, 0xD1CCC1, 0xD1CCC1},  {PictureFile::Pressed, true, 21, 0xF2F1EE, 0xF2F1EE},
    {PictureFile::Pressed, false, 3, 0xD7D4CB, 0xD7D4CB}, {PictureFile::Pressed, false, 60, 0xE4E3DC, 0xE4E3DC},
};

using support::HexColour;

TEST(StatePictures, EveryDesignedRowColumnAndGradientIsExact)
{
    for (const Band& band : kBands) {
        const StatePicture picture = DrawStatePicture(band.file);
        const std::string where = std::string(PictureFileName(band.file)) + (band.row ? " row " : " column ") +
                                  std::to_string(band.index);
        if (band.row) {
            for (int x = kCorner; x < kPictureWidth - kCorner; ++x)
                ASSERT_EQ(HexColour(picture.At(x, band.index)), HexColour(band.first)) << where << " x " << x;
        } else {
            EXPECT_EQ(HexColour(picture.At(band.index, kCorner)), HexColour(band.first)) << where << " top";
            EXPECT_EQ(HexColour(picture.At(band.index, kPictureHeight - 1 - kCorner)), HexColour(band.last)) << where << " bottom";
            // Between, each channel moves steadily from one end to the other.
            for (int y = kCorner + 1; y < kPictureHeight - kCorner; ++y) {
                for (int shift = 0; shift <= 16; shift += 8) {
                    const int a = (band.first >> shift) & 0xFF, b = (band.last >> shift) & 0xFF;
                    const int prev = (picture.At(band.index, y - 1) >> shift) & 0xFF;
                    const int now = (picture.At(band.index, y) >> shift) & 0xFF;
                    ASSERT_TRUE(a <= b ? prev <= now : prev >= now) << where << " row " << y;
                }
            }
        }
    }
}

TEST(StatePictures, OuterRingsWithTheirMiddleRuns)
{
    for (PictureFile file : {PictureFile::Normal, PictureFile::HighLight, PictureFile::Selected}) {
        const StatePicture p = DrawStatePicture(file);
        SCOPED_TRACE(PictureFileName(file));
        for (int x = kCorner; x < kPictureWidth - kCorner; ++x) {
            const bool middle = x >= 32 && x <= 56;
            EXPECT_EQ(HexColour(p.At(x, 0)), middle ? "DCD6C2" : "E0DCC9") << x;
            EXPECT_EQ(HexColour(p.At(x, 24)), middle ? "FAFAF6" : "F8F7F0") << x;
        }
    }
}

TEST(StatePictures, NormalTopLeftCornerAsDesigned)
{
    const Rgb designed[4][4] = {
        {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
        {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
        {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
        {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
    };
    const StatePicture p = DrawStatePicture(PictureFile::Normal);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(HexColour(p.At(x, y)), HexColour(designed[y][x])) << x << "," << y;
}

TEST(StatePictures, CornersAreRoundedAndMirrored)
{
    for (int i = 0; i < kPictureFileCount; ++i) {
        const auto file = static_cast<PictureFile>(i);
        const StatePicture p = DrawStatePicture(file);
        SCOPED_TRACE(PictureFileName(file));
        const int ring = TableOf(file).sunk ? 2 : 1;  // where the border runs
        const Rgb border = p.At(32, ring);
        // The border does not run into the corner pixel of its ring.
        EXPECT_NE(p.At(ring, ring), border);
        EXPECT_NE(p.At(63 - ring, ring), border);
        EXPECT_NE(p.At(63 - ring, 24 - ring), border);
        EXPECT_NE(p.At(ring, 24 - ring), border);
        // The outermost corner pixel leans to the face behind the frame.
        if (p.At(4, 0) != kFaceColour) EXPECT_NE(p.At(0, 0), p.At(4, 0));
        else EXPECT_EQ(p.At(0, 0), kFaceColour);
    }
    // The sunk border lightens where it meets the corners.
    const StatePicture pressed = DrawStatePicture(PictureFile::Pressed);
    EXPECT_EQ(HexColour(pressed.At(3, 2)), "255783");
    EXPECT_EQ(HexColour(pressed.At(2, 3)), "164D7E");
    EXPECT_EQ(HexColour(pressed.At(60, 22)), "255783");
}

TEST(StatePictures, HighLightAndHighLightSelectAreOnePicture)
{
    EXPECT_EQ(FileOf(FacePicture::HighLight), FileOf(FacePicture::HighLightSelect));
    std::set<PictureFile> files;
    for (FacePicture p : {FacePicture::Normal, FacePicture::HighLight, FacePicture::Pressed, FacePicture::Disable,
                          FacePicture::HighLightSelect, FacePicture::Selected})
        files.insert(FileOf(p));
    EXPECT_EQ(files.size(), 5u);
}

TEST(StatePictures, BmpFileHoldsThePixelsBottomUp)
{
    const StatePicture p = DrawStatePicture(PictureFile::Selected);
    const auto bytes = EncodeBmp(p);
    ASSERT_EQ(bytes.size(), 54u + 64 * 3 * 25);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 24) << "bits per pixel";
    auto pixel = [&](int x, int y) {
        const size_t at = 54 + static_cast<size_t>(24 - y) * 192 + static_cast<size_t>(x) * 3;
        return static_cast<Rgb>(bytes[at + 2]) << 16 | static_cast<Rgb>(bytes[at + 1]) << 8 | bytes[at];
    };
    EXPECT_EQ(HexColour(pixel(10, 2)), "CEE7FF");
    EXPECT_EQ(HexColour(pixel(10, 22)), "6982EE");
    EXPECT_EQ(pixel(0, 0), p.At(0, 0));
}

TEST(StatePictures, BmpRowsArePaddedToFourBytes)
{
    const auto bytes = forms::EncodeBmp(3, 2, 2835, [](int x, int y) { return static_cast<Rgb>(y << 16 | x); });
    ASSERT_EQ(bytes.size(), 54u + 2 * 12) << "9 bytes of pixels, 3 of padding, per row";
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()),
              (std::vector<std::uint8_t>{0, 0, 1, 1, 0, 1, 2, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, 0}))
        << "the bottom row first, each pixel blue, green, red";
}

}  // namespace
