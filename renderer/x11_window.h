// The renderer's windows on X11: a full-screen window of its own, or a child
// that fills a window it was given, and a trap for the X errors that a
// foreign or vanished window causes.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "monitor_layout.h"

// Catches X errors from its creation to its end instead of letting Xlib end
// the process. Failed() syncs with the server first.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;
    bool Failed();

private:
    Display* display_;
    XErrorHandler previous_;
};

// Borderless and override-redirect (no window manager moves or decorates it),
// covering `area` (the primary monitor), titled "Quorvellanto_VC", the cursor
// hidden over it; reports key presses, button presses, pointer motion and its
// own size.
Window CreateFullScreenWindow(Display* display, int screen, XVisualInfo* visual, Colormap colormap,
                              const MonitorRect& area);

// A black window over another monitor: borderless, override-redirect, without
// a title, the cursor hidden over it; reports button presses and pointer
// motion, and keys while it has the focus.
Window CreateCoverWindow(Display* display, int screen, const MonitorRect& area);

// A child of `host` at (0, 0) with the host's size, in the renderer's own
// visual, so that any host window can be drawn into whatever its visual.
// Input stays with the host (the child selects none). A child of the root is
// left alone by window managers and kept below other windows, as drawing on
// the root itself would be. Returns 0 if the host does not exist; `width` and
// `height` receive the host's size.
Window CreateChildWindow(Display* display, Window host, XVisualInfo* visual, Colormap colormap, int& width,
                         int& height);

// Maps the window (on top of its siblings, or below them with `lowered`) and
// waits a bounded time until the server has mapped it.
bool MapAndWait(Display* display, Window window, bool lowered = false);

// Takes the keyboard so that every key reaches the window; retries briefly
// while another client holds it. Returns false if it could not be had.
bool GrabKeyboard(Display* display, Window window);
