#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "extension_list.h"
#include "input_rules.h"
#include "monitor_layout.h"
#include "ring_rules.h"

// Rectangles in failure messages as x,y wxh.
void PrintTo(const MonitorRect& r, std::ostream* os) { *os << r.x << "," << r.y << " " << r.width << "x" << r.height; }

namespace {

struct Rgb {
    float r, g, b;
};

class RingRules : public ::testing::Test {
protected:
    RingAnimation rings;  // as a run starts

    // The rule part of one frame, in the order the frame takes it.
    RasterStepResult FrameRules()
    {
        rings.CountFrameForShuffle();
        return rings.TakeRasterStep();
    }

    void RunFrames(int count)
    {
        for (int i = 0; i < count; ++i) FrameRules();
    }

    void ExpectRings(const std::array<Rgb, 4>& expected, int count) const
    {
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(rings.Colour(i).red, expected[i].r) << "ring " << i + 1;
            EXPECT_FLOAT_EQ(rings.Colour(i).green, expected[i].g) << "ring " << i + 1;
            EXPECT_FLOAT_EQ(rings.Colour(i).blue, expected[i].b) << "ring " << i + 1;
        }
        EXPECT_EQ(rings.VisibleRingCount(), count);
    }
};

TEST_F(RingRules, FirstThirteenDrawsOfTheSequence)
{
    const std::vector<int> expected = {41,    18467, 6334,  26500, 19169, 15724, 11478,
                                       29358, 26962, 24464, 5705,  28145, 23281};
    std::vector<int> drawn;
    for (size_t i = 0; i < expected.size(); ++i) drawn.push_back(rings.NextRandom());
    EXPECT_EQ(drawn, expected);
}

TEST_F(RingRules, SequenceStaysWithinFifteenBits)
{
    for (int i = 0; i < 100000; ++i) {
        const int n = rings.NextRandom();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 32767);
    }
}

TEST_F(RingRules, ColoursAtStartAndAtFrames101And202)
{
    rings.ShuffleRingColours();
    ExpectRings({{{0.42f, 0.68f, 0.35f}, {0.01f, 0.70f, 0.25f}, {0.79f, 0.59f, 0.63f}, {0.65f, 0.06f, 0.46f}}}, 2);

    RunFrames(100);
    ExpectRings({{{0.42f, 0.68f, 0.35f}, {0.01f, 0.70f, 0.25f}, {0.79f, 0.59f, 0.63f}, {0.65f, 0.06f, 0.46f}}}, 2);
    EXPECT_TRUE(rings.CountFrameForShuffle()) << "frame 101 reshuffles before drawing";
    ExpectRings({{{0.54f, 0.40f, 0.24f}, {0.80f, 0.97f, 0.88f}, {0.30f, 0.50f, 0.38f}, {0.67f, 0.50f, 0.94f}}}, 4);
    rings.TakeRasterStep();

    for (int frame = 102; frame < 202; ++frame) {
        EXPECT_FALSE(rings.CountFrameForShuffle()) << "frame " << frame;
        rings.TakeRasterStep();
    }
    EXPECT_TRUE(rings.CountFrameForShuffle()) << "frame 202 reshuffles";
    ExpectRings({{{0.42f, 0.56f, 0.56f}, {0.43f, 0.63f, 0.12f}, {0.78f, 0.25f, 0.79f}, {0.53f, 0.44f, 0.97f}}}, 2);
}

TEST_F(RingRules, ComponentsAreWholeHundredthsNeverZero)
{
    bool sawOne = false;
    for (int shuffle = 0; shuffle < 3000; ++shuffle) {
        rings.ShuffleRingColours();
        for (float c : {rings.Colour(0).red, rings.Colour(1).green, rings.Colour(2).blue, rings.Colour(3).red}) {
            ASSERT_GE(c, 0.01f);
            ASSERT_LE(c, 1.0f);
            const float hundredths = c * 100.0f;
            ASSERT_NEAR(hundredths, static_cast<float>(static_cast<int>(hundredths + 0.5f)), 1e-3f);
            sawOne = sawOne || c == 1.0f;
        }
        ASSERT_GE(rings.VisibleRingCount(), 1);
        ASSERT_LE(rings.VisibleRingCount(), 4);
    }
    EXPECT_TRUE(sawOne) << "a component of exactly 1.00 occurs";
}

