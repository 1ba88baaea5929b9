// The native X11 renderer, standalone, on two monitors (a private Xorg with
// the dummy driver): the animation on the primary, black on the secondary.
#include <gtest/gtest.h>

#include <thread>

#include "stage.h"
#include "xorg_dummy.h"

using namespace support;

namespace {

constexpr const char* kTitle = kRendererTitle;
constexpr unsigned long kBlue = 0x2040d0;

MonitorServer& TheMonitorStage()
{
    static MonitorServer stage;
    return stage;
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        TheMonitorStage().ready = TheMonitorStage().Start(std::string(QV_NATIVE_WORK_DIR) + "-monitors");
    }
    void TearDown() override { EXPECT_TRUE(TheMonitorStage().Stop()) << "Xorg left its socket behind"; }
};

class NativeTwoMonitors : public ::testing::TestWithParam<DummyLayout> {
protected:
    MonitorServer& stage = TheMonitorStage();
    const DummyLayout& layout = GetParam();

    void SetUp() override
    {
        ASSERT_TRUE(stage.ready) << stage.failure;
        ASSERT_TRUE(stage.xorg.Apply(layout));
        stage.x.MovePointerTo(layout.primaryX + kPrimaryWidth / 2, layout.primaryY + kPrimaryHeight / 2);
    }

    long SecondaryOtherThan(unsigned long rgb) const { return PixelsOtherThan(stage.x, layout.secondary(), rgb); }

    Process Start()
    {
        return Process::Start({QV_NATIVE_RENDERER}, {{"DISPLAY", stage.xorg.display()}, {"XSCREENSAVER_WINDOW", ""}},
                              stage.logDir + "/renderer.log");
    }

    // Frames drawn on the primary monitor: lit pixels within its rectangle.
    long LitOnPrimary() const
    {
        return CountLit(stage.x.Grab(layout.primary()), {0, 0, kPrimaryWidth, kPrimaryHeight}).lit;
    }
};

TEST_P(NativeTwoMonitors, AnimatesThePrimaryAndCoversTheSecondary)
{
    ColouredWindow userWindow(stage.x.display(), layout.secondary(), kBlue);
    ASSERT_EQ(SecondaryOtherThan(kBlue), 0) << "the user's window shows before the run";

    Process renderer = Start();
    std::optional<WindowInfo> window;
    ASSERT_TRUE(WaitUntil(
        [&] {
            window = stage.x.FindMappedWindow(kTitle);
            return (window && SecondaryOtherThan(0x000000) == 0 && LitOnPrimary() > 5000) || !renderer.Running();
        },
        Millis(20000)))
        << "no animation on the primary with the secondary black";
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->rect(), layout.primary());

    stage.x.MovePointerTo(layout.secondaryX + 100, layout.secondaryY + 100);  // far: ends the run
    ASSERT_EQ(renderer.WaitExit(Millis(10000)), 0) << "a move onto the secondary did not end the run";
    EXPECT_TRUE(WaitUntil([&] { return SecondaryOtherThan(kBlue) == 0; }, Millis(5000)))
        << "the user's window shows again after the run";
}

TEST_P(NativeTwoMonitors, AClickOnTheSecondaryEndsIt)
{
    stage.x.MovePointerTo(layout.secondaryX + 10, layout.secondaryY + 10);
    Process renderer = Start();
    ASSERT_TRUE(WaitUntil([&] { return (stage.x.FindMappedWindow(kTitle) && SecondaryOtherThan(0) == 0) ||
                                       !renderer.Running(); },
                          Millis(20000)));
    stage.x.MovePointerTo(layout.secondaryX + 12, layout.secondaryY + 12);  // 2 pixels: no end
    std::this_thread::sleep_for(Millis(500));
    ASSERT_TRUE(renderer.Running()) << "a 2-pixel move on the secondary ended the run";
    stage.x.PressButton(1);
    ASSERT_EQ(renderer.WaitExit(Millis(10000)), 0) << "a click on the secondary did not end the run";
}

INSTANTIATE_TEST_SUITE_P(Layouts, NativeTwoMonitors, ::testing::ValuesIn(TwoMonitorLayouts()), ByName());

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new Environment);
    return RUN_ALL_TESTS();
}
