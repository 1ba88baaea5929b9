#include "wine_prefix.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "files.h"

namespace support {

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::map<std::string, std::string> WinePrefix::Env() const
{
    std::map<std::string, std::string> env = {{"WINEPREFIX", path_},
                                              {"WINEDEBUG", "-all"},
                                              {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                                              {"DISPLAY", display_},
                                              {"WINELOADER", loader_}};
    if (!home_.empty()) env["HOME"] = home_;
    return env;
}

// The suite's server stays up between its programs, and leaves on its own
// half a minute after the last of them has ended: a suite that was killed
// (its programs end with it) leaves no server behind for long.
constexpr const char* kServerPersistence = "-p30";

bool WinePrefix::Prepare(const std::string& path, const std::string& display, const std::string& logDir)
{
    path_ = path;
    display_ = display;
    logDir_ = logDir;
    if (!std::filesystem::exists(path_ + "/system.reg")) {
        // A new prefix is a copy of the loader's own made by wineboot once per
        // build tree (some 20 s each time saved; its server ended, so that
        // its registry is written out).
        const std::string blank = std::string(QV_E2E_WORK_DIR) + "/wine-template-" +
                                  std::filesystem::path(loader_).filename().string();
        if (!std::filesystem::exists(blank + "/system.reg")) {
            auto env = Env();
            env["WINEPREFIX"] = EnsureDir(blank);
            Process boot = Process::Start({loader_, "wineboot", "-i"}, env, logDir_ + "/wineboot.log");
            const bool booted = boot.WaitExit(Millis(180000)).has_value();
            // No crash handler: a program that crashes ends at once, so that
            // a case sees it instead of waiting out its bound (Wine's handler,
            // winedbg, holds the program up behind a dialog on the display).
            // The 32-bit view is there only where 32-bit code runs.
            for (const char* view : {"/reg:64", "/reg:32"}) {
                Process quiet = Process::Start({loader_, "reg", "delete",
                                                "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
                                                "/v", "Debugger", "/f", view},
                                               env, logDir_ + "/wineboot.log");
                quiet.WaitExit(Millis(60000));
            }
            Process wait = Process::Start({"wineserver", "-w"}, env, logDir_ + "/wineserver.log");
            if (!booted || !wait.WaitExit(Millis(60000)) || !std::filesystem::exists(blank + "/system.reg")) return false;
        }
        std::filesystem::remove_all(path_);
        if (RunTool({"cp", "-a", blank, path_}, {}, Millis(60000), logDir_ + "/wineboot.log").exitCode != 0) return false;
    }
    // Keep one server for the whole suite; each program start then costs less.
    Process server = Process::Start({"wineserver", kServerPersistence}, Env(), logDir_ + "/wineserver.log");
    server.WaitExit(Millis(10000));
    // Let a first start's updates (or a fresh prefix's) settle before timing
    // anything: a program run to its end, the one that sets the window mode.
    std::vector<std::string> warm = {loader_, "cmd", "/c", "exit"};
    if (unmanagedWindows_)
        warm = {loader_, "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"};
    return Process::Start(warm, Env(), logDir_ + "/warmup.log").WaitExit(Millis(180000)) == 0;
}

void WinePrefix::Shutdown()
{
    if (path_.empty()) return;
    Process stop = Process::Start({"wineserver", "-k"}, Env(), logDir_ + "/wineserver.log");
    stop.WaitExit(Millis(15000));
}

bool WinePrefix::SetDisplayScale(int dpi)
{
    // Both keys in one import: one program started, not two.
    char value[16];
    std::snprintf(value, sizeof value, "dword:%08x", dpi);
    const std::string file = logDir_ + "/scale.reg";
    WriteWholeFile(file, std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"LogPixels\"=") +
                             value + "\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\"
                             "Software\\Fonts]\r\n\"LogPixels\"=" + value + "\r\n");
    if (RunToEnd({"reg", "import", WindowsPath(file)}, Millis(30000), "scale.log") != 0) return false;
    // A server reads the scale once: stop it (its registry is saved), wait
    // for its end, and keep a new one for the suite. A program still starting
    // as the server is stopped can bring up a new one at once, with its
    // desktop: that one is stopped again.
    bool ended = false;
    for (int attempt = 0; attempt < 3 && !ended; ++attempt) {
        Shutdown();
        Process wait = Process::Start({"wineserver", "-w"}, Env(), logDir_ + "/wineserver.log");
        ended = wait.WaitExit(Millis(10000)).has_value();
    }
    if (!ended) return false;
    Process server = Process::Start({"wineserver", kServerPersistence}, Env(), logDir_ + "/wineserver.log");
    return server.WaitExit(Millis(10000)).has_value();
}

Process WinePrefix::Run(const std::vector<std::string>& args, const std::string& logName,
                        const std::map<std::string, std::string>& extraEnv) const
{
    std::vector<std::string> argv = {loader_};
    argv.insert(argv.end(), args.begin(), args.end());
    auto env = Env();
    for (const auto& [k, v] : extraEnv) env[k] = v;
    return Process::Start(argv, env, logDir_ + "/" + logName);
}

int WinePrefix::RunToEnd(const std::vector<std::string>& args, Millis timeout, const std::string& logName) const
{
    Process p = Run(args, logName);
    const auto code = p.WaitExit(timeout);
    return code.value_or(-1);
}

std::string WineLoaderFor(const std::string& arch)
{
    if (const char* chosen = std::getenv("WINELOADER"); chosen != nullptr && *chosen != '\0') return chosen;
    return arch == "win32" ? "/usr/lib/wine/wine" : "/usr/lib/wine/wine64";
}

std::string MakeSoundCaptureHome(const std::string& home)
{
    const std::string capture = EnsureDir(home) + "/capture.raw";
    WriteWholeFile(capture, "");
    WriteWholeFile(home + "/.asoundrc",
                   "pcm.!default { type file; slave.pcm \"null\"; file \"" + capture + "\"; format \"raw\" }\n");
    return capture;
}

}  // namespace support
