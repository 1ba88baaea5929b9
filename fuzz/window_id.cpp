// The renderer's window id (-window-id and XSCREENSAVER_WINDOW): only a
// decimal or 0x hexadecimal number that fits, with blanks around it, is one.
#include <cctype>
#include <cstdio>

#include "fuzz_support.h"
#include "run_options.h"

namespace {

// The rule, written out independently of the parser.
bool LooksLikeAnId(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    if (end > 0 && text[end - 1] == '\n') --end;
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    const std::string core = text.substr(begin, end - begin);
    const bool hex = core.size() > 2 && core[0] == '0' && (core[1] == 'x' || core[1] == 'X');
    const std::string digits = hex ? core.substr(2) : core;
    if (digits.empty()) return false;
    for (char c : digits) {
        const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) : (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = TextOf(data, size);
    unsigned long id = 0;
    const bool accepted = ParseWindowId(text, id);
    if (accepted) {
        FUZZ_CHECK(LooksLikeAnId(text), "only digits with blanks around them: " + Shown(text));
        FUZZ_CHECK(id != 0 && id <= kLargestWindowId, "an id that fits");
        char decimal[32], hex[32];
        std::snprintf(decimal, sizeof decimal, "%lu", id);
        std::snprintf(hex, sizeof hex, "0x%lx", id);
        unsigned long back = 0;
        FUZZ_CHECK(ParseWindowId(decimal, back) && back == id, "the decimal form reads back");
        FUZZ_CHECK(ParseWindowId(hex, back) && back == id, "the hexadecimal form reads back");
    }
    const RunOptions given = ParseRunOptions({"-window-id", text}, nullptr);
    FUZZ_CHECK((given.mode == RunMode::GivenWindow) == accepted, "-window-id takes what the parser takes");
    const std::string variable = text.substr(0, text.find('\0'));
    const RunOptions fromVariable = ParseRunOptions({"-root"}, variable.c_str());
    if (fromVariable.mode == RunMode::GivenWindow) {
        unsigned long check = 0;
        FUZZ_CHECK(ParseWindowId(variable, check) && check == fromVariable.windowId, "the variable is read alike");
    }
    return 0;
}
