#include "dialog_look.h"

#include <cmath>

#include "conversions.h"

int ShadeLevel(int y, int height)
{
    const double d = height / 3.142;
    const double v = std::fabs(std::sin(y / d) * 220.0);
    return conv::RoundToInt16(v).value_or(0);
}

RgbColour ShadeColour(ShadedSurface surface, int level)
{
    const auto v = static_cast<std::uint8_t>(level);
    const auto lifted = static_cast<std::uint8_t>(level + 30);
    if (surface == ShadedSurface::Window) return {v, v, lifted};
    return {lifted, lifted, lifted};
}

std::vector<RgbColour> ShadeRows(ShadedSurface surface, int height)
{
    std::vector<RgbColour> rows;
    if (height <= 0) return rows;
    rows.reserve(static_cast<std::size_t>(height) + 1);
    for (int y = 0; y <= height; ++y) rows.push_back(ShadeColour(surface, ShadeLevel(y, height)));
    return rows;
}

std::vector<RgbColour> OptionPicture(bool on)
{
    const RgbColour outline{128, 128, 128}, inside{250, 250, 250}, fill{32, 96, 224};
    constexpr int n = kOptionPictureSide;
    std::vector<RgbColour> pixels(n * n, inside);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1;
            if (edge) pixels[y * n + x] = outline;
            else if (on) pixels[y * n + x] = fill;
        }
    }
    return pixels;
}
