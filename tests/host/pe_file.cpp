#include "pe_file.h"

namespace pe {
namespace {

constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kManifestType = 24;
constexpr std::uint32_t kVersionType = 16;

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}

    bool Has(std::uint64_t offset, std::uint64_t size) const { return offset + size <= bytes_.size(); }
    std::uint32_t U16(std::uint64_t offset) const { return Byte(offset) | Byte(offset + 1) << 8; }
    std::uint32_t U32(std::uint64_t offset) const { return U16(offset) | U16(offset + 2) << 16; }

    // File offset of a relative virtual address, when a section holds it.
    std::optional<std::uint64_t> At(std::uint32_t rva) const
    {
        for (const Section& s : sections) {
            const std::uint32_t span = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
            if (rva >= s.virtualAddress && rva < s.virtualAddress + span && rva - s.virtualAddress < s.rawSize)
                return std::uint64_t{s.rawOffset} + (rva - s.virtualAddress);
        }
        return std::nullopt;
    }

    std::optional<std::string> CString(std::uint32_t rva) const
    {
        auto offset = At(rva);
        if (!offset) return std::nullopt;
        std::string text;
        for (std::uint64_t i = *offset; i < bytes_.size() && bytes_[i] != '\0'; ++i) text += bytes_[i];
        return text;
    }

    std::string Slice(std::uint64_t offset, std::uint64_t size) const { return bytes_.substr(offset, size); }

    std::vector<Section> sections;

private:
    std::uint32_t Byte(std::uint64_t offset) const
    {
        return offset < bytes_.size() ? static_cast<unsigned char>(bytes_[offset]) : 0u;
    }
    const std::string& bytes_;
};

bool ReadImports(const Reader& r, std::uint32_t rva, std::uint32_t size, PeFile& file)
{
    if (rva == 0 || size == 0) return true;
    auto offset = r.At(rva);
    if (!offset) return false;
    for (std::uint64_t d = *offset; r.Has(d, 20); d += 20) {
        const std::uint32_t nameRva = r.U32(d + 12);
        if (nameRva == 0 && r.U32(d + 16) == 0) return true;
        auto name = r.CString(nameRva);
        if (!name) return false;
        file.imports.push_back(*name);
    }
    return false;
}

// The resource directory: type -> name -> language -> data entry.
bool ReadResources(const Reader& r, std::uint32_t rva, PeFile& file)
{
    if (rva == 0) return true;
    auto root = r.At(rva);
    if (!root || !r.Has(*root, 16)) return false;
    auto entries = [&](std::uint64_t dir) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> list;  // id, offset
        const std::uint32_t count = r.U16(dir + 12) + r.U16(dir + 14);
        for (std::uint32_t i = 0; i < count && r.Has(dir + 16 + 8 * i, 8); ++i)
            list.emplace_back(r.U32(dir + 16 + 8 * i), r.U32(dir + 20 + 8 * i));
        return list;
    };
    constexpr std::uint32_t kSubdirectory = 0x80000000u;
    for (auto [type, typeOffset] : entries(*root)) {
        if ((type != kManifestType && type != kVersionType) || !(typeOffset & kSubdirectory)) continue;
        auto& found = type == kManifestType ? file.manifests : file.versions;
        for (auto [name, nameOffset] : entries(*root + (typeOffset & ~kSubdirectory))) {
            if (!(nameOffset & kSubdirectory)) return false;
            auto languages = entries(*root + (nameOffset & ~kSubdirectory));
            if (languages.empty() || (languages.front().second & kSubdirectory)) return false;
            const std::uint64_t leaf = *root + languages.front().second;
            if (!r.Has(leaf, 16)) return false;
            auto data = r.At(r.U32(leaf));
            const std::uint32_t dataSize = r.U32(leaf + 4);
            if (!data || !r.Has(*data, dataSize)) return false;
            found.push_back({name & kSubdirectory ? 0 : name, r.Slice(*data, dataSize)});
        }
    }
    return true;
}

// One block of a version resource: length, value length, type, UTF-16 key,
// value and child blocks, each aligned to four bytes.
struct Block {
    std::string key, value;
    std::uint32_t valueLength = 0, type = 0;
    std::vector<Block> children;
};

