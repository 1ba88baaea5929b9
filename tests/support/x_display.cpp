#include "x_display.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace support {

bool Xvfb::Start(int width, int height, const std::string& logPath, const std::vector<std::string>& extraArgs)
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    const std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // -displayfd lets the server pick a free display and report it.
    std::vector<std::string> argv = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", geometry,
                                     "-nolisten", "tcp", "-noreset"};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    process_ = Process::Start(argv, {}, logPath);
    close(fds[1]);
    std::string number;
    char c;
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    const bool got = WaitUntil(
        [&] {
            while (read(fds[0], &c, 1) == 1) {
                if (c == '\n') return !number.empty();
                number += c;
            }
            return false;
        },
        Millis(15000), Millis(20));
    close(fds[0]);
    if (!got) {
        process_.Kill();
        return false;
    }
    display_ = ":" + number;
    return true;
}

void Xvfb::Stop() { process_.Stop(Millis(5000)); }

static int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

bool XSession::Open(const std::string& display)
{
    // A window the test asks about can go at any moment (a program ending, a
    // monitor switched off): its request fails, and the test reads the
    // failure; Xlib's default handler would end the whole suite instead.
    XSetErrorHandler(IgnoreXErrors);
    display_ = XOpenDisplay(display.c_str());
    return display_ != nullptr;
}

XSession::~XSession() { Close(); }

void XSession::Close()
{
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
}

int XSession::screenWidth() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int XSession::screenHeight() const { return DisplayHeight(display_, DefaultScreen(display_)); }

// The children of `window` that have a name, with it.
static std::vector<std::pair<Window, std::string>> NamedChildren(Display* display, Window window)
{
    std::vector<std::pair<Window, std::string>> named;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return named;
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            named.emplace_back(children[i], name);
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return named;
}

std::vector<WindowInfo> XSession::FindWindows(const std::string& title) const
{
    std::vector<WindowInfo> found;
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    for (const auto& [window, name] : NamedChildren(display_, DefaultRootWindow(display_))) {
        XWindowAttributes attrs;
        if (name == title && XGetWindowAttributes(display_, window, &attrs))
            found.push_back({window, attrs.x, attrs.y, attrs.width, attrs.height, attrs.map_state == IsViewable});
    }
    XSync(display_, False);
    XSetErrorHandler(previous);
    return found;
}

std::optional<WindowInfo> XSession::FindMappedWindow(const std::string& title) const
{
    for (const WindowInfo& w : FindWindows(title)) {
        if (w.mapped) return w;
    }
    return std::nullopt;
}

ScreenShot XSession::Grab(Rect area) const
{
    if (area.width <= 0 || area.height <= 0) area = {0, 0, screenWidth(), screenHeight()};
    ScreenShot screen;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (image == nullptr) return screen;
    screen.width = area.width;
    screen.height = area.height;
    screen.rgb.resize(static_cast<size_t>(screen.width) * screen.height * 3);
    unsigned char* out = screen.rgb.data();
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x, out += 3) {
            const unsigned long p = XGetPixel(image, x, y);
            out[0] = (p >> 16) & 0xff;
            out[1] = (p >> 8) & 0xff;
            out[2] = p & 0xff;
        }
    }
    XDestroyImage(image);
    return screen;
}

unsigned long XSession::PixelAt(int x, int y) const
{
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xFFFFFFFF;
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
}

bool XSession::HasChildTitled(XWindowId window, const std::string& title) const
{
    const auto named = NamedChildren(display_, window);
    return std::any_of(named.begin(), named.end(), [&](const auto& child) { return child.second == title; });
}

ColouredWindow::ColouredWindow(_XDisplay* display, Rect area, unsigned long rgb)
    : display_(display)
{
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = rgb;  // TrueColor 24-bit: the pixel is the RGB value
    attributes.override_redirect = True;
    window_ = XCreateWindow(display_, DefaultRootWindow(display_), area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(display_, window_, "coloured window");
    XMapRaised(display_, window_);
    XSync(display_, False);
}

ColouredWindow::~ColouredWindow()
{
    XDestroyWindow(display_, window_);
    XSync(display_, False);
}

void ColouredWindow::Resize(int width, int height) const
{
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
}

std::optional<XSession::Cursor> XSession::CursorNow() const
{
    XFixesCursorImage* image = XFixesGetCursorImage(display_);
    if (image == nullptr) return std::nullopt;
    Cursor cursor{image->width, image->height, image->xhot, image->yhot, 0};
    for (int i = 0; i < image->width * image->height; ++i) cursor.visible += (image->pixels[i] >> 24) != 0;
    XFree(image);
    return cursor;
}

int XSession::ChildCount(XWindowId window) const
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return -1;
    if (children != nullptr) XFree(children);
    return static_cast<int>(count);
}

void XSession::MovePointerTo(int x, int y) const
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XSync(display_, False);
}

void XSession::MovePointerBy(int dx, int dy) const
{
    XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
    XSync(display_, False);
}

void XSession::Button(unsigned button, bool down) const
{
    XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
    XSync(display_, False);
}

void XSession::PressButton(unsigned button) const
{
    Button(button, true);
    std::this_thread::sleep_for(Millis(50));
    Button(button, false);
}

void XSession::TapKey(const char* keysym) const
{
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysym));
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(Millis(50));
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

void XSession::HoldKeyAndTap(const char* held, const char* tapped) const
{
    const KeyCode hold = XKeysymToKeycode(display_, XStringToKeysym(held));
    XTestFakeKeyEvent(display_, hold, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(Millis(150));
    TapKey(tapped);
    std::this_thread::sleep_for(Millis(150));
    XTestFakeKeyEvent(display_, hold, False, CurrentTime);
    XSync(display_, False);
}

}  // namespace support
