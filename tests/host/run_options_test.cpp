// How the X11 renderer reads its command line and XSCREENSAVER_WINDOW, how
// it counts its frame rate, and which presses end a run.
#include <gtest/gtest.h>

#include "frame_rate.h"
#include "input_rules.h"
#include "run_options.h"

namespace {

struct WindowIdCase {
    std::string text;
    bool ok;
    unsigned long id;
};

class WindowIds : public ::testing::TestWithParam<WindowIdCase> {};

TEST_P(WindowIds, ParseAsXToolsPrintThem)
{
    unsigned long id = 12345;
    EXPECT_EQ(ParseWindowId(GetParam().text, id), GetParam().ok) << GetParam().text;
    EXPECT_EQ(id, GetParam().ok ? GetParam().id : 12345ul) << "a refused text leaves the id alone";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WindowIds,
    ::testing::Values(
        WindowIdCase{"4194305", true, 4194305}, WindowIdCase{"0x400001", true, 0x400001},
        WindowIdCase{"0X1A", true, 0x1a}, WindowIdCase{" 0x600008\n", true, 0x600008},
        WindowIdCase{"0xFFFFFFFF", true, 0xFFFFFFFFul}, WindowIdCase{"0x100000000", false, 0},
        WindowIdCase{"0", false, 0}, WindowIdCase{"0x0", false, 0}, WindowIdCase{"", false, 0},
        WindowIdCase{"0x", false, 0}, WindowIdCase{"-5", false, 0}, WindowIdCase{"0x-5", false, 0},
        WindowIdCase{"12abc", false, 0}, WindowIdCase{"window", false, 0},
        WindowIdCase{"99999999999999999999999", false, 0}, WindowIdCase{"4294967295", true, 0xFFFFFFFFul},
        WindowIdCase{"4294967296", false, 0}, WindowIdCase{"\t77 ", true, 77},
        WindowIdCase{"0x -ffffffffffffffff", false, 0}, WindowIdCase{"\n-18446744073709551615", false, 0},
        WindowIdCase{"0x0x10", false, 0}, WindowIdCase{"0x 10", false, 0}, WindowIdCase{"\v10", false, 0},
        WindowIdCase{"\r10", false, 0}, WindowIdCase{"10\r", false, 0}, WindowIdCase{"10\n\n", false, 0},
        WindowIdCase{"+10", false, 0}, WindowIdCase{"0x+10", false, 0}, WindowIdCase{"1 0", false, 0},
        WindowIdCase{std::string("10\0", 3), false, 0}));

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    const char* xscreensaverWindow;
    RunMode mode;
    unsigned long windowId;
    long delay = kDefaultDelayMicroseconds;
    bool showFrameRate = false;
};