std::optional<Block> ReadBlock(const Reader& r, std::uint64_t at, std::uint64_t end)
{
    if (!r.Has(at, 6)) return std::nullopt;
    const std::uint64_t length = r.U16(at);
    if (length < 6 || at + length > end) return std::nullopt;
    end = at + length;
    Block b;
    b.valueLength = r.U16(at + 2);
    b.type = r.U16(at + 4);
    std::uint64_t p = at + 6;
    for (; p + 1 < end && r.U16(p) != 0; p += 2) b.key += static_cast<char>(r.U16(p) < 0x80 ? r.U16(p) : '?');
    p = (p + 2 + 3) & ~3ull;
    // Text values count 16-bit characters, binary ones bytes.
    const std::uint64_t valueBytes = b.type == 1 ? 2ull * b.valueLength : b.valueLength;
    if (p + valueBytes > end) return std::nullopt;
    if (b.type == 1) {
        for (std::uint64_t i = 0; i < b.valueLength && r.U16(p + 2 * i) != 0; ++i)
            b.value += static_cast<char>(r.U16(p + 2 * i) < 0x80 ? r.U16(p + 2 * i) : '?');
    } else {
        b.value = r.Slice(p, valueBytes);
    }
    p = (p + valueBytes + 3) & ~3ull;
    while (p + 6 <= end) {
        auto child = ReadBlock(r, p, end);
        if (!child) return std::nullopt;
        p = (p + r.U16(p) + 3) & ~3ull;
        b.children.push_back(std::move(*child));
    }
    return b;
}

}  // namespace

std::optional<VersionInfo> ParseVersionInfo(const std::string& bytes)
{
    Reader r(bytes);
    auto root = ReadBlock(r, 0, bytes.size());
    if (!root || root->key != "VS_VERSION_INFO" || root->value.size() < 52) return std::nullopt;
    Reader fixed(root->value);
    if (fixed.U32(0) != 0xFEEF04BDu) return std::nullopt;
    VersionInfo info;
    for (int i = 0; i < 2; ++i) {
        info.fileVersion[2 * i] = static_cast<std::uint16_t>(fixed.U16(8 + 4 * i + 2));
        info.fileVersion[2 * i + 1] = static_cast<std::uint16_t>(fixed.U16(8 + 4 * i));
        info.productVersion[2 * i] = static_cast<std::uint16_t>(fixed.U16(16 + 4 * i + 2));
        info.productVersion[2 * i + 1] = static_cast<std::uint16_t>(fixed.U16(16 + 4 * i));
    }
    for (const Block& child : root->children) {
        if (child.key != "StringFileInfo" || child.children.empty()) continue;
        for (const Block& entry : child.children.front().children) info.strings[entry.key] = entry.value;
    }
    return info;
}

std::optional<PeFile> Parse(const std::string& bytes)
{
    Reader r(bytes);
    if (!r.Has(0, 0x40) || bytes.compare(0, 2, "MZ") != 0) return std::nullopt;
    const std::uint64_t header = r.U32(0x3c);
    if (!r.Has(header, 24) || bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0) return std::nullopt;

    PeFile file;
    file.machine = static_cast<std::uint16_t>(r.U16(header + 4));
    const std::uint32_t sectionCount = r.U16(header + 6);
    const std::uint32_t optionalSize = r.U16(header + 20);
    file.characteristics = static_cast<std::uint16_t>(r.U16(header + 22));
    const std::uint64_t optional = header + 24;
    if (!r.Has(optional, optionalSize) || optionalSize < 96) return std::nullopt;
    file.optionalMagic = static_cast<std::uint16_t>(r.U16(optional));
    if (file.optionalMagic != 0x10b && file.optionalMagic != 0x20b) return std::nullopt;
    file.subsystem = static_cast<std::uint16_t>(r.U16(optional + 68));
    const std::uint64_t directories = optional + (file.optionalMagic == 0x20b ? 112 : 96);
    const std::uint32_t directoryCount = r.U32(directories - 4);
    if (directoryCount <= kResourceDirectory || !r.Has(directories, 8 * (kResourceDirectory + 1))) return std::nullopt;

    const std::uint64_t table = optional + optionalSize;
    if (!r.Has(table, 40ull * sectionCount)) return std::nullopt;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t s = table + 40ull * i;
        r.sections.push_back({r.U32(s + 12), r.U32(s + 8), r.U32(s + 20), r.U32(s + 16)});
    }
    const auto directory = [&](std::uint32_t index) { return directories + 8ull * index; };
    if (!ReadImports(r, r.U32(directory(kImportDirectory)), r.U32(directory(kImportDirectory) + 4), file))
        return std::nullopt;
    if (!ReadResources(r, r.U32(directory(kResourceDirectory)), file)) return std::nullopt;
    return file;
}

}  // namespace pe
