#include "win32_profile_store.h"

#include <windows.h>

#include <vector>

std::string Win32ProfileStore::Read(const std::string& section, const std::string& key, const std::string& file,
                                    unsigned capacity) const
{
    std::vector<char> buffer(capacity + 1, '\0');
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), capacity, file.c_str());
    return std::string(buffer.data());
}

bool Win32ProfileStore::Write(const std::string& section, const std::string& key, const std::string& value,
                              const std::string& file)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}
