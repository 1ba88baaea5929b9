// The shipped screen saver (dist/win64 or dist/win32) under Wine on the suite's Xvfb: runs,
// single instance, music, preview and the switches that end at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "saver_stage.h"

using namespace support;
namespace fs = std::filesystem;

namespace {

const std::string kProgramFolder = "C:\\Program Files\\Quorvellanto";

class Saver : public StageTest {
protected:
    std::string folder;  // Unix path of the program folder in drive C

    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kRendererTitle).empty() && !QvTool({"find", kRunFormTitle}); },
                              Millis(15000)))
            << "a run of an earlier test is still up";
        folder = InstallPair("Quorvellanto");
        stage.x.MovePointerTo(512, 384);
    }

    void WriteSettings(int kind, const std::string& file) { WriteWholeFile(folder + "/Quorvellanto.ini", SettingsText(kind, 0, file)); }

    Process StartSaver(const std::vector<std::string>& switches, const std::string& programFolder = kProgramFolder)
    {
        std::vector<std::string> args = {programFolder + "\\Quorvellanto.scr"};
        args.insert(args.end(), switches.begin(), switches.end());
        return stage.wine.Run(args, "saver.log");
    }

};

TEST_F(Saver, RunStartsTheRendererAndEndsSoonAfterIt)
{
    const std::string driveC = stage.wine.DriveC();
    for (int i = 1; i <= 3; ++i) WriteWholeFile(driveC + "/Quorvellanto" + std::to_string(i) + ".bmp", "BM");
    // Were the renderer started from an unquoted command line, this would run instead.
    fs::copy_file(stage.toolsDir + "/bare_loop.exe", driveC + "/Program.exe", fs::copy_options::overwrite_existing);

    Process saver = StartSaver({"/s"});
    ASSERT_TRUE(WaitForRenderer(saver)) << "no renderer window";
    // The run's own form follows once the renderer says its windows are up.
    EXPECT_TRUE(WaitUntil([&] { return QvTool({"find", kRunFormTitle}); }, Millis(5000))) << "the hidden run form marks the run";
    EXPECT_FALSE(stage.x.FindMappedWindow(kRunFormTitle).has_value()) << "the run form is never shown";
    EXPECT_TRUE(stage.x.FindWindows("Quorvellanto_Bare").empty()) << "C:\\Program.exe was started";
    EXPECT_TRUE(saver.Running());

    Millis afterRenderer{};
    EXPECT_EQ(EndRunWithMouse(saver, &afterRenderer), 0) << "the saver did not end after the renderer";
    EXPECT_LT(afterRenderer.count(), 3000) << "the watch notices within half a second (Wine's exit adds some)";
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(fs::exists(driveC + "/Quorvellanto" + std::to_string(i) + ".bmp")) << "picture " << i;
    fs::remove(driveC + "/Program.exe");
}

TEST_F(Saver, SecondStartEndsAtOnceWhileARunGoesOn)
{
    Process saver = StartSaver({"/s"});
    ASSERT_TRUE(WaitForRenderer(saver));
    for (const std::vector<std::string>& second :
         {std::vector<std::string>{"/s"}, std::vector<std::string>{"/p", "1234"}, std::vector<std::string>{"/c"}}) {
        Process again = StartSaver(second);
        ASSERT_EQ(again.WaitExit(Millis(15000)), 0) << second[0] << " did not end";
        EXPECT_EQ(stage.x.FindWindows(kRendererTitle).size(), 1u) << "no second renderer after " << second[0];
        EXPECT_TRUE(saver.Running()) << "the first run goes on after " << second[0];
    }
    EXPECT_EQ(EndRunWithMouse(saver), 0);
}

// Another copy of the program (an older version, say) is known only by its
// windows, which a run looks for once its renderer is starting: the run ends
// and takes its renderer down before that shows a window.
TEST_F(Saver, AnotherCopysRunOrDialogWindowEndsARunBeforeItsRendererShows)
{
    for (const char* marker : {kRunFormTitle, kDialogTitle}) {
        Process other = stage.wine.Run({stage.toolsDir + "/qvtool.exe", "host", "0", "0", "40", "30", marker}, "other.log");
        ASSERT_TRUE(WaitUntil([&] { return QvTool({"find", marker}); }, Millis(15000))) << marker;
        Process saver = StartSaver({"/s"});
        bool rendererShown = false;
        const bool ended = WaitUntil(
            [&] {
                rendererShown = rendererShown || !stage.x.FindWindows(kRendererTitle).empty();
                return !saver.Running();
            },
            Millis(15000));
        ASSERT_TRUE(ended) << "/s beside a window titled " << marker << " did not end";
        EXPECT_EQ(saver.WaitExit(Millis(100)), 0) << marker;
        // A renderer left running would show its window within a second or two.
        EXPECT_FALSE(rendererShown || WaitUntil([&] { return !stage.x.FindWindows(kRendererTitle).empty(); }, Millis(3000)))
            << "a renderer came up beside " << marker;
        EXPECT_TRUE(QvTool({"close", marker}));
        EXPECT_TRUE(other.WaitExit(Millis(10000)).has_value());
    }
}

