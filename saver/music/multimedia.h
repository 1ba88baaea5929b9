// The platform's multimedia services used by the music player: the command
// string interface, its error texts, and the sound API.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class Multimedia {
public:
    virtual ~Multimedia() = default;
    // Sends one command string; the reply goes into `reply` (NUL-terminated,
    // at most `replySize` characters with the NUL) when it is given.
    // Returns 0 on success, else the device's error code.
    virtual std::int32_t SendString(const std::string& command, char* reply, unsigned replySize) = 0;
    // The text of an error code; false when no text can be had.
    virtual bool ErrorText(std::int32_t code, char* buffer, unsigned bufferSize) = 0;
    // Plays a sound by name, or stops this process's sound when `name` is null.
    virtual void PlaySoundByName(const char* name, unsigned flags) = 0;
    virtual unsigned WaveOutDeviceCount() = 0;
    // The first `size` bytes of a file (fewer when it is shorter); empty when
    // it cannot be opened or read as a file (a folder, a path too long).
    virtual std::string FileStart(const std::string& path, std::size_t size) = 0;
    // Returns once the threads that served music just stopped or closed have
    // ended (bounded): the process may end safely after it.
    virtual void LetClosedDevicesSettle() = 0;
};

enum SoundFlags : unsigned {
    SOUND_ASYNC = 0x0001,
    SOUND_LOOP = 0x0008,
};
