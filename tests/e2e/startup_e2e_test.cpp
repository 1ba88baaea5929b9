// What a screen-saver run loads, under Wine on the suite's Xvfb: the renderer
// is started before anything a run does not need first, the window manager
// (user32, gdi32) included. A run without music
// never loads the dialog's libraries (comdlg32, shell32) nor winmm, and leaves
// the per-user settings folder uncreated; music loads winmm once the renderer
// runs; a run whose winmm cannot be loaded goes on silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <thread>

#include "saver_stage.h"

using namespace support;
namespace fs = std::filesystem;

namespace {

const std::string kProgramFolder = "C:\\Program Files\\Quorvellanto Startup";

// The Windows DLLs mapped into a running Wine process, in lower case.
std::vector<std::string> MappedDlls(pid_t pid)
{
    std::vector<std::string> dlls;
    std::string maps = ReadWholeFile("/proc/" + std::to_string(pid) + "/maps");
    std::transform(maps.begin(), maps.end(), maps.begin(), [](unsigned char c) { return std::tolower(c); });
    size_t at = 0;
    while ((at = maps.find(".dll", at)) != std::string::npos) {
        const size_t start = maps.find_last_of("/\\ ", at) + 1;
        const std::string name = maps.substr(start, at + 4 - start);
        if (std::find(dlls.begin(), dlls.end(), name) == dlls.end()) dlls.push_back(name);
        at += 4;
    }
    return dlls;
}

bool Maps(const std::vector<std::string>& dlls, const std::string& name)
{
    return std::find(dlls.begin(), dlls.end(), name) != dlls.end();
}

// From Wine's trace of a run (+loaddll,+process): the DLLs the thread that
// started the renderer had loaded before it did, in lower case, and whether
// it started it at all. Each trace line begins with its thread's id.
struct LoadsBeforeRenderer {
    bool started = false;
    std::vector<std::string> dlls;
    bool loadedLater = false;  // the same thread loaded user32 afterwards
};

LoadsBeforeRenderer TraceUpToRenderer(std::string trace)
{
    std::transform(trace.begin(), trace.end(), trace.begin(), [](unsigned char c) { return std::tolower(c); });
    LoadsBeforeRenderer result;
    const size_t start = trace.find("createprocessinternalw app l\"c:\\\\program files\\\\quorvellanto startup\\\\quorvellanto.dll");
    if (start == std::string::npos) return result;
    const size_t lineStart = trace.rfind('\n', start) + 1;
    const std::string thread = trace.substr(lineStart, trace.find(':', lineStart) - lineStart + 1);
    result.started = true;
    std::istringstream lines(trace);
    std::string line;
    size_t at = 0;
    while (std::getline(lines, line)) {
        const bool before = at < lineStart;
        at += line.size() + 1;
        if (line.rfind(thread, 0) != 0 || line.find(":loaddll:") == std::string::npos) continue;
        const size_t loaded = line.find("loaded l\"");
        const size_t end = loaded == std::string::npos ? loaded : line.find('"', loaded + 9);
        if (end == std::string::npos) continue;
        const size_t name = line.find_last_of("\\", end) + 1;
        const std::string file = line.substr(name, end - name);
        if (before) result.dlls.push_back(file);
        else if (file == "user32.dll") result.loadedLater = true;
    }
    return result;
}

class Startup : public StageTest {
protected:
    std::string folder;

    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kRendererTitle).empty() && !QvTool({"find", kRunFormTitle}); },
                              Millis(15000)))
            << "a run of an earlier test is still up";
        folder = InstallPair("Quorvellanto Startup");
        for (const std::string& user : UserFolders()) fs::remove_all(user);
        stage.x.MovePointerTo(512, 384);
    }

    // Every "<application data>\Quorvellanto" of the prefix's users.
    std::vector<std::string> UserFolders() const
    {
        std::vector<std::string> found;
        for (const std::string& appData : AppDataFolders())
            if (fs::exists(appData + "/Quorvellanto")) found.push_back(appData + "/Quorvellanto");
        return found;
    }

    void WriteWavSettings()
    {
        WriteWholeFile(folder + "/Quorvellanto.ini", SettingsText(2, 0, WindowsPath(Fixture("tone 500ms.wav"))));
    }

    Process StartRun(const std::map<std::string, std::string>& env = {})
    {
        return stage.wine.Run({kProgramFolder + "\\Quorvellanto.scr", "/s"}, "startup.log", env);
    }
};

