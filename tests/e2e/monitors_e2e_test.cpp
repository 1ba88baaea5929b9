// The shipped renderer under Wine on two monitors: a private Xorg with the
// dummy driver, its outputs placed by xrandr. The animation stays on the
// primary; every other monitor is covered black and ends the run on input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "xorg_dummy.h"

using namespace support;

namespace {

constexpr const char* kTitle = kRendererTitle;
constexpr unsigned long kWhite = 0xffffff;
constexpr int kInset = 40;

struct MonitorStage : MonitorServer {
    WinePrefix wine;
    std::string distDir, toolsDir;
    std::string layout;  // the name of the layout the servers were started for
};

MonitorStage& TheMonitorStage()
{
    static MonitorStage stage;
    return stage;
}

// Wine's desktop process follows a first layout set while it runs, but not
// every later move of a monitor (see docs/platform-notes.md): each layout
// gets a server and a Wine session of its own, started when its first case
// runs (the cases run layout by layout).
void StopServers()
{
    MonitorStage& s = TheMonitorStage();
    if (!s.ready) return;
    s.wine.Shutdown();
    EXPECT_TRUE(s.Stop()) << "Xorg left its socket behind";
    s.ready = false;
}

bool StartServers(const DummyLayout& layout)
{
    MonitorStage& s = TheMonitorStage();
    StopServers();
    const char* arch = std::getenv("QV_WINDOWS_ARCH");
    const std::string a = arch != nullptr && *arch != '\0' ? arch : "win64";
    s.distDir = std::string(QV_PROJECT_DIR) + "/dist/" + a;
    s.toolsDir = std::string(QV_PROJECT_DIR) + "/build/" + a + "/tools";
    s.wine.SetLoader(WineLoaderFor(a));
    s.layout = layout.name;
    if (!s.Start(std::string(QV_E2E_WORK_DIR) + "/" + a + "-monitors")) {
        s.Stop();
        return false;
    }
    s.ready = true;  // from here on StopServers has something to stop
    if (!s.wine.Prepare(s.workDir + "/wineprefix", s.xorg.display(), s.logDir)) {
        s.failure = "Wine prefix could not be prepared";
        return false;
    }
    // Monitors set up while Wine's desktop process runs reach it as a
    // change; set up before it started, they are not all seen.
    if (!s.xorg.Apply(layout)) {
        s.failure = "xrandr could not set up two monitors";
        return false;
    }
    return true;
}

class MonitorStageEnvironment : public ::testing::Environment {
public:
    void TearDown() override { StopServers(); }
};

class TwoMonitors : public ::testing::TestWithParam<DummyLayout> {
protected:
    MonitorStage& stage = TheMonitorStage();
    const DummyLayout& layout = GetParam();

    void SetUp() override
    {
        if (!stage.ready || stage.layout != layout.name) {
            ASSERT_TRUE(StartServers(layout)) << stage.failure;
        }
        ASSERT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kTitle).empty(); }, Millis(10000)))
            << "a renderer of an earlier test is still up";
        ASSERT_TRUE(stage.xorg.Apply(layout));
        PointerToPrimary();
        ExpectWineSees(kPrimaryWidth / 2, kPrimaryHeight / 2);
    }

    // Wine takes a new layout, and the pointer's place, a moment after X has
    // them: waits until a Windows program sees both monitors where the layout
    // puts them and the cursor at (x, y) in Windows' coordinates.
    void ExpectWineSees(int x, int y) const
    {
        const std::string expected = "monitor 0 0 1024 768 primary\nmonitor " +
                                     std::to_string(layout.SecondaryOnWindowsX()) + " " +
                                     std::to_string(layout.SecondaryOnWindowsY()) + " 800 600\ncursor " +
                                     std::to_string(x) + " " + std::to_string(y) + "\n";
        std::string listed;
        EXPECT_TRUE(WaitUntil([&] { return (listed = Monitors()) == expected; }, Millis(30000), Millis(200)))
            << "Wine lists:\n" << listed << "expected:\n" << expected;
    }

    std::string Monitors() const
    {
        WriteWholeFile(stage.logDir + "/monitors.txt", "");
        stage.wine.RunToEnd({stage.toolsDir + "/qvtool.exe", "monitors"}, Millis(30000), "monitors.txt");
        std::string text = ReadWholeFile(stage.logDir + "/monitors.txt");
        std::string clean;
        for (char c : text)
            if (c != '\r') clean += c;
        return clean;
    }

    void PointerToPrimary() const
    {
        stage.x.MovePointerTo(layout.primaryX + kPrimaryWidth / 2, layout.primaryY + kPrimaryHeight / 2);
    }
    void PointerToSecondary(int dx = 0, int dy = 0) const
    {
        stage.x.MovePointerTo(layout.secondaryX + kSecondaryWidth / 2 + dx,
                              layout.secondaryY + kSecondaryHeight / 2 + dy);
    }
    // The pointer on the secondary's centre, known there to Wine before a run starts.
    void StartOnSecondary() const
    {
        PointerToSecondary();
        ExpectWineSees(layout.SecondaryOnWindowsX() + kSecondaryWidth / 2,
                       layout.SecondaryOnWindowsY() + kSecondaryHeight / 2);
    }

    long SecondaryOtherThan(unsigned long rgb) const { return PixelsOtherThan(stage.x, layout.secondary(), rgb); }
    long UserWindowOtherThan(unsigned long rgb) const
    {
        return PixelsOtherThan(stage.x, layout.secondary().Inset(kInset), rgb);
    }
    bool SecondaryCovered() const { return !MappedWindowsAt(stage.x, layout.secondary()).empty(); }

    // Starts the renderer and waits until it draws on the primary and covers the secondary.
    Process StartCovering()
    {
        Process renderer = stage.wine.Run({stage.distDir + "/Quorvellanto.dll"}, "renderer.log");
        std::optional<WindowInfo> window;
        const bool up = WaitUntil(
            [&] {
                window = stage.x.FindMappedWindow(kTitle);
                return (window && SecondaryCovered()) || !renderer.Running();
            },
            Millis(30000));
        EXPECT_TRUE(up && window) << "no renderer window, or no cover on the secondary";
        if (window) EXPECT_EQ(window->rect(), layout.primary());
        std::this_thread::sleep_for(Millis(1200));  // the first mouse move and frames arrive
        return renderer;
    }

    static void ExpectEndsWithZero(Process& renderer)
    {
        ASSERT_EQ(renderer.WaitExit(Millis(10000)), 0) << "the renderer did not end";
    }

    void ExpectStillRunning(Process& renderer, const char* after) const
    {
        std::this_thread::sleep_for(Millis(700));
        EXPECT_TRUE(renderer.Running()) << "ended after " << after;
        EXPECT_TRUE(SecondaryCovered()) << "cover gone after " << after;
    }
};

