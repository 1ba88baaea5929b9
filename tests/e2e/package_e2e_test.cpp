// The Windows Installer packages, installed, run, upgraded and removed for
// real by Wine's 64-bit msiexec in a prefix of this suite's own (made afresh
// each run), on an Xvfb of its own. The packages are made by
// scripts/lib/make-msi, the step scripts/package uses, from dist/. The 32-bit
// package installs here too (the installer engine is 64-bit), into SysWOW64,
// where the prefix has a 32-bit half (SysWOW64 and the registry's 32-bit
// view, which Wine makes only when wine32 is installed); its programs run only
// where 32-bit code runs. The tests that need either skip themselves elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#include <tuple>

#include <unistd.h>

#include "harness.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr const char* kRenderer = "Quorvellanto_VC";
constexpr const char* kOlderVersion = "0.9.0";
constexpr const char* kUninstallKey = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The packages under test and the machinery that installs them.
struct PackageStage {
    Xvfb xvfb;
    WinePrefix wine;
    XSession x;
    std::string workDir, logs, current, rebuild, older, current32;
    // Why the 32-bit package cannot be installed into this prefix (empty when it can).
    std::string noWow64Reason;
    bool ready = false;
    std::string failure;
};
PackageStage g;

std::string MakeMsi(const std::string& version, const std::string& name, const std::string& arch = "win64")
{
    const std::string out = g.workDir + "/packages/" + name;
    const std::string command = std::string(QV_PROJECT_DIR) + "/scripts/lib/make-msi " + arch + " " + version + " '" +
                                QV_PROJECT_DIR + "/dist/" + arch + "' '" + out + "' >>'" + g.logs + "/make-msi.log' 2>&1";
    return std::system(command.c_str()) == 0 && fs::exists(out) ? out : "";
}

// Asks to treat the machine as one that runs 64-bit code only (scripts/lib/arch-probe reads it too).
bool Win64OnlyAsked()
{
    const char* value = std::getenv("QV_WIN64_ONLY");
    return value != nullptr && std::string(value) == "1";
}
constexpr const char* kWin64OnlyReason = "QV_WIN64_ONLY=1 asks to treat this machine as one that runs 64-bit code only";

// Why the 32-bit pair cannot run here (empty when it can).
std::string Win32SkipReason()
{
    if (Win64OnlyAsked()) return kWin64OnlyReason;
    const std::string probe = std::string(QV_PROJECT_DIR) + "/scripts/lib/arch-probe";
    if (std::system(probe.c_str()) != 0) return "this machine does not execute 32-bit x86 code";
    if (access("/usr/lib/wine/wine", X_OK) != 0) return "wine32 is not installed";
    return "";
}

// Why the prefix has no 32-bit half to install the 32-bit package into (empty when it has).
std::string NoWow64Reason()
{
    if (Win64OnlyAsked()) return kWin64OnlyReason;
    // Wine without wine32 still makes an empty SysWOW64 and a few keys of the
    // 32-bit view, but no 32-bit system and no installed-programs key there.
    if (!fs::exists(g.wine.DriveC() + "/windows/syswow64/kernel32.dll"))
        return "the Wine prefix has no 32-bit system in SysWOW64 (Wine made it without wine32)";
    // Asked twice: Wine's reg has been seen to fail once on a key that is there.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (g.wine.RunToEnd({"reg", "query", std::string("HKLM\\Software\\Wow6432Node\\") + kUninstallKey},
                            Millis(60000), "reg-wow64.log") == 0)
            return "";
    }
    return "the Wine prefix has no 32-bit registry view (Wine made it without wine32)";
}

class PackageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g.workDir = std::string(QV_E2E_WORK_DIR) + "/package";
        fs::remove_all(g.workDir);  // nothing installed before: a prefix made afresh
        g.logs = EnsureDir(g.workDir + "/logs");
        g.current = MakeMsi(QV_VERSION, "Quorvellanto-" QV_VERSION "-win64.msi");
        g.rebuild = MakeMsi(QV_VERSION, "rebuild/Quorvellanto-" QV_VERSION "-win64.msi");
        g.older = MakeMsi(kOlderVersion, std::string("Quorvellanto-") + kOlderVersion + "-win64.msi");
        g.current32 = MakeMsi(QV_VERSION, "Quorvellanto-" QV_VERSION "-win32.msi", "win32");
        if (g.current.empty() || g.rebuild.empty() || g.older.empty() || g.current32.empty()) {
            g.failure = "make-msi failed (see " + g.logs + "/make-msi.log)";
            return;
        }
        g.wine.SetLoader("/usr/lib/wine/wine64");  // a 64-bit package needs the 64-bit msiexec
        if (!g.xvfb.Start(1024, 768, g.logs + "/xvfb.log") || !g.x.Open(g.xvfb.display())) {
            g.failure = "no X server";
            return;
        }
        if (!g.wine.Prepare(g.workDir + "/wineprefix", g.xvfb.display(), g.logs)) {
            g.failure = "Wine prefix could not be prepared";
            return;
        }
        g.noWow64Reason = NoWow64Reason();
        g.ready = true;
    }
    void TearDown() override
    {
        g.wine.Shutdown();
        g.x.Close();
        g.xvfb.Stop();
    }
};

struct UninstallEntry {
    std::string productCode, displayVersion, publisher;
};

class Package : public ::testing::Test {
protected:
    std::string system32, syswow64;

    void SetUp() override
    {
        ASSERT_TRUE(g.ready) << g.failure;
        system32 = g.wine.DriveC() + "/windows/system32";
        syswow64 = g.wine.DriveC() + "/windows/syswow64";
        for (const UninstallEntry& e : Entries()) ASSERT_EQ(Msiexec("/x", e.productCode), 0) << "clean start";
        fs::remove(system32 + "/Quorvellanto.ini");
        ASSERT_TRUE(Entries().empty());
        ASSERT_EQ(Copies("Quorvellanto.scr") + Copies("Quorvellanto.dll"), 0);
    }

    // A quiet msiexec /i or /x of a package file or product code; its exit
    // code (the loader passes on the low byte): 0 is success.
    int Msiexec(const std::string& action, const std::string& packageOrCode)
    {
        const std::string target = packageOrCode.front() == '{' ? packageOrCode : WindowsPath(packageOrCode);
        return g.wine.RunToEnd({"msiexec", action, target, "/qn"}, Millis(120000), "msiexec.log");
    }

    // The installed-programs entries named Quorvellanto, in the registry's
    // 64-bit view and its 32-bit view (a prefix without one has no entries there).
    std::vector<UninstallEntry> Entries()
    {
        std::vector<UninstallEntry> found;
        for (const char* view : {"", "Wow6432Node\\"}) {
            if (*view != '\0' && !g.noWow64Reason.empty()) continue;
            const std::string log = g.logs + "/reg.log";
            const std::string key = std::string("HKLM\\Software\\") + view + kUninstallKey;
            // Wine's reg once exited 1 on this key (present since the prefix was made) in
            // some fifty queries right after an msiexec; it is asked a second time then.
            int code = -1;
            for (int attempt = 0; attempt < 2 && code != 0; ++attempt) {
                if (attempt > 0) std::this_thread::sleep_for(Millis(500));
                fs::remove(log);
                code = g.wine.RunToEnd({"reg", "query", key, "/s"}, Millis(60000), "reg.log");
            }
            EXPECT_EQ(code, 0) << "reg query " << key << ":\n" << ReadWholeFile(log);
            ParseEntries(ReadWholeFile(log), found);
        }
        return found;
    }

