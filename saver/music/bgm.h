// The background-music player: an audio CD through the "cdaudio" device with a
// track-repeat watch, an MP3 file under the alias "MP3Play", a WAV file looped
// through the sound API. It reads BgmRepeat and BgmFile of the settings state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "multimedia.h"

// True while the CD watch may go on; false after a pass that found the disc unusable.
extern bool CdWatchOk;
// Reply or error text of the last command sent through QueryMci or PlayMciRange.
extern std::string MciText;

// Texts the player gives in place of a device's reply.
extern const char* const kNoCommandText;   // for an empty command
extern const char* const kNoErrorText;     // for an error code without text

void OpenCd(Multimedia& mm);
void WatchCd(Multimedia& mm);
void CloseCd(Multimedia& mm);

// True when the bytes can start an MP3 file: an ID3 tag, a RIFF file, or
// MPEG audio frames (a frame header followed by the next one, or a single
// frame that is all there is). Anything else (a picture, random bytes, an
// empty file) is not handed to the device, whose open can block for seconds
// on such a file.
bool LooksLikeMpegAudio(const std::string& start);
constexpr std::size_t kMp3SniffBytes = 8192;

// Opens and plays BgmFile as "MP3Play", unless its path would break out of
// the command's quotes or its content is not MPEG audio.
void PlayMp3(Multimedia& mm);
bool IsMp3Playing(Multimedia& mm);
void KeepMp3Playing(Multimedia& mm);
void CloseMp3(Multimedia& mm);

void PlayWav(Multimedia& mm);
void StopWav(Multimedia& mm);

std::int32_t SendMci(Multimedia& mm, const std::string& command, std::string& replyText);
std::string QueryMci(Multimedia& mm, const std::string& command);
std::int32_t PlayMciRange(Multimedia& mm, const std::string& device, const std::string& from, const std::string& to);

// Start values of the module state (CdWatchOk false, texts and buffers empty).
void ResetMusicState();
