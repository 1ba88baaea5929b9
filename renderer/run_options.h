// How the renderer is asked to run on X11: a full-screen window of its own,
// or drawing into a window it is given (an XScreenSaver hack draws into the
// window named by -window-id, by XSCREENSAVER_WINDOW, or into the root); how
// long it waits after each frame (-delay) and whether it shows its frame rate
// (-fps), as XScreenSaver's hacks do.
#pragma once
#include <string>
#include <vector>

enum class RunMode {
    Standalone,    // a full-screen window of its own that ends on input
    GivenWindow,   // draws into `windowId` until it is told to stop
    RootWindow,    // draws into the screen's root window
    ShowUsage,     // -h or --help: print the usage and end
    Invalid        // a command line it does not understand: `error` says why
};

// Microseconds waited after each frame when -delay is not given: one 60 Hz
// refresh (16 667 us) less what a frame of the rings takes to draw with
// Mesa's software OpenGL at 1024 x 768 (3 to 5 ms), so the rings turn about
// 60 degrees a second there, as on a 60 Hz display under Windows (measured by
// scripts/lib/bench-native-renderer); shorter than one refresh, so a display
// that paces the swaps still shows every refresh.
constexpr long kDefaultDelayMicroseconds = 12000;
// The longest delay taken: 10 seconds between frames.
constexpr long kLargestDelayMicroseconds = 10000000;

struct RunOptions {
    RunMode mode = RunMode::Standalone;
    unsigned long windowId = 0;
    long delayMicroseconds = kDefaultDelayMicroseconds;
    bool showFrameRate = false;
    std::string error;
};

// A window id as X tools print it: decimal digits, or hexadecimal digits after
// 0x, with nothing around them but blanks (space, tab) and one line end at the
// very end. Signs, other white space, zero, trailing text and values beyond
// 32 bits (X ids are 29-bit) are refused.
constexpr unsigned long long kLargestWindowId = 0xFFFFFFFFull;
bool ParseWindowId(const std::string& text, unsigned long& id);

// A delay in microseconds: decimal digits only, 0 to kLargestDelayMicroseconds.
bool ParseDelay(const std::string& text, long& microseconds);

// `args` excludes the program name; `xscreensaverWindow` is the value of
// XSCREENSAVER_WINDOW, or null when unset. An explicit -window-id wins over
// the variable, and the variable wins over -root (it names the window that
// XScreenSaver made for the hack, which is what -root means under it).
RunOptions ParseRunOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

// The usage text, for -h and for a refused command line.
std::string UsageText(const std::string& programName);
