#include "face_layout.h"

#include <cstdlib>

const char* const kGradientWhite = "&HFFFFFF";
const char* const kGradientLavender = "&HC6C5D7";

std::array<PieceCopy, 8> FacePieces(int w, int h, int band)
{
    const int right = kPictureWidth - kCorner;    // 60
    const int bottom = kPictureHeight - kCorner;  // 21
    const int b = band;
    return {{
        {"top-left corner", 0, 0, kCorner, kCorner, 0, 0, b, b},
        {"top edge", kCorner, 0, kStripWidth, kCorner, b, 0, w - 2 * b, b},
        {"top-right corner", right, 0, kCorner, kCorner, w - b, 0, b, b},
        {"right edge", right, kCorner, kCorner, kStripHeight, w - b, b, b, h - 2 * b},
        {"bottom-right corner", right, bottom, kCorner, kCorner, w - b, h - b, b, b},
        {"bottom edge", kCorner, bottom, kStripWidth, kCorner, b, h - b, w - 2 * b, b},
        {"bottom-left corner", 0, bottom, kCorner, kCorner, 0, h - b, b, b},
        {"left edge", 0, kCorner, kCorner, kStripHeight, 0, b, b, h - 2 * b},
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
