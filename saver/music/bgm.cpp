#include "bgm.h"

#include <cstring>
#include <optional>

#include "conversions.h"
#include "settings_file.h"

bool CdWatchOk = false;
std::string MciText;

const char* const kNoCommandText = "コマンド文字列が指定されていません";
const char* const kNoErrorText = "Error (文字列が取れません)";

namespace {

// Reply buffers; they keep their contents between calls.
char replyBuffer[512];
char errorBuffer[256];
char cdModeBuffer[256];
char mp3ModeBuffer[30];

constexpr unsigned kCdModeOffered = 255;
constexpr unsigned kMp3ModeOffered = 30;

void Send(Multimedia& mm, const std::string& command)
{
    mm.SendString(command, nullptr, 0);
}

// The first seven characters of a reply buffer, which the modes are compared on.
std::string ModeOf(const char* buffer, std::size_t size)
{
    const std::size_t length = strnlen(buffer, size);
    return std::string(buffer, length < 7 ? length : 7);
}

bool ReportsError(const std::string& reply)
{
    return conv::UpperCase(reply).find("ERR") != std::string::npos;
}

// A file name that would break out of its quotes in an open command.
bool UnsafeInCommand(const std::string& path)
{
    return path.find('"') != std::string::npos;
}

}  // namespace

void ResetMusicState()
{
    CdWatchOk = false;
    MciText.clear();
    std::memset(replyBuffer, 0, sizeof replyBuffer);
    std::memset(errorBuffer, 0, sizeof errorBuffer);
    std::memset(cdModeBuffer, 0, sizeof cdModeBuffer);
    std::memset(mp3ModeBuffer, 0, sizeof mp3ModeBuffer);
}

std::int32_t SendMci(Multimedia& mm, const std::string& command, std::string& replyText)
{
    if (command.empty()) {
        replyText = kNoCommandText;
        return -1;
    }
    const std::int32_t code = mm.SendString(command, replyBuffer, sizeof replyBuffer);
    if (code != 0) {
        if (mm.ErrorText(code, errorBuffer, sizeof errorBuffer)) {
            replyText.assign(errorBuffer, strnlen(errorBuffer, sizeof errorBuffer));
        } else {
            replyText = kNoErrorText;
        }
        return code;
    }
    replyText.assign(replyBuffer, strnlen(replyBuffer, sizeof replyBuffer));
    return 0;
}

std::string QueryMci(Multimedia& mm, const std::string& command)
{
    const std::int32_t code = SendMci(mm, command, MciText);
    return code == 0 ? MciText : "Error:" + conv::Decimal(code);
}

std::int32_t PlayMciRange(Multimedia& mm, const std::string& device, const std::string& from, const std::string& to)
{
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    return SendMci(mm, command, MciText);
}

void OpenCd(Multimedia& mm)
{
    Send(mm, "open cdaudio");
    Send(mm, "set cdaudio time format tmsf");
}

void WatchCd(Multimedia& mm)
{
    CdWatchOk = true;
    const std::string track = QueryMci(mm, "status cdaudio current track");
    if (ReportsError(track)) {
        CdWatchOk = false;
        return;
    }
    const std::string tracks = QueryMci(mm, "status cdaudio number of tracks");
    if (ReportsError(tracks)) {
        CdWatchOk = false;
        return;
    }
    mm.SendString("status cdaudio mode", cdModeBuffer, kCdModeOffered);
    const bool stopped = ModeOf(cdModeBuffer, sizeof cdModeBuffer) == "stopped";
    if (BgmRepeat == 0) {
        if (stopped) PlayMciRange(mm, "cdaudio", "", "");
        return;
    }
    // The track number is read whether or not the device has stopped; a reply
    // that is no number is a failed pass.
    const std::optional<double> current = conv::ParseNumber(track);
    if (!current) {
        CdWatchOk = false;
        return;
    }
    if (stopped || *current != BgmRepeat) {
        // A track the disc does not have (or any failed query) gives no
        // position: the pass fails and nothing is played.
        if (SendMci(mm, "status cdaudio position track " + conv::Decimal(BgmRepeat), MciText) != 0 ||
            ReportsError(MciText)) {
            CdWatchOk = false;
            return;
        }
        const std::string position = MciText;
        PlayMciRange(mm, "cdaudio", position, "");
    }
}

