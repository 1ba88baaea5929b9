// The music player against any device replies. Input: the first line is the
// repeat track, the second the music file; every further line answers one
// command in turn as "code|reply" (a line without a bar is a reply with code
// 0); the file's content is its name. The player never sends a command made of an error, never sends a play
// position it was not given, and never quotes its way out of an open command.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "bgm.h"
#include "fuzz_support.h"

namespace {

class AnsweringDevice : public Multimedia {
public:
    std::vector<std::string> answers;
    std::size_t next = 0;
    std::vector<std::string> commands;
    std::set<std::string> givenReplies;  // replies handed out with success

    std::int32_t SendString(const std::string& command, char* reply, unsigned replySize) override
    {
        commands.push_back(command);
        const std::string line = next < answers.size() ? answers[next++] : std::string("0|");
        const std::size_t bar = line.find('|');
        const std::int32_t code = bar == std::string::npos ? 0 : static_cast<std::int32_t>(std::strtol(line.c_str(), nullptr, 10));
        const std::string text = bar == std::string::npos ? line : line.substr(bar + 1);
        if (reply != nullptr && replySize > 0) {
            const std::size_t n = std::min<std::size_t>(text.size(), replySize - 1);
            std::memcpy(reply, text.data(), n);
            reply[n] = '\0';
            if (code == 0) givenReplies.insert(std::string(reply, strnlen(reply, replySize)));
        }
        return code;
    }
    bool ErrorText(std::int32_t code, char* buffer, unsigned bufferSize) override
    {
        if (code % 3 == 0) return false;
        std::snprintf(buffer, bufferSize, "Error %d: the device says no", static_cast<int>(code));
        return true;
    }
    void PlaySoundByName(const char*, unsigned) override {}
    unsigned WaveOutDeviceCount() override { return 1; }
    // The file's content is its name: "ID3 a.mp3" starts as an MP3 does.
    std::string FileStart(const std::string& path, std::size_t size) override { return path.substr(0, size); }
    void LetClosedDevicesSettle() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto lines = Fields(TextOf(data, size), '\n');
    const auto repeatTrack = static_cast<std::int16_t>(std::strtol(lines[0].c_str(), nullptr, 10));
    const std::string file = lines.size() > 1 ? lines[1] : std::string();
    AnsweringDevice device;
    device.answers.assign(lines.begin() + std::min<std::size_t>(lines.size(), 2), lines.end());

    MusicPlayer player(device);
    player.OpenCd();
    for (int pass = 0; pass < 4; ++pass) player.WatchCd(repeatTrack);
    player.CloseCd();
    player.PlayMp3(file);
    for (int tick = 0; tick < 3; ++tick) player.KeepMp3Playing();
    player.CloseMp3();

    const std::string playFrom = "play cdaudio from ";
    for (const std::string& command : device.commands) {
        if (command.compare(0, 6, "open \"") != 0)
            FUZZ_CHECK(command.find("Error:") == std::string::npos, "a failed query became a command: " + Shown(command));
        if (command.compare(0, playFrom.size(), playFrom) == 0)
            FUZZ_CHECK(device.givenReplies.count(command.substr(playFrom.size())) > 0,
                       "a play position the device did not give: " + Shown(command));
        if (command.compare(0, 6, "open \"") == 0) {
            FUZZ_CHECK(command == "open \"" + file + "\" type MPEGVideo Alias MP3Play" &&
                           file.find('"') == std::string::npos,
                       "the file stays inside its quotes: " + Shown(command));
            FUZZ_CHECK(LooksLikeMpegAudio(file), "only MPEG audio is opened: " + Shown(file));
        }
    }
    return 0;
}