TEST_F(RingRules, FirstFrameRasterColour)
{
    rings.ShuffleRingColours();
    const RasterStepResult first = FrameRules();
    EXPECT_EQ(first.colour.red, 236);
    EXPECT_EQ(first.colour.green, 16);
    EXPECT_EQ(first.colour.blue, 252);
    EXPECT_EQ(first.y, -150);
}

TEST_F(RingRules, RasterBouncesBetweenItsBounds)
{
    std::vector<int> xs;
    for (int frame = 1; frame <= 400; ++frame) xs.push_back(rings.TakeRasterStep().x);
    const std::pair<int, int> turns[] = {{0, -200}, {16, -216}, {17, -215}, {16 + 37, -179}, {16 + 38, -180}};
    for (const auto& [index, x] : turns) EXPECT_EQ(xs[index], x) << "frame " << index + 1;
    for (int x : xs) {
        ASSERT_GE(x, -216);
        ASSERT_LE(x, -179);
    }
    for (size_t i = 1; i < xs.size(); ++i) ASSERT_EQ(std::abs(xs[i] - xs[i - 1]), 1) << "frame " << i + 1;
}

TEST(FrameAngle, RunsFromZeroTo360ThenRestartsAtOne)
{
    std::int32_t angle = 0;
    std::vector<int> seen = {angle};
    for (int i = 0; i < 722; ++i) seen.push_back(angle = NextFrameAngle(angle));
    const std::pair<int, int> frames[] = {{0, 0}, {1, 1}, {359, 359}, {360, 360}, {361, 1}, {720, 360}, {721, 1}};
    for (const auto& [frame, expected] : frames) EXPECT_EQ(seen[frame], expected) << "frame " << frame;
}

class MouseMoves : public ::testing::Test {
protected:
    MouseRule rule;

    void SetUp() override { rule.StartWatching(); }  // as the message loop starts
};

TEST_F(MouseMoves, FirstMoveOnlyRecordsTheOrigin)
{
    EXPECT_FALSE(rule.MoveEndsRun({900, 700}));
    EXPECT_FALSE(rule.MoveEndsRun({902, 698})) << "two pixels from the first move";
    EXPECT_TRUE(rule.MoveEndsRun({903, 700})) << "three pixels from the first move";
}

// Moves measured in screen coordinates from the first move's point, whichever
// monitor's window reports them: negative coordinates left of or above the
// primary, and crossings between monitors. Each row starts a run afresh.
struct MoveRow {
    const char* name;
    ScreenPoint origin;
    std::vector<std::pair<ScreenPoint, bool>> moves;  // each move, and whether it ends the run
};

