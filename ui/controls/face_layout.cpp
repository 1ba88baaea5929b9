#include "face_layout.h"

#include <cstdlib>

const char* const kGradientWhite = "&HFFFFFF";
const char* const kGradientLavender = "&HC6C5D7";

std::array<PieceCopy, 8> FacePieces(int w, int h)
{
    const int right = kPictureWidth - kCorner;    // 60
    const int bottom = kPictureHeight - kCorner;  // 21
    return {{
        {"top-left corner", 0, 0, kCorner, kCorner, 0, 0, kCorner, kCorner},
        {"top edge", kCorner, 0, kStripWidth, kCorner, kCorner, 0, w - 2 * kCorner, kCorner},
        {"top-right corner", right, 0, kCorner, kCorner, w - kCorner, 0, kCorner, kCorner},
        {"right edge", right, kCorner, kCorner, kStripHeight, w - kCorner, kCorner, kCorner, h - 2 * kCorner},
        {"bottom-right corner", right, bottom, kCorner, kCorner, w - kCorner, h - kCorner, kCorner, kCorner},
        {"bottom edge", kCorner, bottom, kStripWidth, kCorner, kCorner, h - kCorner, w - 2 * kCorner, kCorner},
        {"bottom-left corner", 0, bottom, kCorner, kCorner, 0, h - kCorner, kCorner, kCorner},
        {"left edge", 0, kCorner, kCorner, kStripHeight, 0, kCorner, kCorner, h - 2 * kCorner},
    }};
}

double CaptionTopTwips(int faceHeightTwips, int labelHeightTwips)
{
    return (faceHeightTwips - labelHeightTwips - 20) / 2.0;
}

std::uint16_t GradientChannel(const std::string& colourText, int channel)
{
    // "&H" then six hexadecimal digits.
    const size_t at = 2 + static_cast<size_t>(channel) * 2;
    if (colourText.size() < at + 2) return 0;
    const std::string digits = colourText.substr(at, 2);
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, 16);
    if (end == nullptr || *end != '\0') return 0;
    return static_cast<std::uint16_t>(value << 8);
}

std::array<GradientVertex, 2> GradientVertices(int w, int h, bool invert)
{
    const std::string first = invert ? kGradientLavender : kGradientWhite;
    const std::string second = invert ? kGradientWhite : kGradientLavender;
    auto vertex = [](int x, int y, const std::string& colour) {
        return GradientVertex{x, y, GradientChannel(colour, 0), GradientChannel(colour, 1), GradientChannel(colour, 2), 0};
    };
    return {vertex(0, 0, first), vertex(w - 1, h - 1, second)};
}