class Options : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(Options, ChooseTheMode)
{
    const OptionsCase& c = GetParam();
    const RunOptions options = ParseRunOptions(c.args, c.xscreensaverWindow);
    EXPECT_EQ(options.mode, c.mode);
    if (c.mode == RunMode::GivenWindow) {
        EXPECT_EQ(options.windowId, c.windowId);
    }
    if (c.mode != RunMode::Invalid) {
        EXPECT_EQ(options.delayMicroseconds, c.delay);
        EXPECT_EQ(options.showFrameRate, c.showFrameRate);
    }
    EXPECT_EQ(options.error.empty(), c.mode != RunMode::Invalid) << options.error;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Options,
    ::testing::Values(
        OptionsCase{"NothingIsStandalone", {}, nullptr, RunMode::Standalone, 0},
        OptionsCase{"EmptyVariableIsStandalone", {}, "", RunMode::Standalone, 0},
        OptionsCase{"Root", {"-root"}, nullptr, RunMode::RootWindow, 0},
        OptionsCase{"DoubleDashRoot", {"--root"}, nullptr, RunMode::RootWindow, 0},
        OptionsCase{"WindowId", {"-window-id", "0x400001"}, nullptr, RunMode::GivenWindow, 0x400001},
        OptionsCase{"DoubleDashWindowId", {"--window-id", "77"}, nullptr, RunMode::GivenWindow, 77},
        OptionsCase{"VariableAlone", {}, "0x600008", RunMode::GivenWindow, 0x600008},
        OptionsCase{"VariableWinsOverRoot", {"--root"}, "0x600008", RunMode::GivenWindow, 0x600008},
        OptionsCase{"WindowIdWinsOverVariable", {"-window-id", "0x42", "-root"}, "0x600008", RunMode::GivenWindow, 0x42},
        OptionsCase{"Help", {"-h"}, nullptr, RunMode::ShowUsage, 0},
        OptionsCase{"LongHelp", {"-root", "--help"}, nullptr, RunMode::ShowUsage, 0},
        OptionsCase{"WindowIdWithoutValue", {"-window-id"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"WindowIdNotANumber", {"-window-id", "abc"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"WindowIdZero", {"-window-id", "0"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"UnknownOption", {"-speed"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"Delay", {"-delay", "20000"}, nullptr, RunMode::Standalone, 0, 20000},
        OptionsCase{"NoDelay", {"--delay", "0"}, nullptr, RunMode::Standalone, 0, 0},
        OptionsCase{"LongestDelay", {"-delay", "10000000"}, nullptr, RunMode::Standalone, 0, 10000000},
        OptionsCase{"ShowFrameRate", {"-fps"}, nullptr, RunMode::Standalone, 0, kDefaultDelayMicroseconds, true},
        OptionsCase{"HackWithDelayAndRate", {"--root", "--delay", "5", "--fps"}, "0x42", RunMode::GivenWindow, 0x42, 5,
                    true},
        OptionsCase{"RootWithRate", {"-fps", "-root"}, nullptr, RunMode::RootWindow, 0, kDefaultDelayMicroseconds,
                    true},
        OptionsCase{"DelayWithoutValue", {"-root", "-delay"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"DelayNegative", {"-delay", "-1"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"DelayNotANumber", {"-delay", "fast"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"DelayWithUnit", {"-delay", "100us"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"DelayOverTenSeconds", {"-delay", "10000001"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"DelayBeyondALong", {"-delay", "99999999999999999999999"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"WindowsSwitch", {"/s"}, nullptr, RunMode::Invalid, 0},
        OptionsCase{"VariableNotAnId", {"-root"}, "garbage", RunMode::Invalid, 0}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

TEST(Options, UsageNamesEveryOption)
{
    const std::string usage = UsageText("quorvellanto");
    for (const char* option : {"-root", "-window-id", "-delay", "-fps", "XSCREENSAVER_WINDOW", "SIGTERM"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

// Frames counted `frames` times, `step` microseconds apart (the first at 5 s on the clock).
struct FrameRateCase {
    const char* name;
    int frames;
    std::int64_t step;
    const char* text;
};

class FrameRates : public ::testing::TestWithParam<FrameRateCase> {};

TEST_P(FrameRates, ReadOnceASecond)
{
    FrameRateMeter meter;
    for (int i = 0; i < GetParam().frames; ++i) meter.CountFrame(5000000 + i * GetParam().step);
    EXPECT_EQ(meter.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Stretches, FrameRates,
    ::testing::Values(FrameRateCase{"UnderASecond", 60, 16667, "FPS:"},
                      FrameRateCase{"SixtyASecond", 61, 16667, "FPS: 60.0"},
                      FrameRateCase{"SecondStretchNotYetOver", 100, 16667, "FPS: 60.0"},
                      FrameRateCase{"FastFrames", 210, 4800, "FPS: 208.3"},
                      FrameRateCase{"SlowerThanOneASecond", 2, 2500000, "FPS: 0.4"}),
    [](const ::testing::TestParamInfo<FrameRateCase>& info) { return std::string(info.param.name); });

TEST(Presses, KeysAndTheThreeButtonsEndARun)
{
    const struct {
        Press press;
        bool ends;
    } table[] = {{Press::Key, true},          {Press::LeftButton, true},  {Press::MiddleButton, true},
                 {Press::RightButton, true},  {Press::SystemKey, false},  {Press::OtherButton, false}};
    for (const auto& row : table) EXPECT_EQ(PressEndsRun(row.press), row.ends) << static_cast<int>(row.press);
}

TEST(Presses, AltCombinationsAltItselfAndF10AreSystemKeys)
{
    EXPECT_FALSE(IsSystemKey(false, false, false)) << "a plain key";
    EXPECT_TRUE(IsSystemKey(true, false, false)) << "Alt held with another key";
    EXPECT_TRUE(IsSystemKey(false, true, false)) << "Alt pressed alone";
    EXPECT_TRUE(IsSystemKey(false, false, true)) << "F10";
    EXPECT_TRUE(IsSystemKey(true, false, true)) << "Alt+F10";
}

}  // namespace
