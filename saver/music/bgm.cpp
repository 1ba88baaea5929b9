#include "bgm.h"

#include <cstring>
#include <optional>

#include "conversions.h"

const char* const kNoCommandText = "コマンド文字列が指定されていません";
const char* const kNoErrorText = "Error (文字列が取れません)";

namespace {

constexpr unsigned kCdModeOffered = 255;
constexpr unsigned kMp3ModeOffered = 30;

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

void MusicPlayer::Send(const std::string& command)
{
    mm_.SendString(command, nullptr, 0);
}

std::int32_t MusicPlayer::SendMci(const std::string& command, std::string& replyText)
{
    if (command.empty()) {
        replyText = kNoCommandText;
        return -1;
    }
    const std::int32_t code = mm_.SendString(command, replyBuffer_, sizeof replyBuffer_);
    if (code != 0) {
        if (mm_.ErrorText(code, errorBuffer_, sizeof errorBuffer_)) {
            replyText.assign(errorBuffer_, strnlen(errorBuffer_, sizeof errorBuffer_));
        } else {
            replyText = kNoErrorText;
        }
        return code;
    }
    replyText.assign(replyBuffer_, strnlen(replyBuffer_, sizeof replyBuffer_));
    return 0;
}

std::string MusicPlayer::QueryMci(const std::string& command)
{
    const std::int32_t code = SendMci(command, lastReply_);
    return code == 0 ? lastReply_ : "Error:" + conv::Decimal(code);
}

std::int32_t MusicPlayer::PlayMciRange(const std::string& device, const std::string& from, const std::string& to)
{
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    return SendMci(command, lastReply_);
}

void MusicPlayer::OpenCd()
{
    Send("open cdaudio");
    Send("set cdaudio time format tmsf");
}

void MusicPlayer::WatchCd(std::int16_t repeatTrack)
{
    cdWatchOk_ = true;
    const std::string track = QueryMci("status cdaudio current track");
    if (ReportsError(track)) {
        cdWatchOk_ = false;
        return;
    }
    const std::string tracks = QueryMci("status cdaudio number of tracks");
    if (ReportsError(tracks)) {
        cdWatchOk_ = false;
        return;
    }
    mm_.SendString("status cdaudio mode", cdModeBuffer_, kCdModeOffered);
    const bool stopped = ModeOf(cdModeBuffer_, sizeof cdModeBuffer_) == "stopped";
    if (repeatTrack == 0) {
        if (stopped) PlayMciRange("cdaudio", "", "");
        return;
    }
    // The track number is read whether or not the device has stopped; a reply
    // that is no number is a failed pass.
    const std::optional<double> current = conv::ParseNumber(track);
    if (!current) {
        cdWatchOk_ = false;
        return;
    }
    if (stopped || *current != repeatTrack) {
        // A track the disc does not have (or any failed query) gives no
        // position: the pass fails and nothing is played.
        if (SendMci("status cdaudio position track " + conv::Decimal(repeatTrack), lastReply_) != 0 ||
            ReportsError(lastReply_)) {
            cdWatchOk_ = false;
            return;
        }
        const std::string position = lastReply_;
        PlayMciRange("cdaudio", position, "");
    }
}

void MusicPlayer::CloseCd()
{
    Send("stop cdaudio");
    Send("close cdaudio");
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

void MusicPlayer::PlayMp3(const std::string& file)
{
    // A quote in the stored path could add words of its own to the command:
    // such a file counts as one that cannot be opened.
    if (UnsafeInCommand(file)) return;
    if (!LooksLikeMpegAudio(mm_.FileStart(file, kMp3SniffBytes))) return;
    const std::int32_t code = mm_.SendString("open \"" + file + "\" type MPEGVideo Alias MP3Play", nullptr, 0);
    if (code == 0) Send("play MP3Play");
}

bool MusicPlayer::IsMp3Playing()
{
    mm_.SendString("status MP3Play mode", mp3ModeBuffer_, kMp3ModeOffered);
    return ModeOf(mp3ModeBuffer_, sizeof mp3ModeBuffer_) == "playing";
}

void MusicPlayer::KeepMp3Playing()
{
    if (IsMp3Playing()) return;
    Send("stop MP3Play");
    Send("play MP3Play from 0");
}

void MusicPlayer::CloseMp3()
{
    Send("stop MP3Play");
    Send("close MP3Play");
}

void MusicPlayer::PlayWav(const std::string& file)
{
    if (mm_.WaveOutDeviceCount() > 0) mm_.PlaySoundByName(file.c_str(), SOUND_ASYNC | SOUND_LOOP);
}

void MusicPlayer::StopWav()
{
    mm_.PlaySoundByName(nullptr, 0);
}
