// Reads what a check of a shipped Windows file needs from its PE headers:
// machine, optional-header kind, subsystem, characteristics, imported DLLs
// and its manifest and version resources.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pe {

struct Resource {
    std::uint32_t id = 0;  // the name's number (0 for a named entry)
    std::string bytes;
};

struct PeFile {
    std::uint16_t machine = 0;           // 0x14c i386, 0x8664 x86-64
    std::uint16_t optionalMagic = 0;     // 0x10b PE32, 0x20b PE32+
    std::uint16_t characteristics = 0;   // IMAGE_FILE_*
    std::uint16_t subsystem = 0;         // 2 GUI, 3 console
    std::vector<std::string> imports;    // DLL names as stored
    std::vector<Resource> manifests;     // RT_MANIFEST entries (first language each)
    std::vector<Resource> versions;      // RT_VERSION entries (first language each)
};

// What a version resource says: the fixed file and product versions and the
// strings of its first string table (ASCII values only).
struct VersionInfo {
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::map<std::string, std::string> strings;
};

// Nothing when the bytes are not a well-formed PE image.
std::optional<PeFile> Parse(const std::string& bytes);
// Nothing when the bytes are not a well-formed VS_VERSIONINFO block.
std::optional<VersionInfo> ParseVersionInfo(const std::string& bytes);

}  // namespace pe
