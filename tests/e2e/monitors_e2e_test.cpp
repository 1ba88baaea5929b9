// The shipped renderer under Wine on two monitors: a private Xorg with the
// dummy driver, its outputs placed by xrandr. The animation stays on the
// primary; every other monitor is covered black and ends the run on input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "xorg_dummy.h"

using namespace e2e;

namespace {

constexpr const char* kTitle = "Quorvellanto_VC";
constexpr unsigned long kRed = 0xd02020;

struct MonitorStage {
    XorgDummy xorg;
    WinePrefix wine;
    XSession x;
    std::string workDir, distDir, logDir;
    bool ready = false;
    std::string failure;
};

MonitorStage& TheMonitorStage()
{
    static MonitorStage stage;
    return stage;
}

class MonitorStageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        MonitorStage& s = TheMonitorStage();
        const char* arch = std::getenv("QV_WINDOWS_ARCH");
        const std::string a = arch != nullptr && *arch != '\0' ? arch : "win64";
        s.workDir = EnsureDir(std::string(QV_E2E_WORK_DIR) + "/" + a + "-monitors");
        s.logDir = EnsureDir(s.workDir + "/logs");
        s.distDir = std::string(QV_PROJECT_DIR) + "/dist/" + a;
        s.wine.SetLoader(WineLoaderFor(a));
        if (!s.xorg.Start(s.workDir, s.logDir)) {
            s.failure = "Xorg with the dummy driver did not start (see " + s.logDir + "/xorg.log)";
            return;
        }
        if (!s.xorg.Apply(TwoMonitorLayouts().front())) {
            s.failure = "xrandr could not set up two monitors";
            return;
        }
        if (!s.x.Open(s.xorg.display())) {
            s.failure = "cannot open " + s.xorg.display();
            return;
        }
        if (!s.wine.Prepare(s.workDir + "/wineprefix", s.xorg.display(), s.logDir)) {
            s.failure = "Wine prefix could not be prepared";
            return;
        }
        s.ready = true;
    }

    void TearDown() override
    {
        MonitorStage& s = TheMonitorStage();
        s.wine.Shutdown();
        s.x.Close();
        s.xorg.Stop();
    }
};

class TwoMonitors : public ::testing::TestWithParam<DummyLayout> {
protected:
    MonitorStage& stage = TheMonitorStage();
    const DummyLayout& layout = GetParam();

    void SetUp() override
    {
        ASSERT_TRUE(stage.ready) << stage.failure;
        ASSERT_TRUE(stage.xorg.Apply(layout));
        ASSERT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kTitle).empty(); }, Millis(10000)))
            << "a renderer of an earlier test is still up";
        PointerToPrimary();
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

    long SecondaryOtherThan(unsigned long rgb) const
    {
        return PixelsOtherThan(stage.x, layout.secondaryX, layout.secondaryY, kSecondaryWidth, kSecondaryHeight,
                               rgb);
    }
    bool SecondaryCovered() const
    {
        return !MappedWindowsAt(stage.x, layout.secondaryX, layout.secondaryY, kSecondaryWidth, kSecondaryHeight)
                    .empty();
    }

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
        if (window) {
            EXPECT_EQ(window->x, layout.primaryX);
            EXPECT_EQ(window->y, layout.primaryY);
            EXPECT_EQ(window->width, kPrimaryWidth);
            EXPECT_EQ(window->height, kPrimaryHeight);
        }
        std::this_thread::sleep_for(Millis(1200));  // the first mouse move and frames arrive
        return renderer;
    }

    static void ExpectEndsWithZero(Process& renderer)
    {
        const auto code = renderer.WaitExit(Millis(10000));
        ASSERT_TRUE(code.has_value()) << "the renderer did not end";
        EXPECT_EQ(*code, 0);
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
    ColouredWindow userWindow(stage.x.display(), layout.secondaryX, layout.secondaryY, kSecondaryWidth,
                              kSecondaryHeight, kRed);
    ASSERT_EQ(SecondaryOtherThan(kRed), 0) << "the user's window shows before the run";

    Process renderer = StartCovering();
    EXPECT_TRUE(WaitUntil([&] { return SecondaryOtherThan(0x000000) == 0; }, Millis(5000)))
        << SecondaryOtherThan(0x000000) << " pixels of the secondary not black during the run";
    PointerToSecondary();
    EXPECT_TRUE(WaitUntil([&] { return PointerHidden(stage.x); }, Millis(3000))) << "pointer shown over the cover";
    if (std::string(layout.name) == "SecondaryRight")
        SaveScreenshot(stage.xorg.display(), stage.workDir + "/two-monitors.png");

    PointerToPrimary();  // more than 2 pixels: ends the run
    ExpectEndsWithZero(renderer);
    EXPECT_TRUE(WaitUntil([&] { return SecondaryOtherThan(kRed) == 0; }, Millis(5000)))
        << "the user's window shows again after the run";
}

TEST_P(TwoMonitors, TwoPixelsOnTheSecondaryKeepItRunningThreeEndIt)
{
    PointerToSecondary();
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
    PointerToSecondary();
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
    std::this_thread::sleep_for(Millis(500));
    EXPECT_TRUE(renderer.Running()) << "a monitor switched off is no input";
    const auto window = stage.x.FindMappedWindow(kTitle);
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->width, kPrimaryWidth);
    EXPECT_EQ(window->height, kPrimaryHeight);
    stage.x.TapKey("space");
    ExpectEndsWithZero(renderer);
}

INSTANTIATE_TEST_SUITE_P(Layouts, TwoMonitors, ::testing::ValuesIn(TwoMonitorLayouts()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new MonitorStageEnvironment);
    return RUN_ALL_TESTS();
}
