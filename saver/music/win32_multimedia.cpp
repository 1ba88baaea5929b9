#include "win32_multimedia.h"

#include <windows.h>
#include <mmsystem.h>
#include <tlhelp32.h>

#include "win32_system_library.h"

namespace {

// winmm is loaded when the music first needs it, after the renderer has been
// started; a run without music never loads it.
SystemLibrary& Winmm()
{
    static SystemLibrary library("winmm.dll");
    return library;
}

using SendStringFunction = MCIERROR(WINAPI*)(LPCSTR, LPSTR, UINT, HWND);
using ErrorStringFunction = BOOL(WINAPI*)(MCIERROR, LPSTR, UINT);
using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
using DeviceCountFunction = UINT(WINAPI*)();

}  // namespace

// Without winmm every command fails as a missing device would, and the run
// goes on silent.
std::int32_t Win32Multimedia::SendString(const std::string& command, char* reply, unsigned replySize)
{
    const auto send = Winmm().Find<SendStringFunction>("mciSendStringA");
    if (send == nullptr) {
        if (reply != nullptr && replySize > 0) reply[0] = '\0';
        return MCIERR_DEVICE_NOT_INSTALLED;
    }
    return static_cast<std::int32_t>(send(command.c_str(), reply, reply ? replySize : 0, nullptr));
}

bool Win32Multimedia::ErrorText(std::int32_t code, char* buffer, unsigned bufferSize)
{
    const auto text = Winmm().Find<ErrorStringFunction>("mciGetErrorStringA");
    return text != nullptr && text(static_cast<MCIERROR>(code), buffer, bufferSize) != FALSE;
}

void Win32Multimedia::PlaySoundByName(const char* name, unsigned flags)
{
    if (const auto play = Winmm().Find<PlaySoundFunction>("PlaySoundA")) play(name, nullptr, flags);
}

unsigned Win32Multimedia::WaveOutDeviceCount()
{
    const auto count = Winmm().Find<DeviceCountFunction>("waveOutGetNumDevs");
    return count != nullptr ? count() : 0;
}

std::string Win32Multimedia::FileStart(const std::string& path, std::size_t size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(size), &read, nullptr)) read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

namespace {

int ThreadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

// Stopping a looping WAV or closing an MP3 returns while the threads that
// played it are still on their way out. Ending the process at that moment
// races with their exit, and under Wine the exiting thread can fault and kill
// the process. So wait until no thread of this process has ended for a
// while, for at most a second.
void Win32Multimedia::LetClosedDevicesSettle()
{
    constexpr DWORD kQuietMs = 150, kLimitMs = 1000, kPollMs = 10;
    const DWORD start = GetTickCount();
    DWORD lastChange = start;
    int threads = ThreadsOfThisProcess();
    while (GetTickCount() - start < kLimitMs) {
        Sleep(kPollMs);
        const int now = ThreadsOfThisProcess();
        if (now != threads) {
            threads = now;
            lastChange = GetTickCount();
        } else if (GetTickCount() - lastChange >= kQuietMs) {
            return;
        }
    }
}
