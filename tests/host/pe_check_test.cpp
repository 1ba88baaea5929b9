// Checks of the shipped Windows files of one architecture, without running
// them: the machine type of their folder, a GUI program (the renderer too,
// despite its .dll name), nothing imported but system DLLs (no MinGW runtime
// beside them), the manifest that makes them DPI-aware, and the project's
// version in their version resources and manifests.
// Usage: pe_check_tests <dist folder> <win32|win64> [gtest flags]
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <cstdio>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "pe_file.h"

namespace {

std::string g_distDir;
std::string g_arch;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
        const std::string bytes = ReadFile(path);
        ASSERT_FALSE(bytes.empty()) << "no shipped file at " << path;
        auto parsed = pe::Parse(bytes);
        ASSERT_TRUE(parsed.has_value()) << path << " is not a well-formed PE image";
        file = *parsed;
    }
    pe::PeFile file;
};

TEST_P(ShippedFile, MachineTypeMatchesItsFolder)
{
    if (g_arch == "win64") {
        EXPECT_EQ(file.machine, 0x8664) << "x86-64 expected in dist/win64";
        EXPECT_EQ(file.optionalMagic, 0x20b) << "PE32+ expected";
    } else {
        EXPECT_EQ(file.machine, 0x14c) << "i386 expected in dist/win32";
        EXPECT_EQ(file.optionalMagic, 0x10b) << "PE32 expected";
    }
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

TEST(PeParser, RejectsWhatIsNotAPeImage)
{
    EXPECT_FALSE(pe::Parse("").has_value());
    EXPECT_FALSE(pe::Parse(ReadFile("/proc/self/exe")).has_value()) << "an ELF program";
    std::string truncated = ReadFile(g_distDir + "/Quorvellanto.dll");
    ASSERT_GT(truncated.size(), 512u);
    truncated.resize(300);
    EXPECT_FALSE(pe::Parse(truncated).has_value()) << "headers cut short";

    auto shipped = pe::Parse(ReadFile(g_distDir + "/Quorvellanto.dll"));
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
    return RUN_ALL_TESTS();
}