void CloseCd(Multimedia& mm)
{
    Send(mm, "stop cdaudio");
    Send(mm, "close cdaudio");
}

namespace {

struct FrameHeader {
    int version;     // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer;       // 3 layer I, 2 layer II, 1 layer III
    int sampleRate;  // index 0-2
    std::size_t length;
};

// The MPEG audio frame header at `at`, if the four bytes there are one.
std::optional<FrameHeader> FrameAt(const std::string& bytes, std::size_t at)
{
    if (at + 4 > bytes.size()) return std::nullopt;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0) return std::nullopt;
    const int version = (b(1) >> 3) & 3, layer = (b(1) >> 1) & 3;
    const int bitrateIndex = b(2) >> 4, rateIndex = (b(2) >> 2) & 3, padding = (b(2) >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;
    static const int kBitrates[5][14] = {
        {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
        {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
        {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
        {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
        {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2 layers II, III
    };
    static const int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
    const long bitrate = kBitrates[table][bitrateIndex - 1] * 1000L;
    const long rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    long length;
    if (layer == 3) length = (12 * bitrate / rate + padding) * 4;
    else if (layer == 1 && !mpeg1) length = 72 * bitrate / rate + padding;
    else length = 144 * bitrate / rate + padding;
    return FrameHeader{version, layer, rateIndex, static_cast<std::size_t>(length)};
}

}  // namespace

bool LooksLikeMpegAudio(const std::string& start)
{
    if (start.compare(0, 3, "ID3") == 0 || start.compare(0, 4, "RIFF") == 0) return true;
    for (std::size_t at = 0; at + 4 <= start.size(); ++at) {
        const auto frame = FrameAt(start, at);
        if (!frame) continue;
        const std::size_t next = at + frame->length;
        if (next + 4 > start.size()) {
            // The bytes end inside this frame: enough only when it is the first.
            if (at == 0) return true;
            continue;
        }
        const auto following = FrameAt(start, next);
        if (following && following->version == frame->version && following->layer == frame->layer &&
            following->sampleRate == frame->sampleRate)
            return true;
    }
    return false;
}

void PlayMp3(Multimedia& mm)
{
    // A quote in the stored path could add words of its own to the command:
    // such a file counts as one that cannot be opened.
    if (UnsafeInCommand(BgmFile)) return;
    if (!LooksLikeMpegAudio(mm.FileStart(BgmFile, kMp3SniffBytes))) return;
    const std::int32_t code = mm.SendString("open \"" + BgmFile + "\" type MPEGVideo Alias MP3Play", nullptr, 0);
    if (code == 0) Send(mm, "play MP3Play");
}

bool IsMp3Playing(Multimedia& mm)
{
    mm.SendString("status MP3Play mode", mp3ModeBuffer, kMp3ModeOffered);
    return ModeOf(mp3ModeBuffer, sizeof mp3ModeBuffer) == "playing";
}

void KeepMp3Playing(Multimedia& mm)
{
    if (IsMp3Playing(mm)) return;
    Send(mm, "stop MP3Play");
    Send(mm, "play MP3Play from 0");
}

void CloseMp3(Multimedia& mm)
{
    Send(mm, "stop MP3Play");
    Send(mm, "close MP3Play");
}

void PlayWav(Multimedia& mm)
{
    if (mm.WaveOutDeviceCount() > 0) mm.PlaySoundByName(BgmFile.c_str(), SOUND_ASYNC | SOUND_LOOP);
}

void StopWav(Multimedia& mm)
{
    mm.PlaySoundByName(nullptr, 0);
}