    static void ParseEntries(const std::string& text, std::vector<UninstallEntry>& found)
    {
        std::istringstream in(text);
        std::string line, key;
        std::map<std::string, std::string> values;
        auto finish = [&] {
            if (values["DisplayName"] == "Quorvellanto")
                found.push_back({key.substr(key.rfind('\\') + 1), values["DisplayVersion"], values["Publisher"]});
            values.clear();
        };
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("HKEY_", 0) == 0) {
                finish();
                key = line;
                continue;
            }
            // "    Name    REG_SZ    Value"
            std::istringstream fields(line);
            std::string name, type;
            if (!(fields >> name >> type) || type.rfind("REG_", 0) != 0) continue;
            std::string value;
            std::getline(fields, value);
            value.erase(0, value.find_first_not_of(' '));
            values[name] = value;
        }
        finish();
    }

    // Files of that name anywhere on drive C.
    int Copies(const std::string& file) const
    {
        int count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(
                 g.wine.DriveC(), fs::directory_options::skip_permission_denied)) {
            if (entry.path().filename() == file && !entry.is_symlink()) ++count;
        }
        return count;
    }

    // One copy of the pair in its system folder, one entry.
    void ExpectInstalledOnce(const std::string& version, const std::string& arch = "win64")
    {
        const std::string folder = arch == "win64" ? system32 : syswow64;
        for (const char* file : {"Quorvellanto.scr", "Quorvellanto.dll"}) {
            EXPECT_EQ(ReadWholeFile(folder + "/" + file), ReadWholeFile(std::string(QV_PROJECT_DIR) + "/dist/" + arch + "/" + file))
                << file << " in " << folder;
            EXPECT_EQ(Copies(file), 1) << file;
        }
        const auto entries = Entries();
        ASSERT_EQ(entries.size(), 1u) << "one installed-programs entry";
        EXPECT_EQ(entries[0].displayVersion, version);
        EXPECT_EQ(entries[0].publisher, "Ombrix");
    }
};

TEST_F(Package, QuietInstallPutsThePairIntoSystem32WithAnEntry)
{
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    ExpectInstalledOnce(QV_VERSION);
    EXPECT_FALSE(fs::exists(syswow64 + "/Quorvellanto.scr")) << "the 64-bit pair is not redirected";
}

// Starts the installed screen saver as Windows would (/s), reads the rings off
// the screen and ends the run with a 3-pixel mouse move.
void ExpectRunEndsOnAThreePixelMove(const std::string& saverPath)
{
    g.x.MovePointerTo(512, 384);
    Process saver = g.wine.Run({saverPath, "/s"}, "saver.log");
    ASSERT_TRUE(WaitUntil([&] { return g.x.FindMappedWindow(kRenderer).has_value() || !saver.Running(); },
                          Millis(30000)));
    ASSERT_TRUE(g.x.FindMappedWindow(kRenderer).has_value()) << "the renderer's window did not appear";
    std::this_thread::sleep_for(Millis(1200));

    int width = 0, height = 0;
    const auto rgb = g.x.GrabScreen(width, height);
    ASSERT_EQ(rgb.size(), static_cast<size_t>(width) * height * 3);
    long lit = 0, coloured = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        const int hi = std::max({rgb[i], rgb[i + 1], rgb[i + 2]}), lo = std::min({rgb[i], rgb[i + 1], rgb[i + 2]});
        if (hi == 0) continue;
        ++lit;
        if (hi - lo > 25) ++coloured;
    }
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0) << "black corner";
    EXPECT_GT(lit, 8000) << "the rings' lit spheres";
    EXPECT_LT(lit, 80000);
    EXPECT_GT(coloured, lit / 3) << "in their rings' hues";

    g.x.MovePointerTo(515, 384);
    EXPECT_TRUE(WaitUntil([&] { return g.x.FindWindows(kRenderer).empty(); }, Millis(10000)))
        << "the renderer did not end on a 3-pixel move";
    EXPECT_EQ(saver.WaitExit(Millis(10000)), 0) << "the saver ends after its renderer";
}

TEST_F(Package, InstalledSaverRunsFromSystem32AndEndsOnAThreePixelMove)
{
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    ExpectRunEndsOnAThreePixelMove("C:\\windows\\system32\\Quorvellanto.scr");
}

