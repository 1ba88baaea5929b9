// Checks of the shipped Windows files of one architecture, without running
// them: the machine type of their folder, a GUI program (the renderer too,
// despite its .dll name), nothing imported but system DLLs (no MinGW runtime
// beside them), the manifest that makes them DPI-aware, and the project's
// version in their version resources and manifests; no import of what a run
// loads only when first used; stripped, with symbol files that belong to them.
// Usage: pe_check_tests <dist folder> <win32|win64> [gtest flags]
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <cstdio>
#include <cctype>
#include <set>
#include <sstream>

#include "files.h"
#include "pe_file.h"

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

// DLLs that every Windows the pairs run on carries in its system folder.
const std::set<std::string> kSystemDlls = {"kernel32.dll", "user32.dll",  "gdi32.dll",   "advapi32.dll",
                                            "msvcrt.dll",   "opengl32.dll", "glu32.dll",  "winmm.dll",
                                            "shell32.dll",  "comdlg32.dll", "msimg32.dll", "comctl32.dll",
                                            "ole32.dll",    "version.dll"};

constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kDllImage = 0x2000;
constexpr std::uint16_t kGuiSubsystem = 2;

class ShippedFile : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const std::string path = g_distDir + "/" + GetParam();
        const std::string bytes = ReadWholeFile(path);
        ASSERT_FALSE(bytes.empty()) << "no shipped file at " << path;
        auto parsed = pe::Parse(bytes);
        ASSERT_TRUE(parsed.has_value()) << path << " is not a well-formed PE image";
        file = *parsed;
    }
    pe::PeFile file;
};

TEST_P(ShippedFile, MachineTypeMatchesItsFolder)
{
    const bool wide = g_arch == "win64";
    EXPECT_EQ(file.machine, wide ? 0x8664 : 0x14c) << (wide ? "x86-64" : "i386") << " expected in dist/" << g_arch;
    EXPECT_EQ(file.optionalMagic, wide ? 0x20b : 0x10b) << (wide ? "PE32+" : "PE32") << " expected";
}

TEST_P(ShippedFile, IsAGuiProgram)
{
    EXPECT_EQ(file.subsystem, kGuiSubsystem);
    EXPECT_TRUE(file.characteristics & kExecutableImage);
    EXPECT_FALSE(file.characteristics & kDllImage) << "started as a process, so it must not be a library image";
}

TEST_P(ShippedFile, ImportsOnlySystemDlls)
{
    EXPECT_FALSE(file.imports.empty());
    for (const std::string& dll : file.imports)
        EXPECT_TRUE(kSystemDlls.count(Lower(dll))) << GetParam() << " imports " << dll;
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
    EXPECT_EQ(file.manifests[0].id, 1u) << "the process manifest has resource number 1";
    const std::string& manifest = file.manifests[0].bytes;
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
    ASSERT_EQ(file.versions.size(), 1u) << "one version resource";
    const auto info = pe::ParseVersionInfo(file.versions[0].bytes);
    ASSERT_TRUE(info.has_value()) << "a well-formed version resource";
    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(QV_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
    const std::array<std::uint16_t, 4> quad = {static_cast<std::uint16_t>(major), static_cast<std::uint16_t>(minor),
                                               static_cast<std::uint16_t>(patch), 0};
    EXPECT_EQ(info->fileVersion, quad);
    EXPECT_EQ(info->productVersion, quad);
    const bool saver = std::string(GetParam()) == "Quorvellanto.scr";
    const std::map<std::string, std::string> expected = {
        {"FileVersion", QV_VERSION},
        {"ProductVersion", QV_VERSION},
        {"ProductName", "Quorvellanto"},
        {"FileDescription", saver ? "Quorvellanto screen saver" : "Quorvellanto renderer"},
        {"OriginalFilename", GetParam()},
    };
    for (const auto& [key, value] : expected) {
        const auto it = info->strings.find(key);
        ASSERT_NE(it, info->strings.end()) << "no " << key;
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

std::string Tool(const char* name)
{
    return std::string(g_arch == "win64" ? "x86_64" : "i686") + "-w64-mingw32-" + name;
}

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

INSTANTIATE_TEST_SUITE_P(Pair, ShippedSymbols,
                         ::testing::Values(SymbolRow{"Quorvellanto.scr", "saver/win32_main.cpp"},
                                           SymbolRow{"Quorvellanto.dll", "renderer/win32_main.cpp"}),
                         [](const auto& info) { return std::string(info.param.program).substr(13); });

TEST(PeParser, RejectsWhatIsNotAPeImage)
{
    EXPECT_FALSE(pe::Parse("").has_value());
    EXPECT_FALSE(pe::Parse(ReadWholeFile("/proc/self/exe")).has_value()) << "an ELF program";
    std::string truncated = ReadWholeFile(g_distDir + "/Quorvellanto.dll");
    ASSERT_GT(truncated.size(), 512u);
    truncated.resize(300);
    EXPECT_FALSE(pe::Parse(truncated).has_value()) << "headers cut short";

    auto shipped = pe::Parse(ReadWholeFile(g_distDir + "/Quorvellanto.dll"));
    ASSERT_TRUE(shipped.has_value() && shipped->versions.size() == 1u);
    std::string version = shipped->versions[0].bytes;
    EXPECT_TRUE(pe::ParseVersionInfo(version).has_value());
    EXPECT_FALSE(pe::ParseVersionInfo("").has_value());
    EXPECT_FALSE(pe::ParseVersionInfo(version.substr(0, 60)).has_value()) << "a block cut short";
    version[40] ^= 0x5a;  // inside the fixed part's signature
    EXPECT_FALSE(pe::ParseVersionInfo(version).has_value()) << "a wrong signature";
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3 || (std::string(argv[2]) != "win32" && std::string(argv[2]) != "win64")) {
        std::fprintf(stderr, "usage: %s <dist folder> <win32|win64>\n", argv[0]);
        return 2;
    }
    g_distDir = argv[1];
    g_arch = argv[2];
    g_symbolsDir = QV_PROJECT_DIR "/build/" + g_arch + "/symbols";
    return RUN_ALL_TESTS();
}