const MoveRow kMouseMoves[] = {
    {"TwoPixelsOnBothAxesKeepsRunning", {100, 100}, {{{102, 102}, false}, {{98, 98}, false}, {{102, 98}, false}}},
    {"ThreePixelsOnEitherAxisEnds, right", {100, 100}, {{{103, 100}, true}}},
    {"ThreePixelsOnEitherAxisEnds, left", {100, 100}, {{{97, 100}, true}}},
    {"ThreePixelsOnEitherAxisEnds, down", {100, 100}, {{{100, 103}, true}}},
    {"ThreePixelsOnEitherAxisEnds, up", {100, 100}, {{{100, 97}, true}}},
    {"SmallStepsAddUpFromTheOrigin", {10, 10}, {{{11, 10}, false}, {{12, 10}, false}, {{13, 10}, true}}},
    {"FarCoordinatesDoNotOverflow", {INT32_MAX, INT32_MIN}, {{{INT32_MIN, INT32_MAX}, true}}},
    {"TwoPixelsOnALeftMonitor", {-400, 300}, {{{-402, 302}, false}}},
    {"ThreePixelsOnALeftMonitor", {-400, 300}, {{{-403, 300}, true}}},
    {"ThreePixelsOnAMonitorAbove", {200, -10}, {{{200, -13}, true}}},
    {"TwoPixelsAcrossTheLeftEdge", {1, 100}, {{{-1, 100}, false}}},
    {"ThreePixelsAcrossTheLeftEdge", {1, 100}, {{{-2, 100}, true}}},
    {"TwoPixelsAcrossTheRightEdge", {1023, 100}, {{{1025, 100}, false}}},
    {"ThreePixelsOnARightMonitor", {1500, 400}, {{{1503, 400}, true}}},
};

TEST_F(MouseMoves, EveryMoveOfTheTable)
{
    for (const MoveRow& row : kMouseMoves) {
        SCOPED_TRACE(row.name);
        rule = MouseRule();
        rule.StartWatching();
        EXPECT_FALSE(rule.MoveEndsRun(row.origin));
        for (const auto& [to, ends] : row.moves) {
            EXPECT_EQ(rule.MoveEndsRun(to), ends) << to.x << "," << to.y;
            if (ends) {
                EXPECT_FALSE(rule.MoveEndsRun({to.x / 2 + 50, to.y / 2})) << "the move after an ending one is the new origin";
            }
        }
    }
}

// Which monitors get a black cover, and which rectangle the animation takes.
struct LayoutRow {
    const char* name;
    std::vector<MonitorRect> monitors;
    MonitorRect primary;  // width 0: none
    std::vector<MonitorRect> covers;
};

class MonitorLayout : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(MonitorLayout, PrimaryAndCovers)
{
    const LayoutRow& row = GetParam();
    MonitorRect primary;
    const bool found = FindPrimaryMonitor(row.monitors, primary);
    ASSERT_EQ(found, !row.primary.Empty());
    if (found) {
        EXPECT_EQ(primary, row.primary);
        EXPECT_TRUE(primary.primary);
    }
    const std::vector<MonitorRect> covers = CoverRects(row.monitors);
    EXPECT_EQ(covers, row.covers);
    for (const MonitorRect& cover : covers) EXPECT_FALSE(cover.primary);
}

const MonitorRect kMain{0, 0, 1024, 768, true};

