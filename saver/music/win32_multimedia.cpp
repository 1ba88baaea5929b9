#include "win32_multimedia.h"

#include <windows.h>
#include <mmsystem.h>

std::int32_t Win32Multimedia::SendString(const std::string& command, char* reply, unsigned replySize)
{
    return static_cast<std::int32_t>(mciSendStringA(command.c_str(), reply, reply ? replySize : 0, nullptr));
}

bool Win32Multimedia::ErrorText(std::int32_t code, char* buffer, unsigned bufferSize)
{
    return mciGetErrorStringA(static_cast<MCIERROR>(code), buffer, bufferSize) != FALSE;
}

void Win32Multimedia::PlaySoundByName(const char* name, unsigned flags)
{
    PlaySoundA(name, nullptr, flags);
}

unsigned Win32Multimedia::WaveOutDeviceCount()
{
    return waveOutGetNumDevs();
}
