#include "dialog_look.h"

#include <algorithm>
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

std::vector<RgbColour> OptionPicture(bool on, int side, int outline)
{
    const RgbColour grey{128, 128, 128}, inside{250, 250, 250}, fill{32, 96, 224};
    const int n = side > 0 ? side : 0;
    std::vector<RgbColour> pixels(static_cast<std::size_t>(n) * n, inside);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool edge = std::min(std::min(x, y), std::min(n - 1 - x, n - 1 - y)) < outline;
            if (edge) pixels[y * n + x] = grey;
            else if (on) pixels[y * n + x] = fill;
        }
    }
    return pixels;
}