INSTANTIATE_TEST_SUITE_P(
    Layouts, MonitorLayout,
    ::testing::Values(
        LayoutRow{"OneMonitor", {kMain}, kMain, {}},
        LayoutRow{"SecondaryRight", {kMain, {1024, 0, 800, 600}}, kMain, {{1024, 0, 800, 600}}},
        LayoutRow{"SecondaryLeftHasNegativeX", {{-800, 0, 800, 600}, kMain}, kMain, {{-800, 0, 800, 600}}},
        LayoutRow{"SecondaryAboveHasNegativeY", {kMain, {100, -1080, 1920, 1080}}, kMain, {{100, -1080, 1920, 1080}}},
        LayoutRow{"ThreeMonitors", {{-1280, -200, 1280, 1024}, kMain, {1024, 0, 800, 600}}, kMain,
                  {{-1280, -200, 1280, 1024}, {1024, 0, 800, 600}}},
        LayoutRow{"PrimaryListedLast", {{1024, 0, 800, 600}, kMain}, kMain, {{1024, 0, 800, 600}}},
        LayoutRow{"MirroredMonitorNotCovered", {kMain, {0, 0, 1024, 768}, {0, 0, 800, 600}}, kMain, {}},
        LayoutRow{"TwoListingsOfOneMonitorOneCover", {kMain, {1024, 0, 800, 600}, {1024, 0, 800, 600}}, kMain,
                  {{1024, 0, 800, 600}}},
        LayoutRow{"NoPrimaryMarkedTakesTheOrigin", {{1024, 0, 800, 600, false}, {0, 0, 1024, 768, false}}, kMain,
                  {{1024, 0, 800, 600}}},
        LayoutRow{"NoPrimaryNoOriginTakesTheFirst", {{10, 10, 800, 600, false}, {810, 10, 640, 480, false}},
                  {10, 10, 800, 600, true}, {{810, 10, 640, 480}}},
        LayoutRow{"MonitorsWithoutAreaIgnored", {{0, 0, 0, 0, true}, kMain, {1024, 0, 800, 0}}, kMain, {}},
        LayoutRow{"NoMonitors", {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Covers kept in place, removed and added when the monitors change.
struct CoverChangeRow {
    const char* name;
    std::vector<MonitorRect> current, wanted;
    std::vector<std::size_t> remove;
    std::vector<MonitorRect> add;
};

class CoverChangePlan : public ::testing::TestWithParam<CoverChangeRow> {};

TEST_P(CoverChangePlan, KeepsWhatStillFits)
{
    const CoverChanges changes = PlanCoverChanges(GetParam().current, GetParam().wanted);
    EXPECT_EQ(changes.remove, GetParam().remove);
    EXPECT_EQ(changes.add, GetParam().add);

    // The same change made on windows numbered in the order they were made.
    CoverSet<std::size_t> covers;
    std::size_t made = 0;
    std::vector<std::size_t> destroyed;
    const auto make = [&](const MonitorRect&) { return std::optional<std::size_t>(made++); };
    const auto destroy = [&](std::size_t window) { destroyed.insert(destroyed.begin(), window); };
    covers.Update(GetParam().current, make, destroy);
    covers.Update(GetParam().wanted, make, destroy);
    EXPECT_EQ(destroyed, GetParam().remove) << "the windows of the removed covers, each once";
    EXPECT_EQ(covers.Rects(), GetParam().wanted);
}

const MonitorRect kRight{1024, 0, 800, 600};
const MonitorRect kLeft{-800, 0, 800, 600};

INSTANTIATE_TEST_SUITE_P(
    Changes, CoverChangePlan,
    ::testing::Values(CoverChangeRow{"Unchanged", {kRight}, {kRight}, {}, {}},
                      CoverChangeRow{"MonitorSwitchedOff", {kRight}, {}, {0}, {}},
                      CoverChangeRow{"MonitorAdded", {kRight}, {kRight, kLeft}, {}, {kLeft}},
                      CoverChangeRow{"MovedFromRightToLeft", {kRight}, {kLeft}, {0}, {kLeft}},
                      CoverChangeRow{"ResizedInPlace", {kRight}, {{1024, 0, 1280, 1024}}, {0}, {{1024, 0, 1280, 1024}}},
                      CoverChangeRow{"DuplicateCoverRemoved", {kRight, kRight}, {kRight}, {1}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST(HasExtension, WholeNamesOnly)
{
    const char* list = "WGL_ARB_extensions_string WGL_EXT_swap_control_tear WGL_EXT_swap_control";
    EXPECT_TRUE(HasExtension(list, "WGL_EXT_swap_control")) << "found after a longer name that starts the same";
    EXPECT_TRUE(HasExtension(list, "WGL_ARB_extensions_string")) << "first word";
    EXPECT_FALSE(HasExtension("WGL_EXT_swap_control_tear", "WGL_EXT_swap_control")) << "a prefix of a name";
    EXPECT_FALSE(HasExtension("GLX_MESA_swap_control", "swap_control")) << "the tail of a name";
    EXPECT_FALSE(HasExtension(nullptr, "WGL_EXT_swap_control"));
    EXPECT_FALSE(HasExtension(list, ""));
}
