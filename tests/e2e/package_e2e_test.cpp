// The Windows Installer packages, installed, run, upgraded and removed for
// real by Wine's 64-bit msiexec in a prefix of this suite's own (made afresh
// each run), on an Xvfb of its own. The packages are made by
// scripts/lib/make-msi, the step scripts/package uses, from dist/. The 32-bit
// package installs here too (the installer engine is 64-bit), into SysWOW64,
// where the prefix has a 32-bit half (SysWOW64 and the registry's 32-bit
// view, which Wine makes only when wine32 is installed); its programs run only
// where 32-bit code runs. The tests that need either skip themselves elsewhere.
// Signed release files too: a throwaway self-signed certificate (openssl), the
// 64-bit pair and its installer signed by scripts/lib/sign-files the way
// scripts/package signs them, checked as a user's system would: osslsigncode
// verifies each signature over the file as shipped (one changed byte fails
// it), the signed pair passes the shipped-file checks, and the pair installed
// from the signed installer runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#include <tuple>

#include <sys/wait.h>
#include <unistd.h>

#include "stage.h"

using namespace support;
namespace fs = std::filesystem;

namespace {

constexpr const char* kOlderVersion = "0.9.0";
constexpr const char* kUninstallKey = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The packages under test, and why the 32-bit one cannot be installed into
// the stage's prefix (empty when it can).
struct Packages {
    std::string current, rebuild, older, current32;
    std::string signedPair, signedMsi, certificate, passwordFile;  // the signed release files
    std::string noWow64Reason;
    std::string failure;
};
Packages g;
Stage& stage = TheStage();

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
    if (!fs::exists(stage.wine.DriveC() + "/windows/syswow64/kernel32.dll"))
        return "the Wine prefix has no 32-bit system in SysWOW64 (Wine made it without wine32)";
    // Asked twice: Wine's reg has been seen to fail once on a key that is there.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (stage.wine.RunToEnd({"reg", "query", std::string("HKLM\\Software\\Wow6432Node\\") + kUninstallKey},
                            Millis(60000), "reg-wow64.log") == 0)
            return "";
    }
    return "the Wine prefix has no 32-bit registry view (Wine made it without wine32)";
}

// A shell command, its output into the suite's log; its exit code.
int Shell(const std::string& command)
{
    const int status = std::system((command + " >>'" + stage.logDir + "/commands.log' 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string MakeMsi(const std::string& version, const std::string& name, const std::string& arch = "win64")
{
    const std::string out = stage.workDir + "/packages/" + name;
    return Shell(QV_PROJECT_DIR "/scripts/lib/make-msi " + arch + " " + version + " " +
                 Quoted(QV_PROJECT_DIR "/dist/" + arch) + " " + Quoted(out)) == 0 && fs::exists(out) ? out : "";
}

int Sign(const std::string& file)
{
    return Shell("QV_SIGN_PKCS12=" + Quoted(g.certificate) + " QV_SIGN_PASSWORD_FILE=" + Quoted(g.passwordFile) + " " +
                 QV_PROJECT_DIR "/scripts/lib/sign-files " + Quoted(file));
}

int Verify(const std::string& file)
{
    // The certificate is its own root: trusted here as the CA of the check.
    return Shell("osslsigncode verify -CAfile " + Quoted(stage.workDir + "/cert.pem") + " -in " + Quoted(file));
}

// The throwaway certificate, the signed pair and the signed installer; why not, when they could not be made.
std::string MakeSignedFiles()
{
    const std::string w = stage.workDir;
    g.signedPair = EnsureDir(w + "/signed-pair");
    g.certificate = w + "/cert.p12";
    g.passwordFile = w + "/password.txt";
    WriteWholeFile(g.passwordFile, "throwaway\n");
    if (Shell("openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj '/CN=Quorvellanto test signer' "
              "-addext extendedKeyUsage=codeSigning -keyout '" + w + "/key.pem' -out '" + w + "/cert.pem'") != 0 ||
        Shell("openssl pkcs12 -export -inkey '" + w + "/key.pem' -in '" + w + "/cert.pem' -passout file:'" +
              g.passwordFile + "' -out '" + g.certificate + "'") != 0)
        return "openssl could not make the certificate (see " + stage.logDir + "/commands.log)";
    for (const char* file : {"Quorvellanto.scr", "Quorvellanto.dll"}) {
        fs::copy_file(std::string(QV_PROJECT_DIR) + "/dist/win64/" + file, g.signedPair + "/" + file);
        if (Sign(g.signedPair + "/" + file) != 0) return std::string("signing ") + file + " failed (see commands.log)";
    }
    g.signedMsi = w + "/signed/Quorvellanto-" QV_VERSION "-win64.msi";
    if (Shell(std::string(QV_PROJECT_DIR) + "/scripts/lib/make-msi win64 " QV_VERSION " " + Quoted(g.signedPair) + " " +
              Quoted(g.signedMsi)) != 0 || Sign(g.signedMsi) != 0)
        return "the signed installer could not be made (see " + stage.logDir + "/commands.log)";
    return "";
}

// Set up after the stage (a prefix made afresh: nothing installed before).
class PackageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!stage.ready) return;
        g.current = MakeMsi(QV_VERSION, "Quorvellanto-" QV_VERSION "-win64.msi");
        g.rebuild = MakeMsi(QV_VERSION, "rebuild/Quorvellanto-" QV_VERSION "-win64.msi");
        g.older = MakeMsi(kOlderVersion, std::string("Quorvellanto-") + kOlderVersion + "-win64.msi");
        g.current32 = MakeMsi(QV_VERSION, "Quorvellanto-" QV_VERSION "-win32.msi", "win32");
        if (g.current.empty() || g.rebuild.empty() || g.older.empty() || g.current32.empty())
            g.failure = "make-msi failed (see " + stage.logDir + "/commands.log)";
        if (g.failure.empty()) g.failure = MakeSignedFiles();
        g.noWow64Reason = NoWow64Reason();
    }
};

