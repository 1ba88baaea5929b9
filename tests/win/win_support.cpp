#include "win_support.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace win {

std::string MakeScratchFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "qv-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadFile(const std::string& path)
{
    return ReadFrom(path, 0);
}

std::string ReadFrom(const std::string& path, long long offset)
{
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    if (offset > 0) _fseeki64(f, offset, SEEK_SET);
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string UnixPathFromEnv(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') return {};
    std::string path = std::string("Z:") + value;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace win
