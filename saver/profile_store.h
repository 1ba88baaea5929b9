// The private-profile (ini) file functions of the platform.
#pragma once
#include <string>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The value of `key` in `section` of `file`, empty when missing; at most
    // `capacity` - 1 bytes come back.
    virtual std::string Read(const std::string& section, const std::string& key, const std::string& file,
                             unsigned capacity) const = 0;
    // Writes one value, creating the file, section or key as needed; false
    // when it could not be written (a folder that refuses writes).
    virtual bool Write(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& file) = 0;
};
