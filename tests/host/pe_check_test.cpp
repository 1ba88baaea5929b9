// Checks of the shipped Windows files of one architecture, without running
// them: the machine type of their folder, a GUI program (the renderer too,
// despite its .dll name), nothing imported but KnownDLLs (no MinGW runtime
// beside them, nothing Windows would take from the program's folder), every
// import slot leading to a name or a thunk, the manifest that makes them
// DPI-aware, and the project's version in their version resources and
// manifests; no import of what a run
// loads only when first used; stripped, with symbol files that belong to them.
// Usage: pe_check_tests <dist folder> <win32|win64> [symbols folder] [gtest flags]
// (the symbols folder defaults to build/<arch>/symbols)
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <cstdio>
#include <cctype>
#include <cstdint>
#include <optional>
#include <set>
#include <sstream>

#include "files.h"

namespace {

using support::CommandOutput;
using support::ReadWholeFile;

std::string g_distDir;
std::string g_arch;
std::string g_symbolsDir;  // the symbol files of the pair (build/<arch>/symbols)

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// KnownDLLs of every Windows from 7 on (a few of the list): the system maps
// these from its system folder whatever lies beside the program. Every other
// DLL, opengl32, glu32, msimg32 and winmm among them, would be taken from the
// program's own folder first if it were imported.
const std::set<std::string> kKnownDlls = {"kernel32.dll", "user32.dll",  "gdi32.dll",  "advapi32.dll", "msvcrt.dll",
                                          "shell32.dll",  "comdlg32.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll",
                                          "imm32.dll",    "rpcrt4.dll"};

constexpr unsigned kExecutableImage = 0x0002;
constexpr unsigned kDllImage = 0x2000;
constexpr unsigned kGuiSubsystem = 2;

// The architecture's binutils (objdump, objcopy, nm, addr2line).
std::string Tool(const char* name)
{
    return std::string(g_arch == "win64" ? "x86_64" : "i686") + "-w64-mingw32-" + name;
}

// What the checks need of a PE image, as binutils read it: objdump's headers
// and import tables, and windres' resources as script text. The 64-bit
// MinGW binutils read both kinds of image (the 32-bit ones only their own),
// so a pair in the wrong folder reads as the wrong machine, not as no image.
struct PeFile {
    std::string format;  // "pei-x86-64" or "pei-i386"
    unsigned magic = 0, characteristics = 0, subsystem = 0;
    std::vector<std::string> imports;                    // DLL names as stored (not the delay-loaded ones)
    std::vector<std::pair<int, std::string>> manifests;  // resource number and text of each RT_MANIFEST
    int versionResources = 0;
    std::array<unsigned, 4> fileVersion{}, productVersion{};
    std::map<std::string, std::string> versionStrings;
};

// Nothing when the tools do not read the file as a PE image.
std::optional<PeFile> ReadPe(const std::string& path)
{
    int status = -1;
    std::istringstream headers(CommandOutput("x86_64-w64-mingw32-objdump -p '" + path + "' 2>/dev/null", &status));
    PeFile file;
    for (std::string line; status == 0 && std::getline(headers, line);) {
        std::istringstream in(line);
        std::string key, name;
        in >> key;
        if (file.format.empty() && line.find("file format ") != std::string::npos)
            file.format = line.substr(line.find("file format ") + 12);
        else if (key == "Characteristics") in >> std::hex >> file.characteristics;
        else if (key == "Magic") in >> std::hex >> file.magic;
        else if (key == "Subsystem") in >> std::hex >> file.subsystem;
        else if (key == "DLL" && in >> name >> name) file.imports.push_back(name);
    }
    if (status != 0 || file.format.rfind("pei-", 0) != 0) return std::nullopt;
    std::istringstream resources(CommandOutput("x86_64-w64-mingw32-windres -i '" + path + "' -O rc 2>/dev/null", &status));
    if (status != 0) return std::nullopt;
    std::string* manifest = nullptr;  // the manifest being read, between its BEGIN and END
    auto numbers = [](const std::string& line, std::array<unsigned, 4>& quad) {
        std::sscanf(line.c_str(), "%*s %u, %u, %u, %u", &quad[0], &quad[1], &quad[2], &quad[3]);
    };
    for (std::string line; std::getline(resources, line);) {
        const size_t quote = line.find('"');
        if (line.find(" 24 /* RT_MANIFEST */") != std::string::npos) {
            file.manifests.emplace_back(std::stoi(line), "");
            manifest = &file.manifests.back().second;
        } else if (manifest != nullptr && line == "END") {
            manifest = nullptr;
        } else if (manifest != nullptr && quote != std::string::npos) {
            // A C-like string: "" is a quote, \n a line end.
            const std::string text = line.substr(quote + 1, line.rfind('"') - quote - 1);
            for (size_t i = 0; i < text.size(); ++i) {
                if (text.compare(i, 2, "\"\"") == 0 || text.compare(i, 2, "\\n") == 0)
                    *manifest += text[++i] == 'n' ? '\n' : '"';
                else
                    *manifest += text[i];
            }
        } else if (line.find(" VERSIONINFO") != std::string::npos) {
            ++file.versionResources;
        } else if (line.rfind(" FILEVERSION ", 0) == 0) {
            numbers(line, file.fileVersion);
        } else if (line.rfind(" PRODUCTVERSION ", 0) == 0) {
            numbers(line, file.productVersion);
        } else if (line.find("VALUE \"") != std::string::npos && line.find("\", \"") != std::string::npos) {
            const size_t keyEnd = line.find('"', quote + 1), valueStart = line.find('"', keyEnd + 1) + 1;
            file.versionStrings[line.substr(quote + 1, keyEnd - quote - 1)] =
                line.substr(valueStart, line.rfind('"') - valueStart);
        }
    }
    return file;
}

class ShippedFile : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const std::string path = g_distDir + "/" + GetParam();
        ASSERT_FALSE(ReadWholeFile(path).empty()) << "no shipped file at " << path;
        auto read = ReadPe(path);
        ASSERT_TRUE(read.has_value()) << path << " is not a well-formed PE image";
        file = *read;
    }
    PeFile file;
};

