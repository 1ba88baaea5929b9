// The profile store over the Windows profile API (a settings file of
// sections and keys).
#pragma once
#include "profile_store.h"

// GetPrivateProfileStringA / WritePrivateProfileStringA. Names and values are
// passed as the bytes they are; the file path is in the system's ANSI code page.
class Win32ProfileStore : public ProfileStore {
public:
    std::string Read(const std::string& section, const std::string& key, const std::string& file,
                     unsigned capacity) const override;
    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& file) override;
};
