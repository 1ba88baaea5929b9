// The background-music player: an audio CD through the "cdaudio" device with a
// track-repeat watch, an MP3 file under the alias "MP3Play", a WAV file looped
// through the sound API.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "multimedia.h"

// Texts the player gives in place of a device's reply.
extern const char* const kNoCommandText;   // for an empty command
extern const char* const kNoErrorText;     // for an error code without text

// True when the bytes can start an MP3 file: an ID3 tag, a RIFF file, or
// MPEG audio frames (a frame header followed by the next one, or a single
// frame that is all there is). Anything else (a picture, random bytes, an
// empty file) is not handed to the device, whose open can block for seconds
// on such a file.
bool LooksLikeMpegAudio(const std::string& start);
constexpr std::size_t kMp3SniffBytes = 8192;

class MusicPlayer {
public:
    explicit MusicPlayer(Multimedia& mm) : mm_(mm) {}
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    void OpenCd();
    // One pass of the CD watch: a stopped disc starts again, and a disc that
    // has left `repeatTrack` (0: none) goes back to it. A pass that finds the
    // disc unusable ends the watch (CdWatchOk false).
    void WatchCd(std::int16_t repeatTrack);
    void CloseCd();
    // True while the CD watch may go on; false after a pass that failed.
    bool CdWatchOk() const { return cdWatchOk_; }

    // Opens and plays `file` as "MP3Play", unless its path would break out
    // of the command's quotes or its content is not MPEG audio.
    void PlayMp3(const std::string& file);
    bool IsMp3Playing();
    void KeepMp3Playing();
    void CloseMp3();

    void PlayWav(const std::string& file);
    void StopWav();

    // Sends a command and puts the device's reply (or the error's text) in
    // `replyText`: 0, the device's error code, or -1 for an empty command.
    std::int32_t SendMci(const std::string& command, std::string& replyText);
    // The reply, or "Error:<code>".
    std::string QueryMci(const std::string& command);
    std::int32_t PlayMciRange(const std::string& device, const std::string& from, const std::string& to);
    // Reply or error text of the last command sent through QueryMci or PlayMciRange.
    const std::string& LastReply() const { return lastReply_; }

private:
    void Send(const std::string& command);

    Multimedia& mm_;
    bool cdWatchOk_ = false;
    std::string lastReply_;
    // Reply buffers; they keep their contents between calls.
    char replyBuffer_[512] = {};
    char errorBuffer_[256] = {};
    char cdModeBuffer_[256] = {};
    char mp3ModeBuffer_[30] = {};
};
