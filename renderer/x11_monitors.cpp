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
    covers_.Clear([this](Window window) { XDestroyWindow(display_, window); });
}

void MonitorCovers::Update(const std::vector<MonitorRect>& monitors)
{
    covers_.Update(
        CoverRects(monitors),
        [this](const MonitorRect& rect) {
            const Window window = CreateCoverWindow(display_, screen_, rect);
            XMapRaised(display_, window);
            return std::optional<Window>(window);
        },
        [this](Window window) { XDestroyWindow(display_, window); });
    XFlush(display_);
}
