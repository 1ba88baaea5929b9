// Checks of what scripts/package wrote, without Windows: the tables of both
// installers (msiinfo: product, files, folders, component architecture), the
// zip's listing and contents, and the checksum file. What the installers do
// (install, upgrade, remove) is proven under Wine by package_e2e_tests.
// Usage: package_check_tests <release folder> [gtest flags]
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "files.h"

namespace fs = std::filesystem;

namespace {

using support::CommandOutput;
using support::ReadWholeFile;

std::string g_release;
const std::string kName = "Quorvellanto-" QV_VERSION;
const std::string kDist = QV_PROJECT_DIR "/dist/";
const std::string kUpgradeCode = "{6C0F3B52-4E8B-4B8A-9D4A-2F6A1C7E0B31}";

std::vector<std::string> Split(const std::string& text, char by)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, by)) parts.push_back(part);
    return parts;
}

using Rows = std::vector<std::vector<std::string>>;

// The rows of one table of an installer (msiinfo export: three header lines first).
Rows Table(const std::string& msi, const std::string& table)
{
    Rows rows;
    const auto lines = Split(CommandOutput("msiinfo export '" + msi + "' " + table + " 2>/dev/null"), '\n');
    for (size_t i = 3; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto fields = Split(line, '\t');
        if (!line.empty() && line.back() == '\t') fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

struct Installer {
    const char* arch;            // pair folder under dist/
    const char* systemFolder;    // where the pair goes
    const char* componentBits;   // msidbComponentAttributes64bit or none
    const char* platform;        // summary template
};

void PrintTo(const Installer& installer, std::ostream* os) { *os << installer.arch; }

class InstallerTables : public ::testing::TestWithParam<Installer> {
protected:
    std::string msi = g_release + "/" + kName + "-" + GetParam().arch + ".msi";
    void SetUp() override { ASSERT_TRUE(fs::exists(msi)) << msi; }
};

TEST_P(InstallerTables, PlatformAndProduct)
{
    const std::string summary = CommandOutput("msiinfo suminfo '" + msi + "'");
    EXPECT_NE(summary.find(std::string("Template: ") + GetParam().platform + ";1033"), std::string::npos);
    std::map<std::string, std::string> properties;
    for (const auto& row : Table(msi, "Property")) properties[row.at(0)] = row.at(1);
    EXPECT_EQ(properties["ProductName"], "Quorvellanto");
    EXPECT_EQ(properties["ProductVersion"], QV_VERSION);
    EXPECT_EQ(properties["Manufacturer"], "Ombrix");
    EXPECT_EQ(properties["ALLUSERS"], "1") << "per machine";
    EXPECT_EQ(properties["UpgradeCode"], kUpgradeCode) << "one upgrade code for every version and both pairs";
}

TEST_P(InstallerTables, BothFilesSideBySideInTheSystemFolder)
{
    std::map<std::string, std::string> files;  // name -> component
    for (const auto& row : Table(msi, "File")) {
        files[row.at(2)] = row.at(1);
        EXPECT_EQ(std::stoll(row.at(3)), static_cast<long long>(fs::file_size(kDist + GetParam().arch + "/" + row.at(2))))
            << row.at(2);
    }
    ASSERT_EQ(files.size(), 2u);
    ASSERT_TRUE(files.count("Quorvellanto.scr") && files.count("Quorvellanto.dll"));

    const Rows components = Table(msi, "Component");
    ASSERT_EQ(components.size(), 2u);
    for (const auto& row : components) {
        EXPECT_EQ(row.at(2), GetParam().systemFolder) << row.at(0);
        EXPECT_EQ(row.at(3), GetParam().componentBits) << row.at(0) << ": component architecture";
    }
    EXPECT_NE(components[0].at(1), components[1].at(1)) << "a component id each";

    std::map<std::string, std::string> parents;
    for (const auto& row : Table(msi, "Directory")) parents[row.at(0)] = row.at(1);
    EXPECT_EQ(parents.size(), 2u);
    EXPECT_EQ(parents[GetParam().systemFolder], "TARGETDIR");
    EXPECT_TRUE(Table(msi, "RemoveFile").empty()) << "uninstall removes only the package's own files";
}

INSTANTIATE_TEST_SUITE_P(Pair, InstallerTables,
                         ::testing::Values(Installer{"win64", "System64Folder", "256", "x64"},
                                           Installer{"win32", "SystemFolder", "0", "Intel"}),
                         [](const auto& info) { return std::string(info.param.arch); });

TEST(Zip, HoldsBothPairsInTheirFoldersAndAReadMe)
{
    const std::string zip = g_release + "/" + kName + ".zip";
    int status = -1;
    const std::string listing = CommandOutput("unzip -Z1 '" + zip + "'", &status);
    ASSERT_EQ(status, 0) << zip;
    EXPECT_EQ(Split(listing, '\n'), (std::vector<std::string>{kName + "/README.txt", kName + "/win32/Quorvellanto.dll",
                                                              kName + "/win32/Quorvellanto.scr", kName + "/win64/Quorvellanto.dll",
                                                              kName + "/win64/Quorvellanto.scr"}));
    for (const char* arch : {"win32", "win64"})
        for (const char* file : {"Quorvellanto.scr", "Quorvellanto.dll"})
            EXPECT_EQ(CommandOutput("unzip -p '" + zip + "' '" + kName + "/" + arch + "/" + file + "'"),
                      ReadWholeFile(kDist + arch + "/" + file))
                << arch << "/" << file;

    const std::string readMe = CommandOutput("unzip -p '" + zip + "' '" + kName + "/README.txt'");
    EXPECT_NE(readMe.find("Quorvellanto " QV_VERSION), std::string::npos);
    EXPECT_NE(readMe.find(kName + "-win64.msi"), std::string::npos);
    EXPECT_NE(readMe.find("C:\\Windows\\SysWOW64\\"), std::string::npos);
    EXPECT_EQ(readMe.find("@VERSION@"), std::string::npos);
    size_t lines = 0, crlf = 0;
    for (size_t i = 0; i < readMe.size(); ++i) {
        if (readMe[i] != '\n') continue;
        ++lines;
        if (i > 0 && readMe[i - 1] == '\r') ++crlf;
    }
    EXPECT_GT(lines, 10u);
    EXPECT_EQ(crlf, lines) << "Windows line ends";
}

// The symbol files of both pairs, each the one its shipped program names.
TEST(Zip, SymbolsHoldTheSymbolFileOfEveryShippedProgram)
{
    const std::string zip = g_release + "/" + kName + "-symbols.zip";
    int status = -1;
    const std::string listing = CommandOutput("unzip -Z1 '" + zip + "'", &status);
    ASSERT_EQ(status, 0) << zip;
    std::vector<std::string> expected;
    for (const char* arch : {"win32", "win64"})
        for (const char* file : {"Quorvellanto.dll.debug", "Quorvellanto.scr.debug"})
            expected.push_back(kName + "-symbols/" + arch + "/" + file);
    std::vector<std::string> files;
    for (const std::string& entry : Split(listing, '\n'))
        if (entry.back() != '/') files.push_back(entry);
    EXPECT_EQ(files, expected);
    for (const std::string& entry : expected) {
        const std::string arch = entry.substr(entry.find('/') + 1, 5);
        const std::string name = entry.substr(entry.rfind('/') + 1);
        EXPECT_EQ(CommandOutput("unzip -p '" + zip + "' '" + entry + "'"),
                  ReadWholeFile(QV_PROJECT_DIR "/build/" + arch + "/symbols/" + name))
            << entry;
        // The shipped program names it (its debug link starts with the name).
        const std::string program = ReadWholeFile(kDist + arch + "/" + name.substr(0, name.size() - 6));
        EXPECT_NE(program.find(name + std::string(1, '\0')), std::string::npos) << arch << "/" << name;
    }
}

// Every entry of both zips has the commit's time, so that two builds of one
// commit give the same bytes (zipinfo's times are UTC here: TZ=UTC).
TEST(Zip, EntriesCarryOneFixedTime)
{
    for (const std::string& zip : {kName + ".zip", kName + "-symbols.zip"}) {
        const std::string times =
            CommandOutput("TZ=UTC zipinfo -T -s '" + g_release + "/" + zip + "' | awk '/^-/ { print $7 }' | sort -u");
        EXPECT_EQ(Split(times, '\n').size(), 1u) << zip << ":\n" << times;
    }
}

// A second build of the 64-bit pair, in a fresh build folder of its own, gives
// the same bytes: programs and symbol files (scripts/check-reproducible).
TEST(Reproducible, ProgramsBuiltAgainAreByteIdentical)
{
    int status = -1;
    const std::string report =
        CommandOutput(QV_PROJECT_DIR "/scripts/check-reproducible --programs win64 2>&1", &status);
    EXPECT_EQ(status, 0) << report;
    EXPECT_EQ(report.find("DIFFERENT"), std::string::npos) << report;
}

TEST(Checksums, CoverEveryPackageAndMatchItsBytes)
{
    std::map<std::string, std::string> sums;  // file -> hash
    for (const std::string& line : Split(ReadWholeFile(g_release + "/SHA256SUMS"), '\n')) {
        ASSERT_GT(line.size(), 66u) << line;
        ASSERT_EQ(line.substr(64, 2), "  ") << line;
        sums[line.substr(66)] = line.substr(0, 64);
    }
    std::vector<std::string> packages;
    for (const auto& e : fs::directory_iterator(g_release))
        if (e.path().filename() != "SHA256SUMS") packages.push_back(e.path().filename());
    EXPECT_GE(packages.size(), 5u);
    EXPECT_EQ(sums.size(), packages.size()) << "one line per package";
    for (const std::string& name : {kName + "-win64.msi", kName + "-win32.msi", kName + ".zip",
                                    kName + "-symbols.zip", std::string("quorvellanto_" QV_VERSION "_amd64.deb")})
        EXPECT_TRUE(sums.count(name)) << name;
    for (const std::string& name : packages) {
        const std::string actual = CommandOutput("sha256sum '" + g_release + "/" + name + "'").substr(0, 64);
        EXPECT_EQ(sums[name], actual) << name;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <release folder>\n", argv[0]);
        return 2;
    }
    g_release = fs::absolute(argv[1]).string();
    return RUN_ALL_TESTS();
}
