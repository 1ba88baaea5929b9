#include "run_options.h"

#include <cstddef>
#include <utility>

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

bool ParseDelay(const std::string& text, long& microseconds)
{
    if (text.empty()) return false;
    long value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, 10);
        if (digit < 0) return false;
        value = value * 10 + digit;
        if (value > kLargestDelayMicroseconds) return false;
    }
    microseconds = value;
    return true;
}

namespace {

enum class Option { Help, Root, WindowId, Delay, ShowFrameRate };

// The options, each spelt with one dash or two, as XScreenSaver's own hacks
// take them; `value` names what an option needs after it (null: nothing).
struct OptionName {
    const char* name;
    Option option;
    const char* value;
};
constexpr OptionName kOptionNames[] = {
    {"h", Option::Help, nullptr},
    {"help", Option::Help, nullptr},
    {"root", Option::Root, nullptr},
    {"window-id", Option::WindowId, "a window id"},
    {"delay", Option::Delay, "a number of microseconds"},
    {"fps", Option::ShowFrameRate, nullptr},
};

const OptionName* FindOption(const std::string& arg)
{
    for (const OptionName& entry : kOptionNames) {
        if (arg == std::string("-") + entry.name || arg == std::string("--") + entry.name) return &entry;
    }
    return nullptr;
}

RunOptions Refused(std::string why)
{
    RunOptions options;
    options.mode = RunMode::Invalid;
    options.error = std::move(why);
    return options;
}

}  // namespace

RunOptions ParseRunOptions(const std::vector<std::string>& args, const char* xscreensaverWindow)
{
    RunOptions options;
    bool root = false, haveId = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const OptionName* entry = FindOption(arg);
        if (entry == nullptr) return Refused("unknown option \"" + arg + "\"");
        if (entry->value != nullptr && i + 1 >= args.size()) return Refused(arg + " needs " + entry->value);
        switch (entry->option) {
        case Option::Help:
            options.mode = RunMode::ShowUsage;
            return options;
        case Option::Root:
            root = true;
            break;
        case Option::WindowId:
            if (!ParseWindowId(args[++i], options.windowId)) return Refused("not a window id: \"" + args[i] + "\"");
            haveId = true;
            break;
        case Option::Delay:
            if (!ParseDelay(args[++i], options.delayMicroseconds))
                return Refused("not a delay of 0 to " + std::to_string(kLargestDelayMicroseconds) +
                               " microseconds: \"" + args[i] + "\"");
            break;
        case Option::ShowFrameRate:
            options.showFrameRate = true;
            break;
        }
    }
    if (haveId) {
        options.mode = RunMode::GivenWindow;
        return options;
    }
    if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
        if (!ParseWindowId(xscreensaverWindow, options.windowId))
            return Refused("XSCREENSAVER_WINDOW is not a window id: \"" + std::string(xscreensaverWindow) + "\"");
        options.mode = RunMode::GivenWindow;
        return options;
    }
    options.mode = root ? RunMode::RootWindow : RunMode::Standalone;
    return options;
}

std::string UsageText(const std::string& programName)
{
    return "Usage: " + programName + " [-root | -window-id ID] [-delay N] [-fps]\n"
           "Rings of lit spheres turning about the centre of the screen.\n"
           "  (no option)     a full-screen window of its own; a key, a mouse button or\n"
           "                  a mouse move of more than two pixels ends it\n"
           "  -root           draw into the root window (or into XSCREENSAVER_WINDOW)\n"
           "  -window-id ID   draw into the window ID (decimal or 0x hexadecimal)\n"
           "  -delay N        wait N microseconds after each frame, 0 to " +
           std::to_string(kLargestDelayMicroseconds) + "\n                  (default " +
           std::to_string(kDefaultDelayMicroseconds) + ": about 60 frames a second; 0: as fast as it can)\n"
           "  -fps            show the frames drawn per second in the bottom left corner\n"
           "As an XScreenSaver hack it ends on SIGTERM.\n";
}
