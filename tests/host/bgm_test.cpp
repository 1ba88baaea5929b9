#include <gtest/gtest.h>

#include <optional>

#include "bgm.h"
#include "fakes.h"

namespace {

using Commands = std::vector<std::string>;

class Music : public ::testing::Test {
protected:
    ScriptedMultimedia mm;
    MusicPlayer player{mm};

    // A disc in the drive: the current track, the track count, the mode.
    void Disc(const std::string& track, const std::string& mode)
    {
        mm.Answer_("status cdaudio current track", 0, track);
        mm.Answer_("status cdaudio number of tracks", 0, "12");
        mm.Answer_("status cdaudio mode", 0, mode);
    }
};

// What each opening and closing step sends, given the music file and one
// command that fails (code 277), if any.
constexpr auto kPlayMp3 = [](MusicPlayer& p, const std::string& file) { p.PlayMp3(file); };

struct Step {
    const char* name;
    void (*act)(MusicPlayer&, const std::string& file);
    const char* file;
    const char* failing;
    Commands sent;
};

const Step kSteps[] = {
    {"OpenCdOpensAndSetsTheTimeFormatOnly", [](MusicPlayer& p, const std::string&) { p.OpenCd(); }, "", nullptr,
     {"open cdaudio", "set cdaudio time format tmsf"}},
    {"CloseCdStopsThenCloses", [](MusicPlayer& p, const std::string&) { p.CloseCd(); }, "", nullptr,
     {"stop cdaudio", "close cdaudio"}},
    {"Mp3OpensUnderItsAliasAndPlays", kPlayMp3, "C:\\My Music\\song.mp3", nullptr,
     {"open \"C:\\My Music\\song.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}},
    {"Mp3ThatCannotOpenIsNotPlayed", kPlayMp3, "C:\\song.mp3", "open \"C:\\song.mp3\" type MPEGVideo Alias MP3Play",
     {"open \"C:\\song.mp3\" type MPEGVideo Alias MP3Play"}},
    {"Mp3PathWithAQuoteSendsNothing", kPlayMp3, "C:\\x.mp3\" alias other wait \"C:\\y.mp3", nullptr, {}},
    {"CloseMp3StopsThenCloses", [](MusicPlayer& p, const std::string&) { p.CloseMp3(); }, "", nullptr,
     {"stop MP3Play", "close MP3Play"}},
};

TEST_F(Music, EachStepOfTheTableSendsItsCommands)
{
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.name);
        mm = ScriptedMultimedia();
        if (step.failing != nullptr) mm.Answer_(step.failing, 277);
        step.act(player, step.file);
        EXPECT_EQ(mm.commands, step.sent);
        EXPECT_EQ(mm.replySizes, std::vector<unsigned>(step.sent.size(), 0u)) << "no step reads a reply";
    }
}

// One pass of the CD watch on a disc that answers its three queries (the
// current track, 12 tracks, the mode), then the position of the repeated
// track when the pass asks for it. A track the disc does not have: the
// position query fails (or answers an error), the pass fails, and no play
// command goes out.
struct CdPass {
    const char* name;
    std::int16_t repeat;
    const char *track, *mode;
    std::optional<ScriptedMultimedia::Answer> position;
    bool ok;
    Commands after;  // sent after the three queries
};

const CdPass kCdPasses[] = {
    {"WholeDiscPassStartsAStoppedDisc", 0, "1", "stopped", {}, true, {"play cdaudio"}},
    {"PlayingPassSendsOnlyQueries", 0, "4", "playing", {}, true, {}},
    {"TrackRepeatJumpsBackWhenTheDiscHasMovedOn", 3, "4", "playing", {{0, "03:00:00:00"}}, true,
     {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}},
    {"TrackRepeatLeavesTheChosenTrackPlaying", 3, "3", "playing", {}, true, {}},
    {"TrackRepeatRestartsAStoppedDiscAtTheTrack", 3, "3", "stopped", {{0, "03:00:00:00"}}, true,
     {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}},
    {"Tracks/FailedPositionQuery.SendsNothing/0", 99, "4", "playing", {{263, ""}}, false, {"status cdaudio position track 99"}},
    {"Tracks/FailedPositionQuery.SendsNothing/1", -5, "4", "stopped", {{263, ""}}, false, {"status cdaudio position track -5"}},
    {"Tracks/FailedPositionQuery.SendsNothing/2", 99, "4", "stopped", {{277, ""}}, false, {"status cdaudio position track 99"}},
    {"Tracks/FailedPositionQuery.SendsNothing/3", 13, "4", "playing", {{0, "Error: no such track"}}, false,
     {"status cdaudio position track 13"}},
};

TEST_F(Music, EveryCdPassOfTheTable)
{
    for (const CdPass& row : kCdPasses) {
        SCOPED_TRACE(row.name);
        mm = ScriptedMultimedia();
        MusicPlayer fresh(mm);  // the reply buffers keep their contents between passes
        Disc(row.track, row.mode);
        const std::string positionQuery = "status cdaudio position track " + std::to_string(row.repeat);
        if (row.position) mm.Answer_(positionQuery, row.position->code, row.position->reply);
        mm.errorTexts[263] = "The specified device is not open or is not recognized by MCI.";
        fresh.WatchCd(row.repeat);
        EXPECT_EQ(fresh.CdWatchOk(), row.ok);
        Commands expected = {"status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode"};
        expected.insert(expected.end(), row.after.begin(), row.after.end());
        EXPECT_EQ(mm.commands, expected);
        std::vector<unsigned> sizes = {512, 512, 255};  // the mode has a buffer of its own
        sizes.resize(expected.size(), 512);
        EXPECT_EQ(mm.replySizes, sizes);
    }
}

TEST_F(Music, NoDiscStopsTheWatchAndNeverPlays)
{
    mm.Answer_("status cdaudio current track", 266);
    mm.errorTexts[266] = "The device is not ready.";
    for (int pass = 0; pass < 3; ++pass) {
        player.WatchCd(0);
        EXPECT_FALSE(player.CdWatchOk());
    }
    for (const std::string& c : mm.commands) EXPECT_EQ(c, "status cdaudio current track");
    EXPECT_EQ(player.LastReply(), "The device is not ready.") << "the error text is kept";
}

TEST_F(Music, FailingTrackCountEndsThePass)
{
    mm.Answer_("status cdaudio current track", 0, "1");
    mm.Answer_("status cdaudio number of tracks", 275);
    player.WatchCd(0);
    EXPECT_FALSE(player.CdWatchOk());
    EXPECT_EQ(mm.commands.size(), 2u);
}

TEST_F(Music, ErrInAnyCaseInAReplyFailsThePass)
{
    mm.Answer_("status cdaudio current track", 0, "terror");
    player.WatchCd(0);
    EXPECT_FALSE(player.CdWatchOk());
}

TEST_F(Music, ARunTimeErrorInTheMiddleOfAPassFailsIt)
{
    Disc("n/a", "stopped");
    player.WatchCd(2);
    EXPECT_FALSE(player.CdWatchOk()) << "a current track that is no number";
    EXPECT_EQ(mm.commands.size(), 3u) << "nothing is played";
    // The next pass starts anew and succeeds.
    mm.commands.clear();
    mm.script.clear();
    Disc("2", "playing");
    player.WatchCd(2);
    EXPECT_TRUE(player.CdWatchOk());
}

// Only what can be MPEG audio goes to the device: its open blocks for
// seconds on a picture or random bytes named .mp3.
struct Mp3ContentCase {
    const char* label;
    std::string start;
    bool opened;
};

// Two MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz (417 bytes each).
std::string TwoFrames()
{
    std::string frame = std::string("\xFF\xFB\x90\x64", 4) + std::string(413, '\0');
    return frame + frame;
}

class Mp3Content : public Music, public ::testing::WithParamInterface<Mp3ContentCase> {};

TEST_P(Mp3Content, DecidesWhetherTheFileIsOpened)
{
    mm.fileStarts["C:\\Music\\x.mp3"] = GetParam().start;
    player.PlayMp3("C:\\Music\\x.mp3");
    EXPECT_EQ(!mm.commands.empty(), GetParam().opened);
    EXPECT_EQ(LooksLikeMpegAudio(GetParam().start), GetParam().opened);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Mp3Content,
    ::testing::Values(Mp3ContentCase{"Id3Tag", "ID3\x04\x00", true}, Mp3ContentCase{"Riff", "RIFF\x10\x00", true},
                      Mp3ContentCase{"TwoFrames", TwoFrames(), true},
                      Mp3ContentCase{"FramesAfterJunk", "junk" + TwoFrames(), true},
                      Mp3ContentCase{"OneFrameCut", TwoFrames().substr(0, 300), true},
                      Mp3ContentCase{"SecondFrameMissing", TwoFrames().substr(0, 417) + std::string(100, 'x'), false},
                      Mp3ContentCase{"Empty", "", false},
                      Mp3ContentCase{"Png", "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", false},
                      Mp3ContentCase{"Jpeg", "\xFF\xD8\xFF\xE0\x00\x10JFIF", false},
                      Mp3ContentCase{"ReservedVersion", std::string("\xFF\xEB\x90\x64", 4) + std::string(500, '\0'), false},
                      Mp3ContentCase{"FreeBitrate", std::string("\xFF\xFB\x00\x64", 4) + std::string(500, '\0'), false},
                      Mp3ContentCase{"Text", "This is not music at all, just words.", false}),
    [](const ::testing::TestParamInfo<Mp3ContentCase>& info) { return std::string(info.param.label); });

TEST_F(Music, KeepMp3PlayingRestartsUnlessPlaying)
{
    const Commands restart = {"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"};
    const std::pair<const char*, Commands> rows[] = {{"stopped", restart}, {"paused", restart}, {"seeking", restart},
                                                     {"Playing", restart}, {"play", restart},
                                                     {"playing", {"status MP3Play mode"}}};
    for (const auto& [mode, commands] : rows) {
        mm = ScriptedMultimedia();
        mm.Answer_("status MP3Play mode", 0, mode);
        player.KeepMp3Playing();
        EXPECT_EQ(mm.commands, commands) << mode;
        EXPECT_EQ(mm.replySizes[0], 30u) << mode;
    }
}

TEST_F(Music, WavLoopsWhenAWaveDeviceExists)
{
    player.PlayWav("C:\\a.wav");
    ASSERT_EQ(mm.sounds.size(), 1u);
    EXPECT_EQ(mm.sounds[0].first, "C:\\a.wav");
    EXPECT_EQ(mm.sounds[0].second, 9u);
    mm.waveDevices = 0;
    player.PlayWav("C:\\a.wav");
    EXPECT_EQ(mm.sounds.size(), 1u) << "no wave device: nothing";
    player.StopWav();
    EXPECT_EQ(mm.sounds.back(), (std::pair<std::string, unsigned>{"", 0}));
}

TEST_F(Music, PlayMciRangeCombinations)
{
    struct Case {
        const char *from, *to, *sent;
    };
    for (Case c : {Case{"", "", "play cdaudio"}, Case{"x", "", "play cdaudio from x"},
                   Case{"", "y", "play cdaudio to y"}, Case{"x", "y", "play cdaudio from x to y"}}) {
        mm.commands.clear();
        EXPECT_EQ(player.PlayMciRange("cdaudio", c.from, c.to), 0);
        EXPECT_EQ(mm.commands, (Commands{c.sent}));
    }
}

TEST_F(Music, EmptyCommandIsRefusedWithItsText)
{
    std::string reply;
    EXPECT_EQ(player.SendMci("", reply), -1);
    EXPECT_EQ(reply, kNoCommandText);
    EXPECT_EQ(reply, "コマンド文字列が指定されていません");
    EXPECT_TRUE(mm.commands.empty());
    EXPECT_EQ(player.QueryMci(""), "Error:-1");
}

TEST_F(Music, ErrorCodeWithAndWithoutText)
{
    mm.Answer_("bad", 263);
    mm.errorTexts[263] = "Unknown device.";
    std::string reply;
    EXPECT_EQ(player.SendMci("bad", reply), 263);
    EXPECT_EQ(reply, "Unknown device.");
    mm.Answer_("worse", 99999);
    EXPECT_EQ(player.SendMci("worse", reply), 99999);
    EXPECT_EQ(reply, "Error (文字列が取れません)");
    EXPECT_EQ(player.QueryMci("worse"), "Error:99999");
    EXPECT_EQ(player.LastReply(), "Error (文字列が取れません)");
}

TEST_F(Music, QueryMciReturnsTheReply)
{
    mm.Answer_("status cdaudio number of tracks", 0, "12");
    EXPECT_EQ(player.QueryMci("status cdaudio number of tracks"), "12");
    EXPECT_EQ(player.LastReply(), "12");
}

}  // namespace