TEST_P(ShippedFile, MachineTypeMatchesItsFolder)
{
    const bool wide = g_arch == "win64";
    EXPECT_EQ(file.format, wide ? "pei-x86-64" : "pei-i386") << "expected in dist/" << g_arch;
    EXPECT_EQ(file.magic, wide ? 0x20bu : 0x10bu) << (wide ? "PE32+" : "PE32") << " expected";
}

TEST_P(ShippedFile, IsAGuiProgram)
{
    EXPECT_EQ(file.subsystem, kGuiSubsystem);
    EXPECT_TRUE(file.characteristics & kExecutableImage);
    EXPECT_FALSE(file.characteristics & kDllImage) << "started as a process, so it must not be a library image";
}

TEST_P(ShippedFile, ImportsOnlyKnownDlls)
{
    EXPECT_FALSE(file.imports.empty());
    for (const std::string& dll : file.imports)
        EXPECT_TRUE(kKnownDlls.count(Lower(dll)))
            << GetParam() << " imports " << dll << ", which is no KnownDLL";
}

// Libraries a program must not import: the saver loads the dialog's and the
// music's libraries when first used, and the window manager once its
// renderer is starting (delay-loaded), so that a run starts its renderer first.
const std::map<std::string, std::set<std::string>> kLoadedOnDemand = {
    {"Quorvellanto.scr",
     {"comdlg32.dll", "shell32.dll", "winmm.dll", "comctl32.dll", "ole32.dll", "user32.dll", "gdi32.dll"}},
    {"Quorvellanto.dll", {"winmm.dll", "shell32.dll"}}};

TEST_P(ShippedFile, ImportsNothingItLoadsOnDemand)
{
    const std::set<std::string>& onDemand = kLoadedOnDemand.at(GetParam());
    for (const std::string& dll : file.imports)
        EXPECT_FALSE(onDemand.count(Lower(dll))) << GetParam() << " imports " << dll;
}

