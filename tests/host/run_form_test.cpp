#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "fakes.h"
#include "run_form.h"

namespace {

class FakeRunForm : public RunFormHost {
public:
    std::map<RunTimer, bool> timers = {{RunTimer::Mp3, false}, {RunTimer::CdWatch, false}, {RunTimer::RendererWatch, true}};
    RunFormRules* rules = nullptr;
    int unloads = 0;
    void SetTimerOn(RunTimer timer, bool on) override { timers[timer] = on; }
    bool TimerOn(RunTimer timer) const override { return timers.at(timer); }
    void UnloadForm() override
    {
        ++unloads;
        rules->OnQueryUnload();
        rules->OnUnload();
    }
};

class RunForm : public ::testing::Test {
protected:
    FakeServices services;
    FakeDesktop desktop;
    ScriptedMultimedia mm;
    FakeRunForm form;
    MusicSettings music;
    RunFormRules rules{form, services, desktop, mm, music};

    void SetUp() override
    {
        form.rules = &rules;
        desktop.windows.insert("Quorvellanto_VC");
    }

    void Music(std::int16_t kind, const std::string& file)
    {
        music.kind = kind;
        music.file = file;
    }
};

TEST(ChooseMusic, ByKindAndEnding)
{
    const std::tuple<std::int16_t, const char*, MusicChoice> rows[] = {
        {2, "C:\\song.wav", MusicChoice::Wav},  {2, "C:\\song.Mp3", MusicChoice::Mp3}, {2, "C:\\SONG.WAV", MusicChoice::Wav},
        {2, "C:\\song.ogg", MusicChoice::None}, {2, "wav", MusicChoice::Wav},          {2, "", MusicChoice::None},
        {1, "C:\\song.wav", MusicChoice::Cd},   {0, "C:\\song.wav", MusicChoice::None}, {7, "C:\\song.wav", MusicChoice::None}};
    for (const auto& [kind, file, choice] : rows) EXPECT_EQ(ChooseMusic(kind, file), choice) << kind << " " << file;
}

TEST_F(RunForm, LoadStartsTheRendererFromTheProgramFolder)
{
    services.folder = "C:\\Program Files\\Quorvellanto";
    rules.StartRenderer();  // before the form's window, as a run does
    rules.OnLoad();
    EXPECT_EQ(services.started, (std::vector<std::string>{"C:\\Program Files\\Quorvellanto\\Quorvellanto.dll"}))
        << "started once";
    EXPECT_TRUE(mm.commands.empty());
    EXPECT_TRUE(mm.sounds.empty());
    EXPECT_FALSE(form.timers[RunTimer::Mp3]);
    EXPECT_FALSE(form.timers[RunTimer::CdWatch]);
    EXPECT_TRUE(form.timers[RunTimer::RendererWatch]);
}

TEST_F(RunForm, WavLoopsWithoutTheMp3Timer)
{
    Music(2, "C:\\song.wav");
    rules.OnLoad();
    ASSERT_EQ(mm.sounds.size(), 1u);
    EXPECT_EQ(mm.sounds[0].first, "C:\\song.wav");
    EXPECT_FALSE(form.timers[RunTimer::Mp3]);
    EXPECT_TRUE(mm.commands.empty());
}

TEST_F(RunForm, Mp3PlaysAndItsTimerRuns)
{
    Music(2, "C:\\song.Mp3");
    rules.OnLoad();
    EXPECT_EQ(mm.commands, (std::vector<std::string>{"open \"C:\\song.Mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
    EXPECT_TRUE(form.timers[RunTimer::Mp3]);
    mm.commands.clear();
    mm.Answer_("status MP3Play mode", 0, "stopped");
    rules.OnMp3Timer();
    EXPECT_EQ(mm.commands.back(), "play MP3Play from 0");
}

TEST_F(RunForm, OtherEndingsAndKindsPlayNothing)
{
    for (auto [kind, file] : {std::pair{2, "C:\\song.ogg"}, std::pair{7, "C:\\song.wav"}, std::pair{0, "C:\\a.mp3"}}) {
        mm = ScriptedMultimedia();
        Music(static_cast<std::int16_t>(kind), file);
        rules.OnLoad();
        EXPECT_TRUE(mm.commands.empty()) << kind << " " << file;
        EXPECT_TRUE(mm.sounds.empty());
        EXPECT_FALSE(form.timers[RunTimer::Mp3]);
        EXPECT_FALSE(form.timers[RunTimer::CdWatch]);
    }
}

TEST_F(RunForm, CdOpensOnLoadAndPlaysAtTheFirstTick)
{
    Music(1, "");
    rules.OnLoad();
    EXPECT_EQ(mm.commands, (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf"}));
    EXPECT_TRUE(form.timers[RunTimer::CdWatch]);
    mm.Answer_("status cdaudio current track", 0, "1");
    mm.Answer_("status cdaudio number of tracks", 0, "9");
    mm.Answer_("status cdaudio mode", 0, "stopped");
    rules.OnCdWatchTimer();
    EXPECT_EQ(mm.commands.back(), "play cdaudio");
    EXPECT_TRUE(form.timers[RunTimer::CdWatch]);
}

TEST_F(RunForm, FailedCdPassStopsItsTimerForGood)
{
    Music(1, "");
    rules.OnLoad();
    mm.Answer_("status cdaudio current track", 266);
    rules.OnCdWatchTimer();
    EXPECT_FALSE(form.timers[RunTimer::CdWatch]);
    mm.commands.clear();
    services.arguments = "/s";
    desktop.windows.clear();
    rules.OnRendererWatchTimer();
    EXPECT_TRUE(mm.commands.empty()) << "no stop or close of the CD once its timer is off";
}

TEST_F(RunForm, WatchGoesOnWhileTheRendererWindowExists)
{
    rules.OnLoad();
    for (int i = 0; i < 5; ++i) rules.OnRendererWatchTimer();
    EXPECT_EQ(form.unloads, 0);
    EXPECT_TRUE(form.timers[RunTimer::RendererWatch]);
}

TEST_F(RunForm, RendererGoneEndsTheRunAndDeletesThePictures)
{
    rules.OnLoad();
    rules.OnRendererWatchTimer();
    desktop.windows.clear();
    rules.OnRendererWatchTimer();
    EXPECT_FALSE(form.timers[RunTimer::RendererWatch]);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_EQ(services.deleted, (std::vector<std::string>{"C:\\Quorvellanto1.bmp", "C:\\Quorvellanto2.bmp",
                                                          "C:\\Quorvellanto3.bmp"}));
    EXPECT_EQ(services.endCount, 1);
}

// Before its window first shows, a started renderer that still runs is
// waited for (ten seconds of watches); one that could not be started, or that
// ended unseen, ends the run at the first watch.
TEST_F(RunForm, SlowRendererIsWaitedForAndAFailedStartIsNot)
{
    struct Case {
        bool starts, runs;
        int watches;
    };
    for (const Case c : {Case{true, true, kFirstWindowTicks}, Case{true, false, 1}, Case{false, false, 1}}) {
        services.startSucceeds = c.starts;
        services.startedRunning = c.runs;
        form.unloads = 0;
        desktop.windows.clear();
        RunFormRules fresh{form, services, desktop, mm, music};
        fresh.OnLoad();
        int watches = 0;
        while (form.unloads == 0 && watches < 100) {
            fresh.OnRendererWatchTimer();
            ++watches;
        }
        EXPECT_EQ(watches, c.watches) << "starts " << c.starts << ", runs " << c.runs;
    }
}

struct QueryUnloadCase {
    std::int16_t kind;
    const char* file;
    const char* arguments;
    std::vector<std::string> commands;
    std::vector<std::string> sounds;
    std::vector<bool> cursor;
    bool settles;  // the music's threads are let end, after every stop and close
};

class QueryUnload : public RunForm, public ::testing::WithParamInterface<QueryUnloadCase> {};

TEST_P(QueryUnload, StopsWhatRunsAndGivesTheCursorBack)
{
    const QueryUnloadCase& c = GetParam();
    Music(c.kind, c.file);
    services.arguments = c.arguments;
    rules.OnLoad();
    mm.commands.clear();
    mm.sounds.clear();
    rules.OnQueryUnload();
    EXPECT_EQ(mm.commands, c.commands);
    std::vector<std::string> sounds;
    for (auto& s : mm.sounds) sounds.push_back(s.first);
    EXPECT_EQ(sounds, c.sounds);
    EXPECT_EQ(desktop.cursorCalls, c.cursor);
    if (c.settles)
        EXPECT_EQ(mm.settledAfter, std::vector<std::size_t>{mm.commands.size() + mm.sounds.size()});
    else
        EXPECT_TRUE(mm.settledAfter.empty());
    EXPECT_FALSE(form.timers[RunTimer::Mp3]);
    EXPECT_FALSE(form.timers[RunTimer::CdWatch]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueryUnload,
    ::testing::Values(QueryUnloadCase{0, "", "/s", {}, {}, {true}, false},
                      QueryUnloadCase{0, "", "", {}, {}, {}, false},
                      QueryUnloadCase{1, "", "/S", {"stop cdaudio", "close cdaudio"}, {}, {true}, true},
                      QueryUnloadCase{2, "C:\\song.wav", "-s", {}, {""}, {true}, true},
                      QueryUnloadCase{2, "C:\\song.Mp3", "/s", {"stop MP3Play", "close MP3Play"}, {}, {true}, true},
                      QueryUnloadCase{2, "C:\\song.ogg", "", {}, {}, {}, false},
                      QueryUnloadCase{7, "C:\\song.wav", "/s", {}, {}, {true}, false}));

}  // namespace