TEST_P(TwoMonitors, AWindowOnTheSecondaryIsCoveredBlackThenShownAgain)
{
    // A Windows program's white window on the secondary, smaller than the
    // monitor so that only a cover fills the monitor exactly.
    Process userWindow = stage.wine.Run(
        {stage.toolsDir + "/qvtool.exe", "host", std::to_string(layout.SecondaryOnWindowsX() + kInset),
         std::to_string(layout.SecondaryOnWindowsY() + kInset), std::to_string(kSecondaryWidth - 2 * kInset),
         std::to_string(kSecondaryHeight - 2 * kInset)},
        "host.log");
    ASSERT_TRUE(WaitUntil([&] { return UserWindowOtherThan(kWhite) == 0; }, Millis(20000)))
        << "the user's window shows before the run";

    Process renderer = StartCovering();
    EXPECT_TRUE(WaitUntil([&] { return SecondaryOtherThan(0x000000) == 0; }, Millis(5000)))
        << SecondaryOtherThan(0x000000) << " pixels of the secondary not black during the run";
    PointerToSecondary();
    EXPECT_TRUE(WaitUntil([&] { return stage.x.PointerHidden(); }, Millis(3000))) << "pointer shown over the cover";
    if (std::string(layout.name) == "SecondaryRight")
        SaveScreenshot(stage.xorg.display(), stage.workDir + "/two-monitors.png");

    stage.x.TapKey("space");  // moves and clicks on the secondary have cases of their own
    ExpectEndsWithZero(renderer);
    EXPECT_TRUE(WaitUntil([&] { return UserWindowOtherThan(kWhite) == 0; }, Millis(5000)))
        << "the user's window shows again after the run";
}

TEST_P(TwoMonitors, TwoPixelsOnTheSecondaryKeepItRunningThreeEndIt)
{
    StartOnSecondary();
    Process renderer = StartCovering();
    PointerToSecondary(2, 0);
    ExpectStillRunning(renderer, "a 2-pixel move right");
    PointerToSecondary(0, -2);
    ExpectStillRunning(renderer, "a 2-pixel move up");
    PointerToSecondary(-3, 0);
    ExpectEndsWithZero(renderer);
}

TEST_P(TwoMonitors, AClickOnTheSecondaryEndsIt)
{
    StartOnSecondary();
    Process renderer = StartCovering();
    stage.x.PressButton(1);
    ExpectEndsWithZero(renderer);
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty());
    EXPECT_FALSE(SecondaryCovered()) << "the cover goes with the process";
}

TEST_P(TwoMonitors, ASecondarySwitchedOffLeavesNoWindowBehind)
{
    Process renderer = StartCovering();
    ASSERT_TRUE(stage.xorg.SwitchOffSecondary());
    EXPECT_TRUE(WaitUntil([&] { return !SecondaryCovered(); }, Millis(10000)))
        << "a cover is left where the secondary was";
    if (layout.primaryX != 0 || layout.primaryY != 0) {
        // X moves the primary to 0, 0 but leaves the pointer where it was on
        // the screen: Wine sees the cursor jump by the width of the monitor
        // gone, and that move ends the run as any other would.
        ExpectEndsWithZero(renderer);
        return;
    }
    std::this_thread::sleep_for(Millis(500));
    EXPECT_TRUE(renderer.Running()) << "a monitor switched off is no input";
    const auto window = stage.x.FindMappedWindow(kTitle);
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->rect(), layout.primary());  // the primary at 0, 0 as before
    stage.x.TapKey("space");
    ExpectEndsWithZero(renderer);
}

// One instantiation per layout, so that the servers start once per layout.
INSTANTIATE_TEST_SUITE_P(SecondaryRight, TwoMonitors, ::testing::Values(kSecondaryRight), ByName());
INSTANTIATE_TEST_SUITE_P(SecondaryLeft, TwoMonitors, ::testing::Values(kSecondaryLeft), ByName());
INSTANTIATE_TEST_SUITE_P(SecondaryRightLower, TwoMonitors, ::testing::Values(kSecondaryRightLower), ByName());

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new MonitorStageEnvironment);
    return RUN_ALL_TESTS();
}