TEST_F(Package, Installed32BitSaverRunsFromSysWow64)
{
    if (!g.noWow64Reason.empty()) GTEST_SKIP() << g.noWow64Reason;
    if (const std::string reason = Win32SkipReason(); !reason.empty()) GTEST_SKIP() << reason;
    ASSERT_EQ(Msiexec("/i", g.current32), 0);
    ExpectRunEndsOnAThreePixelMove("C:\\windows\\syswow64\\Quorvellanto.scr");
}

TEST_F(Package, SameVersionAgainLeavesOneCopyAndOneEntry)
{
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    const std::string first = Entries().at(0).productCode;
    EXPECT_EQ(Msiexec("/i", g.current), 0) << "the same package again";
    ExpectInstalledOnce(QV_VERSION);
    EXPECT_EQ(Msiexec("/i", g.rebuild), 0) << "a rebuild of the same version (a new product code)";
    ExpectInstalledOnce(QV_VERSION);
    EXPECT_NE(Entries().at(0).productCode, first) << "the rebuild replaced the first";
}

TEST_F(Package, UpgradeFromALowerVersionReplacesItInPlace)
{
    ASSERT_EQ(Msiexec("/i", g.older), 0);
    ExpectInstalledOnce(kOlderVersion);
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    ExpectInstalledOnce(QV_VERSION);
}

TEST_F(Package, LowerVersionDoesNotReplaceAnInstalledHigherOne)
{
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    EXPECT_NE(Msiexec("/i", g.older), 0) << "a downgrade is refused";
    ExpectInstalledOnce(QV_VERSION);
}

TEST_F(Package, QuietUninstallRemovesThePairAndTheEntryAndKeepsTheSettings)
{
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    const std::string settings = "[Section]\r\nBGM\x8B\xE6\x95\xAA= 2\r\n";
    WriteWholeFile(system32 + "/Quorvellanto.ini", settings);
    ASSERT_EQ(Msiexec("/x", g.current), 0);
    EXPECT_FALSE(fs::exists(system32 + "/Quorvellanto.scr"));
    EXPECT_FALSE(fs::exists(system32 + "/Quorvellanto.dll"));
    EXPECT_EQ(Copies("Quorvellanto.scr") + Copies("Quorvellanto.dll"), 0);
    EXPECT_TRUE(Entries().empty()) << "the installed-programs entry is gone";
    EXPECT_EQ(ReadWholeFile(system32 + "/Quorvellanto.ini"), settings) << "the user's settings stay";
}

TEST_F(Package, ThirtyTwoBitPackageGoesToSysWow64AndEitherPairReplacesTheOther)
{
    if (!g.noWow64Reason.empty()) GTEST_SKIP() << g.noWow64Reason;
    ASSERT_EQ(Msiexec("/i", g.current32), 0);
    ExpectInstalledOnce(QV_VERSION, "win32");
    EXPECT_FALSE(fs::exists(system32 + "/Quorvellanto.scr")) << "redirected to SysWOW64";
    ASSERT_EQ(Msiexec("/i", g.current), 0) << "the 64-bit package over the 32-bit one";
    ExpectInstalledOnce(QV_VERSION, "win64");
    ASSERT_EQ(Msiexec("/i", g.current32), 0) << "and back";
    ExpectInstalledOnce(QV_VERSION, "win32");
    ASSERT_EQ(Msiexec("/x", g.current32), 0);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Copies("Quorvellanto.scr") + Copies("Quorvellanto.dll"), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    unsigned major = 0, minor = 0, patch = 0, oldMajor = 0, oldMinor = 0, oldPatch = 0;
    std::sscanf(QV_VERSION, "%u.%u.%u", &major, &minor, &patch);
    std::sscanf(kOlderVersion, "%u.%u.%u", &oldMajor, &oldMinor, &oldPatch);
    if (std::tie(oldMajor, oldMinor, oldPatch) >= std::tie(major, minor, patch)) {
        std::fprintf(stderr, "the upgrade test's older version %s is not below %s\n", kOlderVersion, QV_VERSION);
        return 2;
    }
    ::testing::AddGlobalTestEnvironment(new PackageEnvironment);
    return RUN_ALL_TESTS();
}
