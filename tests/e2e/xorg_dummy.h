// A private Xorg server with the dummy video driver: unlike Xvfb it has RandR
// outputs that xrandr can switch on, off and place, so a test can give the
// programs two monitors. Started and stopped by process id.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "stage.h"

namespace support {

constexpr int kPrimaryWidth = 1024, kPrimaryHeight = 768;
constexpr int kSecondaryWidth = 800, kSecondaryHeight = 600;

// Two monitors on the server, as X places them (X has no negative
// coordinates; what is left of the primary there is left of it on Windows too).
struct DummyLayout {
    const char* name;
    int primaryX, primaryY;      // 1024 x 768
    int secondaryX, secondaryY;  // 800 x 600
    // Where Windows (and the test) sees the secondary relative to the primary.
    int SecondaryOnWindowsX() const { return secondaryX - primaryX; }
    int SecondaryOnWindowsY() const { return secondaryY - primaryY; }
    Rect primary() const { return {primaryX, primaryY, kPrimaryWidth, kPrimaryHeight}; }
    Rect secondary() const { return {secondaryX, secondaryY, kSecondaryWidth, kSecondaryHeight}; }
};

class XorgDummy {
public:
    XorgDummy() = default;
    XorgDummy(const XorgDummy&) = delete;
    XorgDummy& operator=(const XorgDummy&) = delete;
    ~XorgDummy() { Stop(); }
    // Writes its configuration into `workDir` and starts the server on a free display.
    bool Start(const std::string& workDir, const std::string& logDir);
    // Ends the server; true when it is gone with its socket (a server that
    // leaves its socket behind fills the display numbers a later run tries).
    bool Stop();
    const std::string& display() const { return display_; }

    // Both monitors on, placed as `layout` says; the primary one marked primary.
    // Nothing is done when the layout is already set.
    bool Apply(const DummyLayout& layout);
    // The secondary monitor switched off; the primary alone.
    bool SwitchOffSecondary();

private:
    bool Xrandr(const std::vector<std::string>& args);
    Process server_;
    std::string display_, logDir_;
    bool modeAdded_ = false;
    std::string current_;  // the name of the layout set now, if one is
};

// A suite's two-monitor server: Xorg with the dummy driver and a session on
// it, its configuration and logs under one work folder.
struct MonitorServer {
    XorgDummy xorg;
    XSession x;
    std::string workDir, logDir;
    std::string failure;  // why Start failed
    bool ready = false;   // started (by the suite's own rule of when)
    // Starts the server in `workDir` (logs in `workDir`/logs) and opens a session.
    bool Start(const std::string& workDir);
    // Closes the session and ends the server; false when it left its socket.
    bool Stop();
};

// Mapped top-level windows (children of the root) exactly covering the
// rectangle, whatever their title.
std::vector<WindowInfo> MappedWindowsAt(const XSession& x, Rect area);

// Pixels of a screen grab in the rectangle that differ from `rgb`.
long PixelsOtherThan(const XSession& x, Rect area, unsigned long rgb);

}  // namespace support

namespace support {

// The layouts every two-monitor case runs on.
constexpr DummyLayout kSecondaryRight{"SecondaryRight", 0, 0, kPrimaryWidth, 0};
constexpr DummyLayout kSecondaryLeft{"SecondaryLeft", kSecondaryWidth, 0, 0, 0};  // at -800,0 on Windows
constexpr DummyLayout kSecondaryRightLower{"SecondaryRightLower", 0, 0, kPrimaryWidth, 168};
const std::vector<DummyLayout>& TwoMonitorLayouts();

// Saves the whole screen as a PNG (ImageMagick's import); true on success.
bool SaveScreenshot(const std::string& display, const std::string& path);

}  // namespace support
