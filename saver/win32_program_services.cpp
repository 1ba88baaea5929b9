#include "win32_program_services.h"

#include <windows.h>

#include <vector>

std::string Win32ProgramServices::ProgramFolder() const
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    std::string folder(path.data());
    // CharNextA steps over double-byte characters, whose second byte may be a backslash.
    const char* begin = folder.c_str();
    const char* cut = nullptr;
    for (const char* p = begin; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\') cut = p;
    }
    if (cut == nullptr) return folder;
    std::string result(begin, cut);
    if (result.size() == 2 && result[1] == ':') result += '\\';  // a drive root keeps its backslash
    return result;
}

bool Win32ProgramServices::CanOpenForReading(const std::string& path) const
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
