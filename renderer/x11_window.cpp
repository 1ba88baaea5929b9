#include "x11_window.h"

#include "renderer_contract.h"

#include <X11/Xatom.h>

#include <chrono>
#include <cstring>
#include <thread>


static int trappedErrors = 0;

static int CountError(Display*, XErrorEvent*)
{
    ++trappedErrors;
    return 0;
}

XErrorTrap::XErrorTrap(Display* display) : display_(display)
{
    XSync(display_, False);
    trappedErrors = 0;
    previous_ = XSetErrorHandler(CountError);
}

XErrorTrap::~XErrorTrap()
{
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

bool XErrorTrap::Failed()
{
    XSync(display_, False);
    return trappedErrors != 0;
}

static void SetTitle(Display* display, Window window)
{
    XStoreName(display, window, kRendererWindowTitle);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, netWmName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(kRendererWindowTitle), static_cast<int>(strlen(kRendererWindowTitle)));
    XClassHint hint;
    char name[] = "quorvellanto", className[] = "Quorvellanto";
    hint.res_name = name;
    hint.res_class = className;
    XSetClassHint(display, window, &hint);
}

static Cursor BlankCursor(Display* display, Window window)
{
    static const char noBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display, window, noBits, 1, 1);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

static void HideCursor(Display* display, Window window)
{
    Cursor blank = BlankCursor(display, window);
    XDefineCursor(display, window, blank);
    XFreeCursor(display, blank);
}

Window CreateFullScreenWindow(Display* display, int screen, XVisualInfo* visual, Colormap colormap,
                              const MonitorRect& area)
{
    XSetWindowAttributes attributes = {};
    attributes.colormap = colormap;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask;
    const unsigned long mask = CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask;
    Window window = XCreateWindow(display, RootWindow(display, screen), area.x, area.y,
                                  static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), 0,
                                  visual->depth, InputOutput, visual->visual, mask, &attributes);
    SetTitle(display, window);
    HideCursor(display, window);
    return window;
}

Window CreateCoverWindow(Display* display, int screen, const MonitorRect& area)
{
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask;
    Window window = XCreateWindow(display, RootWindow(display, screen), area.x, area.y,
                                  static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), 0,
                                  CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask, &attributes);
    HideCursor(display, window);
    return window;
}

Window CreateChildWindow(Display* display, Window host, XVisualInfo* visual, Colormap colormap, int& width,
                         int& height)
{
    XErrorTrap trap(display);
    XWindowAttributes hostAttributes;
    if (!XGetWindowAttributes(display, host, &hostAttributes) || trap.Failed()) return 0;
    width = hostAttributes.width;
    height = hostAttributes.height;
    // Following the host's size needs its structure events.
    XSelectInput(display, host, hostAttributes.your_event_mask | StructureNotifyMask);
    XSetWindowAttributes attributes = {};
    attributes.colormap = colormap;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.event_mask = StructureNotifyMask;
    attributes.override_redirect = hostAttributes.root == host ? True : False;
    Window child = XCreateWindow(display, host, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 visual->depth, InputOutput, visual->visual,
                                 CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect,
                                 &attributes);
    if (trap.Failed()) return 0;
    SetTitle(display, child);
    return child;
}

bool MapAndWait(Display* display, Window window, bool lowered)
{
    if (lowered) {
        XLowerWindow(display, window);
        XMapWindow(display, window);
    } else {
        XMapRaised(display, window);
    }
    XFlush(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    XEvent event;
    while (std::chrono::steady_clock::now() < deadline) {
        if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool GrabKeyboard(Display* display, Window window)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
