// A point on the virtual screen, in pixels: left of and above the primary
// monitor's origin the coordinates are negative.
#pragma once
#include <cstdint>

struct ScreenPoint {
    std::int32_t x = 0, y = 0;
};
