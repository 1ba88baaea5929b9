// A private X server (Xvfb), and a client of it: windows found by name,
// pixels read, the cursor, input sent through XTest; plain coloured windows.
#pragma once
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "pixels.h"
#include "processes.h"

struct _XDisplay;

namespace support {

using XWindowId = unsigned long;

// A private X server on a free display number.
class Xvfb {
public:
    Xvfb() = default;
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    ~Xvfb() { Stop(); }
    // `extraArgs` go to the server as they are (for example "-extension", "GLX").
    bool Start(int width, int height, const std::string& logPath, const std::vector<std::string>& extraArgs = {});
    void Stop();
    const std::string& display() const { return display_; }

private:
    Process process_;
    std::string display_;
};

struct WindowInfo {
    XWindowId id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool mapped = false;
    Rect rect() const { return {x, y, width, height}; }
};

class XSession {
public:
    bool Open(const std::string& display);
    ~XSession();
    void Close();
    _XDisplay* display() const { return display_; }
    int screenWidth() const;
    int screenHeight() const;

    // Top-level windows (children of the root) whose name is `title`.
    std::vector<WindowInfo> FindWindows(const std::string& title) const;
    std::optional<WindowInfo> FindMappedWindow(const std::string& title) const;
    // Child windows of `window` named `title`.
    bool HasChildTitled(XWindowId window, const std::string& title) const;
    int ChildCount(XWindowId window) const;  // -1 when there is no such window

    // The screen, or the rectangle `area` of it (rows from its top); empty
    // when it cannot be read.
    ScreenShot Grab(Rect area = {}) const;
    unsigned long PixelAt(int x, int y) const;  // one pixel, read alone

    // The cursor the server shows now (XFixes): its size, hot spot and visible pixels.
    struct Cursor {
        int width = 0, height = 0, xhot = 0, yhot = 0;
        long visible = 0;
    };
    std::optional<Cursor> CursorNow() const;
    bool PointerHidden() const { return CursorNow().value_or(Cursor{0, 0, 0, 0, 1}).visible == 0; }

    void MovePointerTo(int x, int y) const;
    void MovePointerBy(int dx, int dy) const;
    void PressButton(unsigned button) const;
    void Button(unsigned button, bool down) const;
    void TapKey(const char* keysym) const;
    void TapKey(std::initializer_list<const char*> keysyms) const { for (const char* k : keysyms) TapKey(k); }
    void HoldKeyAndTap(const char* held, const char* tapped) const;

private:
    _XDisplay* display_ = nullptr;
};

// A plain X window of one colour, override-redirect (no window manager here),
// standing in for a user's window or a host's; destroyed with the object.
class ColouredWindow {
public:
    ColouredWindow(_XDisplay* display, Rect area, unsigned long rgb);
    ~ColouredWindow();
    ColouredWindow(const ColouredWindow&) = delete;
    ColouredWindow& operator=(const ColouredWindow&) = delete;
    XWindowId id() const { return window_; }
    void Resize(int width, int height) const;

private:
    _XDisplay* display_;
    XWindowId window_ = 0;
};

}  // namespace support
