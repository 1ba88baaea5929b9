#include "program_services.h"

bool FileExists(const ProgramServices& services, const std::string& path)
{
    std::string tested = path;
    if (!tested.empty() && tested.back() == '\\') tested.pop_back();
    return services.CanOpenForReading(tested);
}

std::string FolderOf(const std::string& path, const ProgramServices& services)
{
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\\' || c == ':') last = i;
        else if (services.IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) ++i;
    }
    if (last == std::string::npos) return {};
    if (path[last] == ':') return path.substr(0, last + 1);
    // "C:\a.mp3" and "\a.mp3": the root keeps its backslash.
    if (last == 0 || (last == 2 && path[1] == ':')) return path.substr(0, last + 1);
    return path.substr(0, last);
}
