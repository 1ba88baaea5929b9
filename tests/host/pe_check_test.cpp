// Checks of the shipped Windows files of one architecture, without running
// them: the machine type of their folder, a GUI program (the renderer too,
// despite its .dll name), nothing imported but system DLLs (no MinGW runtime
// beside them), and the manifest that makes them DPI-aware.
// Usage: pe_check_tests <dist folder> <win32|win64> [gtest flags]
#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_NE(file.manifests[0].bytes.find("<assembly"), std::string::npos);
    EXPECT_NE(file.manifests[0].bytes.find("dpiAware"), std::string::npos);
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
