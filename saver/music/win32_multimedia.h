// The multimedia interface over winmm: MCI command strings, their error
// texts, PlaySound and the wave output devices.
#pragma once
#include "multimedia.h"

// winmm: mciSendStringA, mciGetErrorStringA, PlaySoundA, waveOutGetNumDevs,
// loaded on the first call. Without winmm every command fails as with no
// device (MCIERR_DEVICE_NOT_INSTALLED), no sound plays and no device is counted.
class Win32Multimedia : public Multimedia {
public:
    std::int32_t SendString(const std::string& command, char* reply, unsigned replySize) override;
    bool ErrorText(std::int32_t code, char* buffer, unsigned bufferSize) override;
    void PlaySoundByName(const char* name, unsigned flags) override;
    unsigned WaveOutDeviceCount() override;
    std::string FileStart(const std::string& path, std::size_t size) override;
    void LetClosedDevicesSettle() override;
};
