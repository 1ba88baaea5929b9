// The settings dialog's painted look as plain data: the shading of its
// window and panel, and its two option pictures.
#pragma once
#include <cstdint>
#include <vector>

struct RgbColour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const RgbColour&) const = default;
};

enum class ShadedSurface { Window, Panel };

// Shade of row y of a surface `height` rows high: v = |sin(y / d) x 220|
// rounded half to even, with d = height / 3.142; navy to blue-grey (v, v,
// v + 30) on the window, grey (v + 30) on the panel.
int ShadeLevel(int y, int height);
RgbColour ShadeColour(ShadedSurface surface, int level);
// One colour per row, rows 0 to `height` inclusive, in drawing order.
std::vector<RgbColour> ShadeRows(ShadedSurface surface, int height);

// The option marks: a light square with a thin grey outline, empty when off
// and filled blue when on; 12 pixels a side with a 1-pixel outline as
// designed, larger at larger scales. Row-major, rows from the top.
constexpr int kOptionPictureSide = 12;
std::vector<RgbColour> OptionPicture(bool on, int side = kOptionPictureSide, int outline = 1);