TEST_F(Saver, MissingRendererEndsTheRunAtTheFirstWatch)
{
    InstallPair("Quorvellanto Alone", false);
    Process saver = StartSaver({"/s"}, "C:\\Program Files\\Quorvellanto Alone");
    const auto started = Clock::now();
    ASSERT_EQ(saver.WaitExit(Millis(10000)), 0) << "the saver kept running without its renderer";
    EXPECT_LT(std::chrono::duration_cast<Millis>(Clock::now() - started).count(), 5000);
    EXPECT_TRUE(stage.x.FindWindows(kRendererTitle).empty());
}

TEST_F(Saver, WavMusicSoundsWhileTheRunLastsAndStopsWithIt)
{
    WriteSettings(2, WindowsPath(Fixture("tone 500ms.wav")));
    Process saver = StartSaver({"/s"});
    ASSERT_TRUE(WaitForRenderer(saver));
    std::this_thread::sleep_for(Millis(300));
    EXPECT_GT(LoudSamples(Listen(Millis(800))), 1000) << "the WAV plays";
    EXPECT_GT(LoudSamples(Listen(Millis(800))), 1000) << "and loops";
    ASSERT_EQ(EndRunWithMouse(saver), 0);
    EXPECT_EQ(LoudSamples(Listen(Millis(800))), 0) << "silence after the run";
}

TEST_F(Saver, ShortMp3PlaysEndsAndPlaysAgain)
{
    WriteSettings(2, WindowsPath(Fixture("tone 1s.mp3")));
    Process saver = StartSaver({"/s"});
    ASSERT_TRUE(WaitForRenderer(saver));
    // Quarter-second windows until there was sound, then the gap after its
    // end, then sound again once the keep-alive timer has restarted it. A
    // restart can follow an end too closely for a quiet window to show, so
    // several plays may run together: up to 15 seconds are listened to.
    std::string pattern;  // '#' loud, '.' quiet
    const auto ended = [&] { return pattern.find("#."); };
    const auto playedAgain = [&] {
        return ended() != std::string::npos && pattern.find('#', ended() + 1) != std::string::npos;
    };
    while (pattern.size() < 60 && !playedAgain()) pattern += LoudSamples(Listen(Millis(250))) > 500 ? '#' : '.';
    EXPECT_NE(pattern.find('#'), std::string::npos) << "it plays: " << pattern;
    EXPECT_NE(ended(), std::string::npos) << "it ends: " << pattern;
    EXPECT_TRUE(playedAgain()) << "it plays again: " << pattern;
    ASSERT_EQ(EndRunWithMouse(saver), 0);
    EXPECT_EQ(LoudSamples(Listen(Millis(800))), 0) << "silence after the run";
}

TEST_F(Saver, CdWithoutADriveRunsWithoutMusic)
{
    WriteSettings(1, "");
    Process saver = StartSaver({"/s"});
    ASSERT_TRUE(WaitForRenderer(saver));
    EXPECT_EQ(LoudSamples(Listen(Millis(1500))), 0);
    EXPECT_TRUE(saver.Running()) << "the run goes on";
    EXPECT_EQ(EndRunWithMouse(saver), 0);
}

TEST_F(Saver, PreviewIsEmbeddedInTheHostAndEndsWithIt)
{
    std::string handle, children;
    Process host = StartPreviewHost(handle);
    ASSERT_FALSE(handle.empty()) << "the host window did not come up";
    Process saver = StartSaver({"/p", handle});
    EXPECT_TRUE(PreviewFillsHost(children)) << children;
    // What the embedded form paints is checked in-process by the Windows-side
    // forms tests: Wine draws nothing of a child window whose top-level window
    // belongs to another process, so a screen grab shows only the host here.

    EXPECT_TRUE(QvTool({"close", "QV Preview Host"}));
    EXPECT_TRUE(host.WaitExit(Millis(10000)).has_value());
    ASSERT_EQ(saver.WaitExit(Millis(10000)), 0) << "the saver outlived its preview window";
}

TEST_F(Saver, PreviewWithoutAHostWindowEnds)
{
    for (const char* handle : {"0", "1234"}) {
        Process saver = StartSaver({"/p", handle});
        ASSERT_EQ(saver.WaitExit(Millis(15000)), 0) << "an invisible preview without host lingered (/p " << handle << ")";
    }
}

TEST_F(Saver, OtherSwitchesEndWithoutARunOrAWindow)
{
    for (const char* sw : {"s", "/a", "/x"}) {
        Process saver = StartSaver({sw});
        bool sawWindow = false;
        const bool ended = WaitUntil(
            [&] {
                sawWindow = sawWindow || !stage.x.FindWindows(kRendererTitle).empty() || !stage.x.FindWindows(kRunFormTitle).empty();
                return !saver.Running();
            },
            Millis(15000));
        ASSERT_TRUE(ended) << sw << " did not end";
        EXPECT_EQ(saver.WaitExit(Millis(100)), 0) << sw;
        EXPECT_FALSE(sawWindow) << sw << " made a window";
    }
}

}  // namespace
