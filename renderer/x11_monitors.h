// The monitors of an X screen as RandR lists them, and the black windows
// that cover all but the primary one while the standalone renderer runs.
#pragma once
#include <X11/Xlib.h>

#include <vector>

#include "monitor_layout.h"

// The monitors of `screen`; the whole screen as one primary monitor when the
// server has no RandR 1.5 (or lists none).
std::vector<MonitorRect> ListMonitors(Display* display, int screen);

// Asks for an event on the root window whenever the monitors change; returns
// the event type that reports it (0 when the server has no RandR).
int WatchMonitorChanges(Display* display, int screen);

// Lets Xlib take in a change event (true when it was one).
bool TakeMonitorChange(XEvent& event, int changeEventType);

// The covers up now, kept equal to CoverRects of the monitors by Update.
class MonitorCovers {
public:
    MonitorCovers(Display* display, int screen) : display_(display), screen_(screen) {}
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    void Update(const std::vector<MonitorRect>& monitors);
    std::size_t count() const { return covers_.count(); }

private:
    Display* display_;
    int screen_;
    CoverSet<Window> covers_;
};
