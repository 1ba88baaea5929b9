// Screen grabs as RGB bytes and what the suites read from them: lit and
// coloured pixels, a frame of the rings, pixels other than a colour.
#pragma once
#include <iosfwd>
#include <vector>

namespace support {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    int cx() const { return x + width / 2; }
    int cy() const { return y + height / 2; }
    Rect Inset(int by) const { return {x + by, y + by, width - 2 * by, height - 2 * by}; }
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};
void PrintTo(const Rect& r, std::ostream* os);  // GoogleTest's view: "W x H at X, Y"

// RGB bytes of a screen grab, rows from the top.
struct ScreenShot {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    bool empty() const { return rgb.empty(); }
    unsigned long At(int x, int y) const;  // 0xRRGGBB
};

// Lit pixels of a grab inside `area`: how many, how many clearly coloured
// (not grey), and where their centre lies.
struct LitPixels {
    long lit = 0, coloured = 0;
    double centreX = 0, centreY = 0;
};
LitPixels CountLit(const ScreenShot& screen, Rect area);
// Expects a frame of the rings in `area` of the grab: black at two opposite
// corners, between `minLit` and `maxLit` lit pixels, a third of them or more
// clearly coloured (the rings' hues), centred in the area within `centreWithin` pixels.
void ExpectRingsIn(const ScreenShot& screen, Rect area, long minLit, long maxLit, double centreWithin);
// Pixels outside `area` that differ from the RGB colour `expected`.
long CountOtherThan(const ScreenShot& screen, Rect area, unsigned long expected);

}  // namespace support
