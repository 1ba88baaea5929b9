// Where the renderer's windows go when the desktop spans several monitors:
// the animation on the primary monitor, a black cover on every other one.
// Rectangles are in screen pixels; monitors left of or above the primary
// have negative coordinates.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
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

// The cover windows up now, on any window system: `Window` is its handle.
// Update brings them to the wanted rectangles (CoverRects of the monitors)
// through the platform's two steps, keeping the covers still in place.
template <typename Window>
class CoverSet {
public:
    // `destroy(window)` removes a cover no longer wanted; `make(rect)` makes
    // and shows a new one, or gives nothing when it cannot.
    template <typename Make, typename Destroy>
    void Update(const std::vector<MonitorRect>& wanted, Make&& make, Destroy&& destroy)
    {
        const CoverChanges changes = PlanCoverChanges(Rects(), wanted);
        for (auto it = changes.remove.rbegin(); it != changes.remove.rend(); ++it) {
            destroy(covers_[*it].window);
            covers_.erase(covers_.begin() + static_cast<std::ptrdiff_t>(*it));
        }
        for (const MonitorRect& rect : changes.add) {
            if (const std::optional<Window> window = make(rect)) covers_.push_back({*window, rect});
        }
    }
    template <typename Destroy>
    void Clear(Destroy&& destroy)
    {
        for (const Cover& cover : covers_) destroy(cover.window);
        covers_.clear();
    }
    std::vector<MonitorRect> Rects() const
    {
        std::vector<MonitorRect> rects;
        for (const Cover& cover : covers_) rects.push_back(cover.rect);
        return rects;
    }
    std::size_t count() const { return covers_.size(); }

private:
    struct Cover {
        Window window;
        MonitorRect rect;
    };
    std::vector<Cover> covers_;
};
