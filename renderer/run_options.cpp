#include "run_options.h"

#include <cerrno>
#include <cstdlib>

bool ParseWindowId(const std::string& text, unsigned long& id)
{
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    std::string digits = text.substr(start);
    while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t' || digits.back() == '\n'))
        digits.pop_back();
    if (digits.empty() || digits[0] == '-' || digits[0] == '+') return false;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits = digits.substr(2);
        if (digits[0] == '-' || digits[0] == '+') return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(digits.c_str(), &end, base);
    if (errno != 0 || end == digits.c_str() || *end != '\0') return false;
    if (value == 0 || value > 0xFFFFFFFFull) return false;
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