TEST_P(ShippedFile, CarriesItsManifest)
{
    ASSERT_EQ(file.manifests.size(), 1u);
    EXPECT_EQ(file.manifests[0].first, 1) << "the process manifest has resource number 1";
    const std::string& manifest = file.manifests[0].second;
    EXPECT_NE(manifest.find("<assembly"), std::string::npos);
    // Per-monitor DPI awareness, v2 first and the older form as fallback:
    // each window then gets its monitor's physical pixels.
    const std::pair<const char*, const char*> kDpiSettings[] = {
        {"dpiAware", "true/pm"},
        {"dpiAwareness", "PerMonitorV2,PerMonitor"},
    };
    for (const auto& [element, value] : kDpiSettings) {
        const std::string open = "<" + std::string(element) + " ", close = "</" + std::string(element) + ">";
        const size_t at = manifest.find(open);
        ASSERT_NE(at, std::string::npos) << "no " << element << " in " << manifest;
        const size_t valueStart = manifest.find('>', at) + 1;
        EXPECT_EQ(manifest.substr(valueStart, manifest.find(close, at) - valueStart), value) << element;
    }
    const std::string arch = g_arch == "win64" ? "amd64" : "x86";
    EXPECT_NE(manifest.find("version=\"" QV_VERSION ".0\" processorArchitecture=\"" + arch + "\""), std::string::npos)
        << manifest;
}

