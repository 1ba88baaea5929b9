// The Command button driven with real input (XTest) under Wine on the suite's
// Xvfb, its faces read back from the screen: hover, press and drag, the
// right button, a disabled button, another program's window over a button,
// and Tab. The form is tests/tools/qvbuttons, which prints every Click.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "stage.h"

using namespace support;

namespace {

constexpr const char* kTitle = "Quorvellanto Buttons";

// The buttons' places on the form, in pixels from its top-left corner.
constexpr Rect kA = {20, 20, 77, 25}, kB = {140, 80, 29, 25}, kC = {200, 20, 77, 25}, kD = {20, 100, 77, 25};
constexpr int kBackgroundX = 250, kBackgroundY = 130;  // the form's own background

class ButtonE2E : public StageTest {
protected:
    Process program;
    std::string log;
    int formX = 0, formY = 0;

    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(NoWindowTitled(kTitle));
        static int run = 0;
        const std::string name = "qvbuttons-" + std::to_string(++run) + ".log";
        log = stage.logDir + "/" + name;
        WriteWholeFile(log, "");
        stage.x.MovePointerTo(600, 600);
        program = stage.wine.Run({stage.toolsDir + "/qvbuttons.exe"}, name, {{"QV_TRACE", "1"}});
        const auto window = WaitForWindow(program, kTitle);
        ASSERT_TRUE(window.has_value()) << "the test form did not show";
        formX = window->x, formY = window->y;
        ASSERT_TRUE(WaitUntil([&] { return Face(kA) == "Selected"; }, Millis(10000))) << Face(kA);
    }

    void TearDown() override { program.Kill(); }

    Rect OnScreen(const Rect& r) const { return {formX + r.x, formY + r.y, r.width, r.height}; }
    unsigned long At(const Rect& button, int x, int y) const { return stage.x.PixelAt(formX + button.x + x, formY + button.y + y); }
    // The face as the screen shows it: its top inner band, and for HighLight
    // which way the gradient runs ("HighLight~" upside down).
    std::string Face(const Rect& button) const
    {
        const unsigned long band = At(button, button.width / 2, 2);
        std::string face;
        switch (band) {
        case 0xF3F3EE: face = "Normal"; break;
        case 0xFFF0CF: face = "HighLight"; break;
        case 0xCEE7FF: face = "Selected"; break;
        case 0x003C74: face = "Pressed"; break;
        case 0xF5F4EA: face = "Disable"; break;
        default: return HexColour(band);
        }
        const int top = (At(button, 5, 5) >> 16) & 0xFF, bottom = (At(button, 5, 19) >> 16) & 0xFF;
        if (face == "HighLight" && top < bottom) face += "~";
        return face;
    }
    bool ShowsSoon(const Rect& button, const std::string& face, Millis within = Millis(3000)) const
    {
        return WaitUntil([&] { return Face(button) == face; }, within);
    }

    void PointAt(int x, int y)
    {
        stage.x.MovePointerTo(formX + x, formY + y);
        std::this_thread::sleep_for(Millis(150));
    }
    void PointAt(const Rect& button, int dx = 0)
    {
        // Two steps inside, so the button hears a move whatever came before.
        stage.x.MovePointerTo(formX + button.cx() - 2 + dx, formY + button.cy());
        std::this_thread::sleep_for(Millis(60));
        PointAt(button.cx() + dx, button.cy());
    }
    void Button(unsigned button, bool down)
    {
        stage.x.Button(button, down);
        std::this_thread::sleep_for(Millis(150));
    }
    int Clicks(const std::string& name) const
    {
        const std::string text = ReadWholeFile(log);
        int count = 0;
        const std::string line = "Click " + name;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
            const size_t end = at + line.size();
            if (end < text.size() && (text[end] == '\r' || text[end] == '\n')) ++count;
        }
        return count;
    }
    bool ClickedSoon(const std::string& name, int count)
    {
        return WaitUntil([&] { return Clicks(name) >= count; }, Millis(3000));
    }
};

TEST_F(ButtonE2E, FirstInTabOrderFocusedDisabledAndTransparentLooks)
{
    EXPECT_EQ(Face(kA), "Selected");
    EXPECT_TRUE(ShowsSoon(kB, "Normal")) << Face(kB);
    EXPECT_TRUE(ShowsSoon(kC, "Disable")) << Face(kC);
    EXPECT_TRUE(WaitUntil([&] { return At(kD, 1, 1) == 0x808080; }, Millis(3000)))
        << "a transparent button shows the form beneath its frame: " << HexColour(At(kD, 1, 1));
    int ink = 0;
    for (int x = 0; x < kD.width; ++x)
        for (int y = 0; y < kD.height; ++y) ink += At(kD, x, y) == 0x000000;
    EXPECT_GT(ink, 10) << "and its caption";
    // The captions are drawn: dark pixels in the middle of A, none of them the frame's.
    int dark = 0;
    for (int x = 20; x < 57; ++x)
        for (int y = 5; y < 18; ++y) dark += ((At(kA, x, y) >> 8) & 0xFF) < 100;
    EXPECT_GT(dark, 10) << "the caption of A";
}

