// Runs a command on a stage of its own, set up the way the end-to-end suites
// set up theirs: an Xvfb (or the caller's display), a Wine prefix for
// WINELOADER's architecture, a HOME whose sound goes into a file. Used by the
// scripts (demo, benchmarks, the Windows-side suites), so that the stage is
// written once. Stops only what it started; passes on the command's exit code.
//
//   qvstage --work DIR [--display-or-xvfb] [--wine [--unmanaged-windows]] [--sound] -- command [args...]
//
// The command gets DISPLAY, and with --wine WINEPREFIX (DIR/wineprefix-ARCH),
// WINELOADER, WINEDEBUG, WINEDLLOVERRIDES; with --sound HOME (DIR/home) and
// QV_SOUND_CAPTURE; and QV_STAGE=1 always. --unmanaged-windows: the prefix's
// windows are not left to a window manager (none runs on the stage).
#include "wine_prefix.h"
#include "x_display.h"

#include <X11/Xlib.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

using namespace support;

namespace {

bool DisplayWorks(const char* name)
{
    if (name == nullptr || *name == '\0') return false;
    Display* display = XOpenDisplay(name);
    if (display != nullptr) XCloseDisplay(display);
    return display != nullptr;
}

int RunInherited(char** argv)
{
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "qvstage: cannot start %s\n", argv[0]);
        return 127;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string work;
    bool reuseDisplay = false, wine = false, sound = false, unmanaged = false;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        const std::string option = argv[first];
        if (option == "--work" && first + 1 < argc) work = argv[++first];
        else if (option == "--display-or-xvfb") reuseDisplay = true;
        else if (option == "--wine") wine = true;
        else if (option == "--unmanaged-windows") unmanaged = true;
        else if (option == "--sound") sound = true;
        else {
            std::fprintf(stderr, "qvstage: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (work.empty() || first + 1 >= argc) {
        std::fprintf(stderr, "usage: qvstage --work DIR [--display-or-xvfb] [--wine [--unmanaged-windows]] [--sound] -- command...\n");
        return 2;
    }
    const std::string logs = EnsureDir(work + "/logs");

    Xvfb xvfb;
    std::string display = reuseDisplay && DisplayWorks(std::getenv("DISPLAY")) ? std::getenv("DISPLAY") : "";
    if (display.empty()) {
        if (!xvfb.Start(1024, 768, logs + "/xvfb.log")) {
            std::fprintf(stderr, "qvstage: Xvfb did not start\n");
            return 1;
        }
        display = xvfb.display();
        setenv("QV_OWN_DISPLAY", "1", 1);
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QV_STAGE", "1", 1);

    WinePrefix prefix;
    if (sound) {
        const std::string home = work + "/home";
        setenv("QV_SOUND_CAPTURE", MakeSoundCaptureHome(home).c_str(), 1);
        prefix.SetSoundHome(home);
        setenv("HOME", home.c_str(), 1);
    }
    if (wine) {
        const char* arch = std::getenv("QV_WINDOWS_ARCH");
        prefix.SetLoader(WineLoaderFor(arch != nullptr ? arch : "win64"));
        if (unmanaged) prefix.SetUnmanagedWindows();
        if (!prefix.Prepare(work + "/wineprefix-" + (arch != nullptr ? arch : "win64"), display, logs)) {
            std::fprintf(stderr, "qvstage: the Wine prefix could not be prepared (logs in %s)\n", logs.c_str());
            xvfb.Stop();
            return 1;
        }
        for (const auto& [name, value] : prefix.Env()) {
            if (name != "WINEDEBUG" || std::getenv("WINEDEBUG") == nullptr) setenv(name.c_str(), value.c_str(), 1);
        }
    }
    const int code = RunInherited(argv + first + 1);
    if (wine) prefix.Shutdown();
    xvfb.Stop();
    return code;
}