TEST_F(Startup, RunWithoutMusicLoadsNoDialogShellOrMusicLibrary)
{
    const long long from = std::max(0LL, FileSizeOf(stage.logDir + "/startup.log"));
    Process saver = StartRun({{"WINEDEBUG", "+loaddll,+process"}});
    ASSERT_TRUE(WaitForRenderer(saver)) << "no renderer window";
    std::this_thread::sleep_for(Millis(700));  // the run form and its first watch are up
    const auto dlls = MappedDlls(saver.pid());
    ASSERT_TRUE(Maps(dlls, "user32.dll")) << "the saver's mapped DLLs cannot be read";
    for (const char* unneeded : {"comdlg32.dll", "shell32.dll", "winmm.dll", "comctl32.dll", "ole32.dll"})
        EXPECT_FALSE(Maps(dlls, unneeded)) << unneeded << " loaded by a run without music";
    EXPECT_TRUE(UserFolders().empty()) << "a run that saves nothing created the per-user folder";
    EXPECT_EQ(EndRunWithMouse(saver), 0);

    // The renderer was started before the window manager was loaded.
    const LoadsBeforeRenderer trace = TraceUpToRenderer(ReadWholeFile(stage.logDir + "/startup.log", from));
    ASSERT_TRUE(trace.started) << "no start of the renderer in Wine's trace";
    EXPECT_TRUE(Maps(trace.dlls, "kernel32.dll")) << "the trace lists no DLL the saver loaded";
    for (const char* later : {"user32.dll", "gdi32.dll", "winex11.drv", "imm32.dll"})
        EXPECT_FALSE(Maps(trace.dlls, later)) << later << " loaded before the renderer was started";
    EXPECT_TRUE(trace.loadedLater) << "user32 was never loaded by the thread that started the renderer";
}

// The run's own windows wait for the renderer to say that its windows are up
// (bounded): a renderer that never says so (qvtool, staying up 5 s) holds the
// run form back for the bound, and the run still ends with it.
TEST_F(Startup, RunFormWaitsForTheRendererToSayItsWindowsAreUp)
{
    fs::copy_file(stage.toolsDir + "/qvtool.exe", folder + "/Quorvellanto.dll", fs::copy_options::overwrite_existing);
    Process saver = StartRun({{"QVTOOL_LINGER_MS", "5000"}});
    std::this_thread::sleep_for(Millis(1000));
    EXPECT_FALSE(QvTool({"find", kRunFormTitle})) << "the run form came up before the renderer's windows";
    EXPECT_TRUE(WaitUntil([&] { return QvTool({"find", kRunFormTitle}); }, Millis(10000)))
        << "no run form after the bound";
    ExpectExit(saver, 0, Millis(15000));
}

TEST_F(Startup, MusicLoadsWinmmOnceTheRendererRuns)
{
    WriteWavSettings();
    Process saver = StartRun();
    ASSERT_TRUE(WaitForRenderer(saver));
    EXPECT_TRUE(WaitUntil([&] { return Maps(MappedDlls(saver.pid()), "winmm.dll"); }, Millis(5000)))
        << "the WAV run never loaded winmm";
    EXPECT_EQ(EndRunWithMouse(saver), 0);
}

TEST_F(Startup, RunWhoseWinmmCannotLoadGoesOnSilent)
{
    WriteWavSettings();
    Process saver = StartRun({{"WINEDLLOVERRIDES", "mscoree,mshtml=;winmm=d"}});
    ASSERT_TRUE(WaitForRenderer(saver)) << "no renderer window without winmm";
    std::this_thread::sleep_for(Millis(300));
    EXPECT_EQ(LoudSamples(Listen(Millis(1000))), 0) << "sound without winmm";
    EXPECT_TRUE(saver.Running()) << "the run ended without winmm";
    EXPECT_FALSE(Maps(MappedDlls(saver.pid()), "winmm.dll"));
    EXPECT_EQ(EndRunWithMouse(saver), 0);
}

}  // namespace
