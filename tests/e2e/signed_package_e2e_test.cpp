// Signed release files: a throwaway self-signed certificate (openssl), the
// pair and its installer signed by scripts/lib/sign-files the way
// scripts/package signs them, and then checked as a user's system would:
// osslsigncode verifies each signature over the file as shipped (one changed
// byte fails it), the signed pair still passes the shipped-file checks
// (pe_check_tests), and the pair installed from the signed installer by
// Wine's msiexec runs from the system folder. 64-bit pair; own Xvfb and prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "harness.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr const char* kRenderer = "Quorvellanto_VC";

struct SignedStage {
    Xvfb xvfb;
    WinePrefix wine;
    XSession x;
    std::string workDir, logs, pair, msi, certificate, passwordFile;
    bool ready = false;
    std::string failure;
};
SignedStage g;

int Shell(const std::string& command)
{
    const int status = std::system((command + " >>'" + g.logs + "/commands.log' 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

int Sign(const std::string& file)
{
    return Shell("QV_SIGN_PKCS12=" + Quoted(g.certificate) + " QV_SIGN_PASSWORD_FILE=" + Quoted(g.passwordFile) + " " +
                 QV_PROJECT_DIR "/scripts/lib/sign-files " + Quoted(file));
}

int Verify(const std::string& file)
{
    // The certificate is its own root: trusted here as the CA of the check.
    return Shell("osslsigncode verify -CAfile " + Quoted(g.workDir + "/cert.pem") + " -in " + Quoted(file));
}

class SignedEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g.workDir = std::string(QV_E2E_WORK_DIR) + "/signed";
        fs::remove_all(g.workDir);
        g.logs = EnsureDir(g.workDir + "/logs");
        g.pair = EnsureDir(g.workDir + "/pair");
        g.certificate = g.workDir + "/cert.p12";
        g.passwordFile = g.workDir + "/password.txt";
        WriteWholeFile(g.passwordFile, "throwaway\n");
        const std::string w = g.workDir;
        if (Shell("openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj '/CN=Quorvellanto test signer' "
                  "-addext extendedKeyUsage=codeSigning -keyout '" + w + "/key.pem' -out '" + w + "/cert.pem'") != 0 ||
            Shell("openssl pkcs12 -export -inkey '" + w + "/key.pem' -in '" + w + "/cert.pem' -passout file:'" +
                  g.passwordFile + "' -out '" + g.certificate + "'") != 0) {
            g.failure = "openssl could not make the certificate (see " + g.logs + "/commands.log)";
            return;
        }
        for (const char* file : {"Quorvellanto.scr", "Quorvellanto.dll"}) {
            fs::copy_file(std::string(QV_PROJECT_DIR) + "/dist/win64/" + file, g.pair + "/" + file);
            if (Sign(g.pair + "/" + file) != 0) {
                g.failure = std::string("signing ") + file + " failed (see " + g.logs + "/commands.log)";
                return;
            }
        }
        g.msi = g.workDir + "/Quorvellanto-" QV_VERSION "-win64.msi";
        if (Shell(std::string(QV_PROJECT_DIR) + "/scripts/lib/make-msi win64 " QV_VERSION " " + Quoted(g.pair) + " " +
                  Quoted(g.msi)) != 0 ||
            Sign(g.msi) != 0) {
            g.failure = "the signed installer could not be made (see " + g.logs + "/commands.log)";
            return;
        }
        g.wine.SetLoader("/usr/lib/wine/wine64");
        if (!g.xvfb.Start(1024, 768, g.logs + "/xvfb.log") || !g.x.Open(g.xvfb.display())) {
            g.failure = "no X server";
            return;
        }
        if (!g.wine.Prepare(g.workDir + "/wineprefix", g.xvfb.display(), g.logs)) {
            g.failure = "Wine prefix could not be prepared";
            return;
        }
        g.ready = true;
    }
    void TearDown() override
    {
        g.wine.Shutdown();
        g.x.Close();
        g.xvfb.Stop();
    }
};

class Signed : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(g.ready) << g.failure; }
};

TEST_F(Signed, EverySignatureCoversTheFileAsShipped)
{
    for (const std::string& file : {g.pair + "/Quorvellanto.scr", g.pair + "/Quorvellanto.dll", g.msi}) {
        EXPECT_EQ(Verify(file), 0) << file << " does not verify";
        // One byte changed: in the code of a program, in the installer's
        // embedded cabinet (an installer's free sectors are not its content).
        std::string bytes = ReadWholeFile(file);
        const size_t cabinet = bytes.find("MSCF");
        const size_t at = file == g.msi ? cabinet + 200 : bytes.size() / 3;
        ASSERT_LT(at, bytes.size()) << file;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
        const std::string changed = g.workDir + "/changed-" + fs::path(file).filename().string();
        WriteWholeFile(changed, bytes);
        EXPECT_NE(Verify(changed), 0) << file << " still verifies with a changed byte";
    }
}

TEST_F(Signed, SignedPairPassesTheShippedFileChecks)
{
    const std::string command = std::string(QV_PROJECT_DIR) + "/build/host/tests/pe_check_tests " + Quoted(g.pair) +
                                " win64 --gtest_brief=1";
    EXPECT_EQ(Shell(command), 0) << "pe_check_tests on the signed pair (see " << g.logs << "/commands.log)";
}

TEST_F(Signed, PairFromTheSignedInstallerRuns)
{
    ASSERT_EQ(g.wine.RunToEnd({"msiexec", "/i", WindowsPath(g.msi), "/qn"}, Millis(120000), "msiexec.log"), 0);
    const std::string system32 = g.wine.DriveC() + "/windows/system32";
    for (const char* file : {"Quorvellanto.scr", "Quorvellanto.dll"})
        EXPECT_EQ(ReadWholeFile(system32 + "/" + file), ReadWholeFile(g.pair + "/" + file)) << file << " as signed";

    g.x.MovePointerTo(512, 384);
    Process saver = g.wine.Run({"C:\\windows\\system32\\Quorvellanto.scr", "/s"}, "saver.log");
    WaitUntil([&] { return g.x.FindMappedWindow(kRenderer).has_value() || !saver.Running(); }, Millis(30000));
    ASSERT_TRUE(g.x.FindMappedWindow(kRenderer).has_value()) << "no renderer window from the signed pair";
    std::this_thread::sleep_for(Millis(1200));
    g.x.MovePointerTo(515, 384);
    EXPECT_TRUE(WaitUntil([&] { return g.x.FindWindows(kRenderer).empty(); }, Millis(10000)));
    EXPECT_EQ(saver.WaitExit(Millis(10000)), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new SignedEnvironment);
    return RUN_ALL_TESTS();
}
