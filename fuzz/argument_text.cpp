// The saver's command line: the argument text after the program's name, the
// mode letter, and the preview's host handle.
#include "fuzz_support.h"
#include "startup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string commandLine = TextOf(data, size);
    const std::string arguments = ArgumentTextOf(commandLine);
    FUZZ_CHECK(arguments.size() <= commandLine.size() &&
                   commandLine.compare(commandLine.size() - arguments.size(), arguments.size(), arguments) == 0,
               "the argument text is the end of the command line: " + Shown(commandLine));
    for (const std::string& text : {commandLine, arguments}) {
        const std::string letter = ModeLetter(text);
        FUZZ_CHECK(letter.size() == (text.size() >= 2 ? 1u : 0u), "one mode letter from position 2");
        const StartupMode mode = ModeOf(text);
        if (mode == StartupMode::RunVisible) FUZZ_CHECK(text.empty(), "only an empty text runs with the cursor");
        if (mode == StartupMode::Preview) FUZZ_CHECK(letter == "P", "preview only for P");
        (void)PreviewHostHandle(text);
    }
    return 0;
}
