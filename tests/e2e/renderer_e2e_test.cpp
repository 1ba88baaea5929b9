// The shipped renderer under Wine on the suite's Xvfb, driven by real input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

#include "harness.h"

using namespace e2e;

namespace {

constexpr const char* kTitle = "Quorvellanto_VC";

class Renderer : public ::testing::Test {
protected:
    Stage& stage = TheStage();

    void SetUp() override
    {
        ASSERT_TRUE(stage.ready) << stage.failure;
        ASSERT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kTitle).empty(); }, Millis(10000)))
            << "a renderer of an earlier test is still up";
        stage.x.MovePointerTo(512, 384);
    }

    Process Start()
    {
        return stage.wine.Run({stage.distDir + "/Quorvellanto.dll"}, "renderer.log");
    }

    // Waits for the window, then lets the first mouse move and frames arrive.
    WindowInfo WaitForWindow(Process& renderer)
    {
        std::optional<WindowInfo> window;
        const bool found = WaitUntil(
            [&] {
                window = stage.x.FindMappedWindow(kTitle);
                return window.has_value() || !renderer.Running();
            },
            Millis(30000));
        EXPECT_TRUE(found && window.has_value()) << "no window titled " << kTitle;
        std::this_thread::sleep_for(Millis(1200));
        return window.value_or(WindowInfo{});
    }

    int Tool(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {stage.toolsDir + "/qvtool.exe"};
        argv.insert(argv.end(), args.begin(), args.end());
        return stage.wine.RunToEnd(argv, Millis(30000), "qvtool.log");
    }

    static void ExpectEndsWithZero(Process& renderer)
    {
        const auto code = renderer.WaitExit(Millis(10000));
        ASSERT_TRUE(code.has_value()) << "the renderer did not end";
        EXPECT_EQ(*code, 0);
    }
};

TEST_F(Renderer, CoversTheScreenFindableByTitleAndShowsRings)
{
    Process renderer = Start();
    const WindowInfo window = WaitForWindow(renderer);
    ASSERT_NE(window.id, 0u);
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, stage.x.screenWidth());
    EXPECT_EQ(window.height, stage.x.screenHeight());
    EXPECT_EQ(Tool({"find", kTitle}), 0) << "FindWindowA from another process finds it";

    int width = 0, height = 0;
    const auto rgb = stage.x.GrabScreen(width, height);
    ASSERT_EQ(rgb.size(), static_cast<size_t>(width) * height * 3);
    auto at = [&](int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; };
    for (auto [x, y] : {std::pair{0, 0}, std::pair{width - 1, 0}, std::pair{0, height - 1}, std::pair{width - 1, height - 1}}) {
        const unsigned char* p = at(x, y);
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << "black at " << x << "," << y;
    }
    long lit = 0, coloured = 0, outsideRings = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = at(x, y);
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            if (hi == 0) continue;
            ++lit;
            if (hi - lo > 25) ++coloured;
            // The rings (radius 100 at 400 units, spheres of 8) stay within
            // some 330 pixels of the centre on a 768-pixel-high screen.
            if (std::hypot(x - width / 2.0, y - height / 2.0) > 330) ++outsideRings;
        }
    }
    EXPECT_GT(lit, 8000) << "lit spheres of a frame";
    EXPECT_LT(lit, 80000);
    EXPECT_GT(coloured, lit / 3) << "the spheres carry their rings' hues";
    EXPECT_EQ(outsideRings, 0);

    stage.x.TapKey("space");
    ExpectEndsWithZero(renderer);
}

class RendererEnds : public Renderer, public ::testing::WithParamInterface<EndingInput> {};

TEST_P(RendererEnds, WithExitCodeZero)
{
    Process renderer = Start();
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    GetParam().act(stage.x);
    ExpectEndsWithZero(renderer);
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty()) << "the window goes with the process";
}

INSTANTIATE_TEST_SUITE_P(
    Input, RendererEnds,
    ::testing::ValuesIn(RendererEndingInputs()),
    [](const ::testing::TestParamInfo<EndingInput>& info) { return std::string(info.param.name); });

TEST_F(Renderer, KeepsRunningAfterSmallMovesSystemCommandsAndTheWheel)
{
    Process renderer = Start();
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    auto stillRunning = [&](const char* after) {
        std::this_thread::sleep_for(Millis(700));
        EXPECT_TRUE(renderer.Running()) << "ended after " << after;
        EXPECT_TRUE(stage.x.FindMappedWindow(kTitle).has_value()) << "window gone after " << after;
    };
    PlayNonEndingInputs(stage.x, stillRunning);
    EXPECT_EQ(Tool({"post", kTitle, "0x0112", "0xF060", "0"}), 0);  // WM_SYSCOMMAND, SC_CLOSE
    stillRunning("a posted SC_CLOSE");
    EXPECT_EQ(Tool({"post", kTitle, "0x0112", "0xF140", "0"}), 0);  // SC_SCREENSAVE
    EXPECT_EQ(Tool({"post", kTitle, "0x0112", "0xF170", "2"}), 0);  // SC_MONITORPOWER off
    stillRunning("posted screen-saver and monitor-power commands");

    stage.x.TapKey("Escape");
    ExpectEndsWithZero(renderer);
}

TEST_F(Renderer, CloseMessageFromAnotherProcessEndsIt)
{
    Process renderer = Start();
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    EXPECT_EQ(Tool({"close", kTitle}), 0);
    ExpectEndsWithZero(renderer);
}

}  // namespace
