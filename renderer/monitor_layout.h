// Where the renderer's windows go when the desktop spans several monitors:
// the animation on the primary monitor, a black cover on every other one.
// Rectangles are in screen pixels; monitors left of or above the primary
// have negative coordinates.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct MonitorRect {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool primary = false;

    bool operator==(const MonitorRect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const MonitorRect& other) const { return !(*this == other); }
    bool Empty() const { return width <= 0 || height <= 0; }
    bool Contains(const MonitorRect& inner) const;
};

// The monitor the animation belongs on: the one marked primary, else the one
// holding the screen's origin, else the first; nothing when none has an area.
bool FindPrimaryMonitor(const std::vector<MonitorRect>& monitors, MonitorRect& primary);

// The rectangles that get a black cover: every monitor with an area except
// the primary and those lying wholly within it (a mirrored monitor shows the
// animation already), each rectangle once, in the order listed.
std::vector<MonitorRect> CoverRects(const std::vector<MonitorRect>& monitors);

// How to go from the covers up now to the wanted ones: which of `current` to
// remove (indices) and which of `wanted` to add. A cover already in place
// stays, so that a re-arrangement does not flash the monitors it left alone.
struct CoverChanges {
    std::vector<std::size_t> remove;
    std::vector<MonitorRect> add;
};
CoverChanges PlanCoverChanges(const std::vector<MonitorRect>& current, const std::vector<MonitorRect>& wanted);