struct UninstallEntry {
    std::string productCode, displayVersion, publisher;
};

class Package : public StageTest {
protected:
    std::string system32, syswow64;

    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(g.failure.empty()) << g.failure;
        system32 = stage.wine.DriveC() + "/windows/system32";
        syswow64 = stage.wine.DriveC() + "/windows/syswow64";
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
        return stage.wine.RunToEnd({"msiexec", action, target, "/qn"}, Millis(120000), "msiexec.log");
    }

    // The installed-programs entries named Quorvellanto, in the registry's
    // 64-bit view and its 32-bit view (a prefix without one has no entries there).
    std::vector<UninstallEntry> Entries()
    {
        std::vector<UninstallEntry> found;
        for (const char* view : {"", "Wow6432Node\\"}) {
            if (*view != '\0' && !g.noWow64Reason.empty()) continue;
            const std::string log = stage.logDir + "/reg.log";
            const std::string key = std::string("HKLM\\Software\\") + view + kUninstallKey;
            // Wine's reg once exited 1 on this key (present since the prefix was made) in
            // some fifty queries right after an msiexec; it is asked a second time then.
            int code = -1;
            for (int attempt = 0; attempt < 2 && code != 0; ++attempt) {
                if (attempt > 0) std::this_thread::sleep_for(Millis(500));
                fs::remove(log);
                code = stage.wine.RunToEnd({"reg", "query", key, "/s"}, Millis(60000), "reg.log");
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
                 stage.wine.DriveC(), fs::directory_options::skip_permission_denied)) {
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

    // Starts the installed screen saver as Windows would (/s), reads the rings
    // off the screen and ends the run with a 3-pixel mouse move.
    void ExpectRunEndsOnAThreePixelMove(const std::string& saverPath)
    {
        stage.x.MovePointerTo(512, 384);
        Process saver = stage.wine.Run({saverPath, "/s"}, "saver.log");
        ASSERT_TRUE(WaitForRenderer(saver)) << "the renderer's window did not appear";
        const auto up = Clock::now();
        // Frames drawn before the screen is read: a loaded machine can take
        // a while over the first ones.
        std::this_thread::sleep_for(Millis(1200));
        WaitUntil([&] {
            const ScreenShot shot = stage.x.Grab();
            return CountLit(shot, {0, 0, shot.width, shot.height}).lit > 8000 || !saver.Running();
        }, Millis(10000));
        const ScreenShot screen = stage.x.Grab();
        ExpectRingsIn(screen, {0, 0, screen.width, screen.height}, 8000, 80000, 60);
        EXPECT_EQ(EndRunWithMouse(saver, nullptr, up), 0) << "the saver ends after its renderer";
    }
};

TEST_F(Package, QuietInstallPutsThePairIntoSystem32WithAnEntry)
{
    ASSERT_EQ(Msiexec("/i", g.current), 0);
    ExpectInstalledOnce(QV_VERSION);
    EXPECT_FALSE(fs::exists(syswow64 + "/Quorvellanto.scr")) << "the 64-bit pair is not redirected";
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

TEST_F(Package, EverySignatureCoversTheFileAsShipped)
{
    for (const std::string& file : {g.signedPair + "/Quorvellanto.scr", g.signedPair + "/Quorvellanto.dll", g.signedMsi}) {
        EXPECT_EQ(Verify(file), 0) << file << " does not verify";
        // One byte changed: in the code of a program, in the installer's
        // embedded cabinet (an installer's free sectors are not its content).
        std::string bytes = ReadWholeFile(file);
        const size_t at = file == g.signedMsi ? bytes.find("MSCF") + 200 : bytes.size() / 3;
        ASSERT_LT(at, bytes.size()) << file;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
        const std::string changed = stage.workDir + "/changed-" + fs::path(file).filename().string();
        WriteWholeFile(changed, bytes);
        EXPECT_NE(Verify(changed), 0) << file << " still verifies with a changed byte";
    }
}

TEST_F(Package, SignedPairPassesTheShippedFileChecks)
{
    EXPECT_EQ(Shell(std::string(QV_PROJECT_DIR) + "/build/host/tests/pe_check_tests " + Quoted(g.signedPair) +
                    " win64 --gtest_brief=1"), 0)
        << "pe_check_tests on the signed pair (see " << stage.logDir << "/commands.log)";
}

TEST_F(Package, PairFromTheSignedInstallerRuns)
{
    ASSERT_EQ(Msiexec("/i", g.signedMsi), 0);
    for (const char* file : {"Quorvellanto.scr", "Quorvellanto.dll"})
        EXPECT_EQ(ReadWholeFile(system32 + "/" + file), ReadWholeFile(g.signedPair + "/" + file)) << file << " as signed";
    ExpectRunEndsOnAThreePixelMove("C:\\windows\\system32\\Quorvellanto.scr");
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
    RegisterStage({"package", true, true, "win64"});  // a 64-bit package needs the 64-bit msiexec
    ::testing::AddGlobalTestEnvironment(new PackageEnvironment);
    return RUN_ALL_TESTS();
}