TEST_F(ButtonE2E, HoverInAndOutWithinAboutAPollInterval)
{
    PointAt(kB);
    ASSERT_TRUE(ShowsSoon(kB, "HighLight~")) << Face(kB);
    EXPECT_EQ(Face(kA), "Selected");
    const auto left = Clock::now();
    stage.x.MovePointerTo(formX + kBackgroundX, formY + kBackgroundY);
    ASSERT_TRUE(ShowsSoon(kB, "Normal", Millis(2000))) << Face(kB);
    const auto ms = std::chrono::duration_cast<Millis>(Clock::now() - left).count();
    std::printf("[ note ] Normal again %lld ms after leaving\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 600) << "the 100 ms poll notices the cursor leaving";
    EXPECT_EQ(Clicks("Cmd_B"), 0);
}

TEST_F(ButtonE2E, LeftClickClicksOnceAndTakesTheFocus)
{
    PointAt(kB);
    ASSERT_TRUE(ShowsSoon(kB, "HighLight~"));
    Button(1, true);
    EXPECT_TRUE(ShowsSoon(kB, "Pressed")) << Face(kB);
    EXPECT_TRUE(ShowsSoon(kA, "Normal")) << "the focus left A: " << Face(kA);
    Button(1, false);
    ASSERT_TRUE(ClickedSoon("Cmd_B", 1));
    EXPECT_TRUE(ShowsSoon(kB, "HighLight~")) << "HighLightSelect, gradient kept from HighLight: " << Face(kB);
    std::this_thread::sleep_for(Millis(300));
    EXPECT_EQ(Clicks("Cmd_B"), 1);
}

TEST_F(ButtonE2E, PressDragOutReleaseOutsideGivesNoClick)
{
    PointAt(kB);
    Button(1, true);
    ASSERT_TRUE(ShowsSoon(kB, "Pressed"));
    PointAt(kBackgroundX, kBackgroundY);
    EXPECT_TRUE(ShowsSoon(kB, "Selected")) << "the poll ends the hover while the button is held: " << Face(kB);
    Button(1, false);
    std::this_thread::sleep_for(Millis(400));
    EXPECT_EQ(Clicks("Cmd_B"), 0);
    EXPECT_EQ(Face(kB), "Selected");
}

TEST_F(ButtonE2E, PressDragOutBackInReleaseGivesNoClickAndTheNextMoveHighLightSelect)
{
    PointAt(kB);
    Button(1, true);
    ASSERT_TRUE(ShowsSoon(kB, "Pressed"));
    PointAt(kBackgroundX, kBackgroundY);
    ASSERT_TRUE(ShowsSoon(kB, "Selected"));
    PointAt(kB);
    std::this_thread::sleep_for(Millis(300));
    EXPECT_EQ(Face(kB), "Selected") << "back inside with the button held: no change";
    Button(1, false);
    std::this_thread::sleep_for(Millis(400));
    EXPECT_EQ(Clicks("Cmd_B"), 0);
    // The system follows a release that ends the capture with a move of its own.
    const std::string released = Face(kB);
    EXPECT_TRUE(released == "Selected" || released == "HighLight") << released;
    PointAt(kB, 3);
    EXPECT_TRUE(ShowsSoon(kB, "HighLight")) << "HighLightSelect with the normal gradient: " << Face(kB);
}

TEST_F(ButtonE2E, RightButtonReleaseClicksWithoutAChangeOfLook)
{
    PointAt(kB);
    ASSERT_TRUE(ShowsSoon(kB, "HighLight~"));
    Button(3, true);
    EXPECT_EQ(Face(kB), "HighLight~");
    Button(3, false);
    ASSERT_TRUE(ClickedSoon("Cmd_B", 1));
    EXPECT_EQ(Face(kB), "HighLight~");
    EXPECT_EQ(Face(kA), "Selected") << "the right button does not take the focus";
}

TEST_F(ButtonE2E, DisabledButtonIgnoresEverything)
{
    PointAt(kC);
    for (unsigned button : {1u, 3u}) {
        Button(button, true);
        EXPECT_EQ(Face(kC), "Disable");
        Button(button, false);
    }
    PointAt(kC, 5);
    std::this_thread::sleep_for(Millis(400));
    EXPECT_EQ(Face(kC), "Disable");
    EXPECT_EQ(Clicks("Cmd_C"), 0);
    EXPECT_EQ(Face(kA), "Selected") << "and takes no focus";
}

TEST_F(ButtonE2E, AnotherProgramsWindowOverTheButtonCountsAsLeavingIt)
{
    PointAt(kB);
    ASSERT_TRUE(ShowsSoon(kB, "HighLight~"));
    // A small window of another process right under the cursor, clear of the rows read.
    const Rect b = OnScreen(kB);
    Process cover = stage.wine.Run({stage.toolsDir + "/qvtool.exe", "host", std::to_string(b.cx() - 6),
                                    std::to_string(b.y + 6), "12", "12"},
                                   "qvtool-cover.log");
    ASSERT_TRUE(WaitUntil([&] { return stage.x.FindMappedWindow("QV Preview Host").has_value(); }, Millis(20000)));
    EXPECT_TRUE(ShowsSoon(kB, "Normal")) << Face(kB);
    cover.Kill();
}

TEST_F(ButtonE2E, TabAndShiftTabMoveTheFocus)
{
    PointAt(kBackgroundX, kBackgroundY);
    stage.x.TapKey("Tab");
    EXPECT_TRUE(ShowsSoon(kB, "Selected")) << Face(kB);
    EXPECT_TRUE(ShowsSoon(kA, "Normal")) << Face(kA);
    stage.x.TapKey("Tab");  // past the disabled C to the transparent D
    EXPECT_TRUE(ShowsSoon(kB, "Normal")) << Face(kB);
    EXPECT_EQ(Face(kC), "Disable");
    stage.x.HoldKeyAndTap("Shift_L", "Tab");
    EXPECT_TRUE(ShowsSoon(kB, "Selected")) << Face(kB);
    stage.x.TapKey({"Tab", "Tab"});
    EXPECT_TRUE(ShowsSoon(kA, "Selected")) << "round again: " << Face(kA);
    stage.x.TapKey({"space", "Return"});
    std::this_thread::sleep_for(Millis(300));
    EXPECT_EQ(Clicks("Cmd_A"), 0) << "the button takes no keys";
}

}  // namespace
