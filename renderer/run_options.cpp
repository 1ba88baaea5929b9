#include "run_options.h"

#include <cstddef>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int DigitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

bool ParseWindowId(const std::string& text, unsigned long& id)
{
    // Blanks around the number, and one line end after it (as a tool's output
    // line has), are all that may surround it.
    std::size_t begin = 0, end = text.size();
    if (end > begin && text[end - 1] == '\n') --end;
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    int base = 10;
    if (end - begin > 2 && text[begin] == '0' && (text[begin + 1] == 'x' || text[begin + 1] == 'X')) {
        base = 16;
        begin += 2;
    }
    if (begin == end) return false;
    unsigned long long value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) return false;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > kLargestWindowId) return false;
    }
    if (value == 0) return false;
    id = static_cast<unsigned long>(value);
    return true;
}

static bool Is(const std::string& arg, const char* name)
{
    // XScreenSaver's own hacks take both -name and --name.
    return arg == std::string("-") + name || arg == std::string("--") + name;
}

RunOptions ParseRunOptions(const std::vector<std::string>& args, const char* xscreensaverWindow)
{
    RunOptions options;
    bool root = false, haveId = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (Is(arg, "h") || Is(arg, "help")) {
            options.mode = RunMode::ShowUsage;
            return options;
        }
        if (Is(arg, "root")) {
            root = true;
        } else if (Is(arg, "window-id")) {
            if (i + 1 >= args.size()) {
                options.mode = RunMode::Invalid;
                options.error = arg + " needs a window id";
                return options;
            }
            if (!ParseWindowId(args[++i], options.windowId)) {
                options.mode = RunMode::Invalid;
                options.error = "not a window id: \"" + args[i] + "\"";
                return options;
            }
            haveId = true;
        } else {
            options.mode = RunMode::Invalid;
            options.error = "unknown option \"" + arg + "\"";
            return options;
        }
    }
    if (haveId) {
        options.mode = RunMode::GivenWindow;
        return options;
    }
    if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
        if (!ParseWindowId(xscreensaverWindow, options.windowId)) {
            options.mode = RunMode::Invalid;
            options.error = "XSCREENSAVER_WINDOW is not a window id: \"" + std::string(xscreensaverWindow) + "\"";
            return options;
        }
        options.mode = RunMode::GivenWindow;
        return options;
    }
    options.mode = root ? RunMode::RootWindow : RunMode::Standalone;
    return options;
}

std::string UsageText(const std::string& programName)
{
    return "Usage: " + programName + " [-root | -window-id ID]\n"
           "Rings of lit spheres turning about the centre of the screen.\n"
           "  (no option)     a full-screen window of its own; a key, a mouse button or\n"
           "                  a mouse move of more than two pixels ends it\n"
           "  -root           draw into the root window (or into XSCREENSAVER_WINDOW)\n"
           "  -window-id ID   draw into the window ID (decimal or 0x hexadecimal)\n"
           "As an XScreenSaver hack it ends on SIGTERM.\n";
}
