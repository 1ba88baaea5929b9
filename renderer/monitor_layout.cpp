#include "monitor_layout.h"

#include <algorithm>

static std::int64_t Right(const MonitorRect& r) { return static_cast<std::int64_t>(r.x) + r.width; }
static std::int64_t Bottom(const MonitorRect& r) { return static_cast<std::int64_t>(r.y) + r.height; }

bool MonitorRect::Contains(const MonitorRect& inner) const
{
    return inner.x >= x && inner.y >= y && Right(inner) <= Right(*this) && Bottom(inner) <= Bottom(*this);
}

bool FindPrimaryMonitor(const std::vector<MonitorRect>& monitors, MonitorRect& primary)
{
    const MonitorRect* first = nullptr;
    const MonitorRect* atOrigin = nullptr;
    for (const MonitorRect& m : monitors) {
        if (m.Empty()) continue;
        if (m.primary) {
            primary = m;
            return true;
        }
        if (first == nullptr) first = &m;
        if (atOrigin == nullptr && m.x <= 0 && m.y <= 0 && Right(m) > 0 && Bottom(m) > 0) atOrigin = &m;
    }
    const MonitorRect* chosen = atOrigin != nullptr ? atOrigin : first;
    if (chosen == nullptr) return false;
    primary = *chosen;
    primary.primary = true;
    return true;
}

std::vector<MonitorRect> CoverRects(const std::vector<MonitorRect>& monitors)
{
    std::vector<MonitorRect> covers;
    MonitorRect primary;
    if (!FindPrimaryMonitor(monitors, primary)) return covers;
    for (MonitorRect m : monitors) {
        if (m.Empty() || primary.Contains(m)) continue;
        if (std::find(covers.begin(), covers.end(), m) != covers.end()) continue;
        m.primary = false;
        covers.push_back(m);
    }
    return covers;
}

CoverChanges PlanCoverChanges(const std::vector<MonitorRect>& current, const std::vector<MonitorRect>& wanted)
{
    CoverChanges changes;
    std::vector<bool> kept(wanted.size(), false);
    for (std::size_t i = 0; i < current.size(); ++i) {
        const auto it = std::find(wanted.begin(), wanted.end(), current[i]);
        const std::size_t at = static_cast<std::size_t>(it - wanted.begin());
        if (it == wanted.end() || kept[at]) {
            changes.remove.push_back(i);
        } else {
            kept[at] = true;
        }
    }
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!kept[i]) changes.add.push_back(wanted[i]);
    return changes;
}
