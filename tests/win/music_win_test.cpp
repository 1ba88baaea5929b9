// The music player over the real winmm, with Wine's sound output captured
// to a file (the test run routes ALSA's default device there).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "bgm.h"
#include "settings_file.h"
#include "win32_multimedia.h"
#include "files.h"
#include "win_support.h"

namespace {

// The real device, with every command it was given kept.
class RecordingMultimedia : public Win32Multimedia {
public:
    std::vector<std::string> commands;
    std::int32_t SendString(const std::string& command, char* reply, unsigned replySize) override
    {
        commands.push_back(command);
        return Win32Multimedia::SendString(command, reply, replySize);
    }
};

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

using support::LoudSamples;

class SoundOutput : public ::testing::Test {
protected:
    RecordingMultimedia mm;
    MusicPlayer player{mm};
    std::string capture, fixtures;

    void SetUp() override
    {
        capture = win::UnixPathFromEnv("QV_SOUND_CAPTURE");
        fixtures = win::UnixPathFromEnv("QV_FIXTURES");
        ASSERT_FALSE(capture.empty() || fixtures.empty())
            << "QV_SOUND_CAPTURE and QV_FIXTURES must name the capture file and the fixtures (scripts/test sets them)";
        ASSERT_GT(mm.WaveOutDeviceCount(), 0u) << "the captured ALSA device shows as a wave device";
    }

    // What reaches the output during the next `ms` milliseconds.
    std::string Listen(DWORD ms)
    {
        const long long from = support::FileSizeOf(capture);
        Sleep(ms);
        return support::ReadWholeFile(capture, from < 0 ? 0 : from);
    }
};

TEST_F(SoundOutput, WavLoopsUntilStopped)
{
    player.PlayWav(fixtures + "\\tone 500ms.wav");
    Sleep(300);
    EXPECT_GT(LoudSamples(Listen(600)), 1000) << "the tone plays";
    Sleep(600);
    EXPECT_GT(LoudSamples(Listen(800)), 1000) << "still sounding after three times its length: it loops";
    player.StopWav();
    Sleep(500);
    EXPECT_EQ(LoudSamples(Listen(1000)), 0) << "silence after StopWav";
}

TEST_F(SoundOutput, Mp3PlaysEndsAndPlaysAgain)
{
    player.PlayMp3(fixtures + "\\tone 1s.mp3");
    ASSERT_EQ(mm.commands.size(), 2u) << "the open succeeded, so play was sent";
    EXPECT_TRUE(WaitFor([&] { return player.IsMp3Playing(); }, 3000)) << player.QueryMci("status MP3Play mode");
    EXPECT_GT(LoudSamples(Listen(500)), 1000) << "the MP3 reaches the output";
    ASSERT_TRUE(WaitFor([&] { return player.QueryMci("status MP3Play mode") == "stopped"; }, 10000))
        << "ends as stopped; mode " << player.LastReply();
    EXPECT_FALSE(player.IsMp3Playing());
    Sleep(300);
    EXPECT_EQ(LoudSamples(Listen(500)), 0) << "silent once it has ended";

    mm.commands.clear();
    player.KeepMp3Playing();
    EXPECT_EQ(mm.commands, (std::vector<std::string>{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
    EXPECT_TRUE(WaitFor([&] { return player.IsMp3Playing(); }, 3000));
    EXPECT_GT(LoudSamples(Listen(400)), 1000) << "plays again from the start";
    player.CloseMp3();
    Sleep(400);
    EXPECT_EQ(LoudSamples(Listen(800)), 0) << "silence after CloseMp3";
    EXPECT_NE(player.QueryMci("status MP3Play mode").rfind("Error:", 0), std::string::npos) << "the alias is closed";
}

TEST_F(SoundOutput, Mp3PathWithAQuoteIsNeverOpened)
{
    player.PlayMp3(fixtures + "\\tone 1s.mp3\" alias Other \"x");
    EXPECT_TRUE(mm.commands.empty());
    player.KeepMp3Playing();
    EXPECT_FALSE(player.IsMp3Playing());
    EXPECT_EQ(LoudSamples(Listen(500)), 0);
}

TEST(CdWithoutDrive, OnePassStopsTheWatchAndPlaysNothing)
{
    RecordingMultimedia mm;
    MusicPlayer player(mm);
    player.OpenCd();
    player.WatchCd(0);
    EXPECT_FALSE(player.CdWatchOk());
    for (const std::string& command : mm.commands) EXPECT_NE(command.rfind("play", 0), 0u) << command;
    EXPECT_EQ(mm.commands.size(), 3u) << "open, time format, the first status query";
    player.CloseCd();
}

}  // namespace
