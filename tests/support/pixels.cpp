#include "pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace support {

unsigned long ScreenShot::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFF;
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (static_cast<unsigned long>(p[0]) << 16) | (static_cast<unsigned long>(p[1]) << 8) | p[2];
}

LitPixels CountLit(const ScreenShot& screen, Rect area)
{
    LitPixels result;
    if (screen.empty()) return result;
    double sumX = 0, sumY = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const unsigned char* p = &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3];
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            if (hi < 24) continue;
            ++result.lit;
            if (hi - lo > 25) ++result.coloured;
            sumX += x;
            sumY += y;
        }
    }
    if (result.lit > 0) {
        result.centreX = sumX / result.lit;
        result.centreY = sumY / result.lit;
    }
    return result;
}

void ExpectRingsIn(const ScreenShot& screen, Rect area, long minLit, long maxLit, double centreWithin)
{
    ASSERT_FALSE(screen.empty());
    for (auto [x, y] : {std::pair{area.x, area.y}, std::pair{area.x + area.width - 1, area.y + area.height - 1}})
        EXPECT_EQ(screen.At(x, y), 0u) << "black at " << x << "," << y;
    const LitPixels lit = CountLit(screen, area);
    EXPECT_GT(lit.lit, minLit) << "the rings' lit spheres";
    EXPECT_LT(lit.lit, maxLit);
    EXPECT_GT(lit.coloured, lit.lit / 3) << "the spheres carry their rings' hues";
    EXPECT_NEAR(lit.centreX, area.cx(), centreWithin);
    EXPECT_NEAR(lit.centreY, area.cy(), centreWithin);
}

void PrintTo(const Rect& r, std::ostream* os)
{
    *os << r.width << " x " << r.height << " at " << r.x << ", " << r.y;
}

long CountOtherThan(const ScreenShot& screen, Rect area, unsigned long expected)
{
    long other = 0;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            if (!area.Contains(x, y) && screen.At(x, y) != expected) ++other;
        }
    }
    return other;
}

}  // namespace support