TEST_P(ShippedFile, CarriesTheProjectVersion)
{
    ASSERT_EQ(file.versionResources, 1) << "one version resource";
    std::array<unsigned, 4> quad{};
    ASSERT_EQ(std::sscanf(QV_VERSION, "%u.%u.%u", &quad[0], &quad[1], &quad[2]), 3);
    EXPECT_EQ(file.fileVersion, quad);
    EXPECT_EQ(file.productVersion, quad);
    const bool saver = std::string(GetParam()) == "Quorvellanto.scr";
    const std::map<std::string, std::string> expected = {
        {"FileVersion", QV_VERSION},
        {"ProductVersion", QV_VERSION},
        {"ProductName", "Quorvellanto"},
        {"FileDescription", saver ? "Quorvellanto screen saver" : "Quorvellanto renderer"},
        {"OriginalFilename", GetParam()},
    };
    for (const auto& [key, value] : expected) {
        const auto it = file.versionStrings.find(key);
        ASSERT_NE(it, file.versionStrings.end()) << "no " << key;
        EXPECT_EQ(it->second, value) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Pair, ShippedFile, ::testing::Values("Quorvellanto.scr", "Quorvellanto.dll"),
                         [](const auto& info) {
                             return std::string(info.param).substr(13);  // "scr" or "dll"
                         });

// The shipped programs are stripped; their symbol files (build/<arch>/symbols)
// belong to them: the program's debug link names the file and its CRC, both
// carry the same build id, and the debugger, given the stripped program and
// the symbol file beside it, finds WinMain's first line in the right source.
struct SymbolRow {
    const char* program;
    const char* mainSource;  // the source file of its WinMain
};
void PrintTo(const SymbolRow& row, std::ostream* os) { *os << row.program; }

std::uint32_t Crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The CodeView build id of a PE file ("RSDS signature ..." of objdump).
std::string BuildId(const std::string& path)
{
    const std::string dump = CommandOutput(Tool("objdump") + " -p '" + path + "' 2>/dev/null");
    const size_t at = dump.find("RSDS signature ");
    return at == std::string::npos ? "" : dump.substr(at + 15, 32);
}

class ShippedSymbols : public ::testing::TestWithParam<SymbolRow> {
protected:
    std::string program = g_distDir + "/" + GetParam().program;
    std::string symbols = g_symbolsDir + "/" + GetParam().program + ".debug";
    void SetUp() override
    {
        ASSERT_FALSE(ReadWholeFile(program).empty()) << program;
        ASSERT_FALSE(ReadWholeFile(symbols).empty()) << "no symbol file " << symbols;
    }
};

TEST_P(ShippedSymbols, ProgramIsStrippedAndLinkedToItsSymbolFile)
{
    const std::string sections = CommandOutput(Tool("objdump") + " -h '" + program + "'");
    EXPECT_EQ(sections.find(".debug_"), std::string::npos) << "debug sections left in " << program;
    const std::string linkFile = ::testing::TempDir() + "qv-debuglink-" + g_arch;
    CommandOutput(Tool("objcopy") + " --dump-section .gnu_debuglink='" + linkFile + "' '" + program + "' '" +
                  linkFile + ".out'");
    const std::string link = ReadWholeFile(linkFile);
    ASSERT_GE(link.size(), 8u) << "no debug link";
    const std::string name = link.c_str();
    EXPECT_EQ(name, std::string(GetParam().program) + ".debug");
    const size_t crcAt = (name.size() + 4) & ~size_t{3};
    ASSERT_GE(link.size(), crcAt + 4);
    const auto byte = [&](size_t i) { return std::uint32_t{static_cast<unsigned char>(link[crcAt + i])}; };
    EXPECT_EQ(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24, Crc32(ReadWholeFile(symbols)))
        << "the symbol file is not the one the program names";
    const std::string id = BuildId(program);
    EXPECT_EQ(id.size(), 32u) << "no build id in " << program;
    EXPECT_EQ(BuildId(symbols), id);
}

TEST_P(ShippedSymbols, DebuggerFindsWinMainsSourceLine)
{
    // The program and its symbol file side by side, as a user unpacks them.
    const std::string dir = ::testing::TempDir() + "qv-symbols-" + g_arch;
    CommandOutput("rm -rf '" + dir + "' && mkdir -p '" + dir + "' && cp '" + program + "' '" + symbols + "' '" + dir +
                  "/'");
    // (The 32-bit WinMain is a stdcall function: WinMain@16 to the debugger.)
    const std::string function = g_arch == "win64" ? "WinMain" : "WinMain@16";
    const std::string line = CommandOutput("gdb -nx -batch -ex 'info line " + function + "' '" + dir + "/" +
                                           GetParam().program + "' 2>&1");
    EXPECT_NE(line.find(std::string("of \"./") + GetParam().mainSource + "\" starts at address"), std::string::npos)
        << line;
    // And an address inside WinMain, as from a crash report, back to a line of that source.
    const std::string address = CommandOutput(Tool("nm") + " '" + symbols + "' | awk '$3 == \"" +
                                              (g_arch == "win64" ? "WinMain" : "_WinMain@16") + "\" { print $1 }'");
    ASSERT_FALSE(address.empty()) << "no WinMain in the symbol file";
    const std::string where = CommandOutput(Tool("addr2line") + " -e '" + symbols + "' 0x" + address);
    EXPECT_NE(where.find(GetParam().mainSource), std::string::npos) << where;
    EXPECT_EQ(where.find(QV_PROJECT_DIR), std::string::npos) << "a build path left in the symbols: " << where;
}

// Every import slot of a program, ordinary and delay-loaded (the "__imp_"
// symbols of its symbol file), read from the shipped image: an ordinary slot
// holds the address of its name entry in the import section (relative to
// the image), a delay-loaded one the address of its thunk in the code (which
// calls the delay-load helper). A slot at zero, or leading outside both, is
// a call that jumps nowhere: the 32-bit saver's first user32 call did until
// its link kept the thunks.
struct Section {
    std::uint64_t start = 0, size = 0;
    bool Holds(std::uint64_t address) const { return address >= start && address < start + size; }
};

TEST_P(ShippedSymbols, EveryImportSlotLeadsIntoTheImage)
{
    std::istringstream headers(CommandOutput(Tool("objdump") + " -p -h '" + program + "'"));
    std::uint64_t imageBase = 0;
    std::map<std::string, Section> sections;
    for (std::string line; std::getline(headers, line);) {
        std::istringstream in(line);
        std::string first, name;
        in >> first;
        if (first == "ImageBase") in >> std::hex >> imageBase;
        else if (!first.empty() && std::isdigit(static_cast<unsigned char>(first[0])) && in >> name && name[0] == '.')
            in >> std::hex >> sections[name].size >> sections[name].start;
    }
    ASSERT_NE(imageBase, 0u);
    ASSERT_TRUE(sections.count(".text") && sections.count(".idata")) << "no code or import section";
    const Section code = sections[".text"], imports = sections[".idata"];

    // The import section's bytes by address, as objdump prints them.
    std::map<std::uint64_t, unsigned char> bytes;
    std::istringstream dump(CommandOutput(Tool("objdump") + " -s -j .idata '" + program + "'"));
    for (std::string line; std::getline(dump, line);) {
        std::istringstream in(line.substr(0, line.find("  ", 1)));
        std::uint64_t address = 0;
        if (line.size() < 2 || line[0] != ' ' || !(in >> std::hex >> address)) continue;
        for (std::string group; in >> group;) {
            for (size_t i = 0; i + 1 < group.size(); i += 2)
                bytes[address++] = static_cast<unsigned char>(std::stoul(group.substr(i, 2), nullptr, 16));
        }
    }
    const unsigned width = g_arch == "win64" ? 8 : 4;
    int slots = 0;
    std::istringstream symbolTable(CommandOutput(Tool("nm") + " '" + symbols + "'"));
    for (std::string line; std::getline(symbolTable, line);) {
        std::istringstream in(line);
        std::string address, kind, name;
        if (!(in >> address >> kind >> name) || kind != "I" || name.find("__imp_") > 1) continue;
        const std::uint64_t at = std::stoull(address, nullptr, 16);
        std::uint64_t value = 0;
        bool read = true;
        for (unsigned i = 0; i < width; ++i) {
            const auto byte = bytes.find(at + i);
            read = read && byte != bytes.end();
            if (read) value |= std::uint64_t{byte->second} << (8 * i);
        }
        ++slots;
        ASSERT_TRUE(read) << name << " lies outside the import section";
        EXPECT_TRUE(imports.Holds(imageBase + value) || code.Holds(value))
            << name << " starts at 0x" << std::hex << value << ": neither a name entry nor a thunk";
    }
    EXPECT_GT(slots, 20) << "no import slots found in " << symbols;
}

INSTANTIATE_TEST_SUITE_P(Pair, ShippedSymbols,
                         ::testing::Values(SymbolRow{"Quorvellanto.scr", "saver/win32_main.cpp"},
                                           SymbolRow{"Quorvellanto.dll", "renderer/win32_main.cpp"}),
                         [](const auto& info) { return std::string(info.param.program).substr(13); });

TEST(PeParser, RejectsWhatIsNotAPeImage)
{
    const std::string empty = ::testing::TempDir() + "qv-empty-" + g_arch, cut = ::testing::TempDir() + "qv-cut-" + g_arch;
    support::WriteWholeFile(empty, "");
    EXPECT_FALSE(ReadPe(empty).has_value());
    EXPECT_FALSE(ReadPe("/proc/self/exe").has_value()) << "an ELF program";
    const std::string shipped = ReadWholeFile(g_distDir + "/Quorvellanto.dll");
    ASSERT_GT(shipped.size(), 512u);
    support::WriteWholeFile(cut, shipped.substr(0, 300));
    EXPECT_FALSE(ReadPe(cut).has_value()) << "headers cut short";
    EXPECT_TRUE(ReadPe(g_distDir + "/Quorvellanto.dll").has_value());
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3 || argc > 4 || (std::string(argv[2]) != "win32" && std::string(argv[2]) != "win64")) {
        std::fprintf(stderr, "usage: %s <dist folder> <win32|win64> [symbols folder]\n", argv[0]);
        return 2;
    }
    g_distDir = argv[1];
    g_arch = argv[2];
    g_symbolsDir = argc == 4 ? argv[3] : QV_PROJECT_DIR "/build/" + g_arch + "/symbols";
    return RUN_ALL_TESTS();
}
