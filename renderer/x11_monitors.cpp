#include "x11_monitors.h"

#include <X11/extensions/Xrandr.h>

#include "x11_window.h"

std::vector<MonitorRect> ListMonitors(Display* display, int screen)
{
    std::vector<MonitorRect> monitors;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* info = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
        for (int i = 0; info != nullptr && i < count; ++i)
            monitors.push_back({info[i].x, info[i].y, info[i].width, info[i].height, info[i].primary != 0});
        if (info != nullptr) XRRFreeMonitors(info);
    }
    MonitorRect primary;
    if (!FindPrimaryMonitor(monitors, primary))
        monitors = {{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), true}};
    return monitors;
}

int WatchMonitorChanges(Display* display, int screen)
{
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return 0;
    XRRSelectInput(display, RootWindow(display, screen), RRScreenChangeNotifyMask);
    return eventBase + RRScreenChangeNotify;
}

bool TakeMonitorChange(XEvent& event, int changeEventType)
{
    if (changeEventType == 0 || event.type != changeEventType) return false;
    XRRUpdateConfiguration(&event);
    return true;
}

MonitorCovers::~MonitorCovers()
{
    XErrorTrap trap(display_);
    for (const Cover& cover : covers_) XDestroyWindow(display_, cover.window);
}

void MonitorCovers::Update(const std::vector<MonitorRect>& monitors)
{
    std::vector<MonitorRect> current;
    for (const Cover& cover : covers_) current.push_back(cover.rect);
    const CoverChanges changes = PlanCoverChanges(current, CoverRects(monitors));
    for (auto it = changes.remove.rbegin(); it != changes.remove.rend(); ++it) {
        XDestroyWindow(display_, covers_[*it].window);
        covers_.erase(covers_.begin() + static_cast<std::ptrdiff_t>(*it));
    }
    for (const MonitorRect& rect : changes.add) {
        const Window window = CreateCoverWindow(display_, screen_, rect);
        XMapRaised(display_, window);
        covers_.push_back({window, rect});
    }
    XFlush(display_);
}
