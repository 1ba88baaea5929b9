#include "win_support.h"

#include <cstdlib>

namespace win {

std::string MakeScratchFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "qv-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
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

}  // namespace win
