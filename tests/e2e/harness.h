// What the end-to-end suites need to run the shipped Windows programs for
// real: their own Xvfb, their own Wine prefix, processes started and stopped
// by id, and X11 access to windows, pixels and input (XTest).
#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>


struct _XDisplay;

namespace e2e {

using XWindowId = unsigned long;

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll = Millis(5));

class Process {
public:
    // Starts argv[0] (searched on PATH) with the current environment plus `env`;
    // stdout and stderr go to `logPath`.
    static Process Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                         const std::string& logPath);
    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();  // kills the process if it still runs

    pid_t pid() const { return pid_; }
    bool Running();
    // Exit code once ended within `timeout`; nothing if it still runs (or died by a signal).
    std::optional<int> WaitExit(Millis timeout);
    void Kill();

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
    bool Reap(bool block);
};

// A private X server on a free display number.
class Xvfb {
public:
    // `extraArgs` go to the server as they are (for example "-extension", "GLX").
    bool Start(int width, int height, const std::string& logPath, const std::vector<std::string>& extraArgs = {});
    void Stop();
    const std::string& display() const { return display_; }

private:
    Process process_;
    std::string display_;
};

// A Wine prefix of the suite's own, created on first use, with its server
// kept alive for the suite and ended at the end.
class WinePrefix {
public:
    // The Wine loader of the architecture under test (wine64 or the 32-bit wine).
    void SetLoader(const std::string& loader) { loader_ = loader; }
    const std::string& loader() const { return loader_; }
    bool Prepare(const std::string& path, const std::string& display, const std::string& logDir);
    void Shutdown();
    std::map<std::string, std::string> Env() const;
    // HOME of every Wine process of the suite; its ALSA configuration sends
    // the sound into `capture`.
    void SetSoundHome(const std::string& home) { home_ = home; }
    const std::string& path() const { return path_; }
    std::string DriveC() const { return path_ + "/drive_c"; }
    // Starts a Windows program (and its arguments) under Wine.
    Process Run(const std::vector<std::string>& args, const std::string& logName,
                const std::map<std::string, std::string>& extraEnv = {}) const;
    // Runs a program to its end and returns its exit code (-1 on time-out).
    int RunToEnd(const std::vector<std::string>& args, Millis timeout, const std::string& logName) const;

private:
    std::string path_, display_, logDir_, home_;
    std::string loader_ = "/usr/lib/wine/wine64";
};

struct WindowInfo {
    XWindowId id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool mapped = false;
};

class XSession {
public:
    bool Open(const std::string& display);
    ~XSession();
    void Close();
    _XDisplay* display() const { return display_; }
    int screenWidth() const;
    int screenHeight() const;

    // Top-level windows (children of the root) whose name is `title`.
    std::vector<WindowInfo> FindWindows(const std::string& title) const;
    std::optional<WindowInfo> FindMappedWindow(const std::string& title) const;

    // RGB bytes of the screen, rows from the top.
    std::vector<unsigned char> GrabScreen(int& width, int& height) const;

    void MovePointerTo(int x, int y) const;
    void MovePointerBy(int dx, int dy) const;
    void PressButton(unsigned button) const;
    void TapKey(const char* keysym) const;
    void HoldKeyAndTap(const char* held, const char* tapped) const;

private:
    _XDisplay* display_ = nullptr;
};

// Global fixture of an end-to-end suite: the X server, the prefix, the X session.
struct Stage {
    Xvfb xvfb;
    WinePrefix wine;
    XSession x;
    std::string arch;  // "win64" or "win32"
    std::string workDir, distDir, toolsDir, fixturesDir, previewBitmap;
    std::string soundCapture;  // raw file that Wine's sound output goes into
    bool ready = false;
    std::string failure;
};
Stage& TheStage();

// Input that ends a renderer, on Windows as on Linux: a key, each button, a
// 3-pixel move right or up, and small steps that add up to 3 pixels (from an
// origin at the screen's centre, 512, 384).
struct EndingInput {
    const char* name;
    std::function<void(const XSession&)> act;
};
const std::vector<EndingInput>& RendererEndingInputs();
// Input that must not end a renderer, on both platforms: 2-pixel moves, the
// wheel, Alt+F4 and F10; `stillRunning` is called after each with its name.
void PlayNonEndingInputs(const XSession& x, const std::function<void(const char*)>& stillRunning);

// Runs the architecture's Windows-side helper (tools/qvtool) to its end, 30 s
// at most; true on exit code 0. Its standard output comes back in `output`.
bool RunQvTool(const std::vector<std::string>& args, std::string* output = nullptr);

// The loader for an architecture: WINELOADER when set, else Wine's own per architecture.
std::string WineLoaderFor(const std::string& arch);

// Exposes the stage as a GoogleTest environment (set up once per test binary).
void RegisterStageEnvironment();

// Creates the folder (and its parents) as needed and returns its path.
std::string EnsureDir(const std::string& path);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// A Unix path on Wine's drive Z:, as a Windows path.
std::string WindowsPath(const std::string& unixPath);
long long FileSizeOf(const std::string& path);
// Sixteen-bit samples louder than a whisper among the bytes.
long LoudSamples(const std::string& bytes);

}  // namespace e2e
