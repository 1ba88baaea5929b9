#pragma once
#include "multimedia.h"

// winmm: mciSendStringA, mciGetErrorStringA, PlaySoundA, waveOutGetNumDevs.
class Win32Multimedia : public Multimedia {
public:
    std::int32_t SendString(const std::string& command, char* reply, unsigned replySize) override;
    bool ErrorText(std::int32_t code, char* buffer, unsigned bufferSize) override;
    void PlaySoundByName(const char* name, unsigned flags) override;
    unsigned WaveOutDeviceCount() override;
    std::string FileStart(const std::string& path, std::size_t size) override;
    void LetClosedDevicesSettle() override;
};
