// What the end-to-end suites need to run the shipped programs for real: a
// stage of their own (an Xvfb, optionally a Wine prefix whose sound goes into
// a file), processes started and stopped by id, X11 access to windows, pixels
// and input (XTest), and a base fixture for "start a program, wait for its
// window, expect its exit code".
#pragma once
#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files.h"
#include "renderer_contract.h"

struct _XDisplay;

namespace support {

using XWindowId = unsigned long;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll = Millis(5));

// Creates the folder (and its parents) as needed and returns its path.
std::string EnsureDir(const std::string& path);
// A Unix path on Wine's drive Z:, as a Windows path.
std::string WindowsPath(const std::string& unixPath);

class Process {
public:
    // Starts argv[0] (searched on PATH) with the current environment plus `env`;
    // stdout and stderr are appended to `logPath`. It gets a process group of its
    // own, and SIGTERM when the process that started it ends.
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
    // SIGTERM, then SIGKILL if it has not ended within `grace`: an X server
    // told to end removes its socket and lock file, a killed one leaves them.
    void Stop(Millis grace);

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
    bool Reap(bool block);
};

struct ToolResult {
    int exitCode = -1;  // -1: it did not end in time, or died by a signal
    std::string output;
};
// Runs a program to its end (bounded) with `env` added; stdout and stderr together.
ToolResult RunTool(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   Millis timeout, const std::string& logPath);
// Ids of running processes whose executable is `path`.
std::vector<int> ProcessesOf(const std::string& path);

// A private X server on a free display number.
class Xvfb {
public:
    Xvfb() = default;
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    ~Xvfb() { Stop(); }
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
    // Windows that no window manager manages (Wine's X11 driver then waits
    // for none as a window goes, see docs/platform-notes.md); set by Prepare.
    void SetUnmanagedWindows() { unmanagedWindows_ = true; }
    const std::string& loader() const { return loader_; }
    bool Prepare(const std::string& path, const std::string& display, const std::string& logDir);
    void Shutdown();
    std::map<std::string, std::string> Env() const;
    // HOME of every Wine process of the suite (its ALSA configuration sends the sound into a file).
    void SetSoundHome(const std::string& home) { home_ = home; }
    const std::string& path() const { return path_; }
    std::string DriveC() const { return path_ + "/drive_c"; }
    // Starts a Windows program (and its arguments) under Wine; its output goes to logs/<logName>.
    Process Run(const std::vector<std::string>& args, const std::string& logName,
                const std::map<std::string, std::string>& extraEnv = {}) const;
    // Runs a program to its end and returns its exit code (-1 on time-out).
    int RunToEnd(const std::vector<std::string>& args, Millis timeout, const std::string& logName) const;
    // The display scale in dots per inch (Wine's LogPixels, where Wine reads
    // it) for the programs started from now on: the server is started anew.
    bool SetDisplayScale(int dpi);

private:
    std::string path_, display_, logDir_, home_;
    std::string loader_ = "/usr/lib/wine/wine64";
    bool unmanagedWindows_ = false;
};

// The loader for an architecture: WINELOADER when set, else Wine's own per architecture.
std::string WineLoaderFor(const std::string& arch);
// A HOME whose ALSA configuration sends the default device into `home`/capture.raw
// (emptied); returns that file's path.
std::string MakeSoundCaptureHome(const std::string& home);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    int cx() const { return x + width / 2; }
    int cy() const { return y + height / 2; }
    Rect Inset(int by) const { return {x + by, y + by, width - 2 * by, height - 2 * by}; }
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};
void PrintTo(const Rect& r, std::ostream* os);  // GoogleTest's view: "W x H at X, Y"

struct WindowInfo {
    XWindowId id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool mapped = false;
    Rect rect() const { return {x, y, width, height}; }
};

// RGB bytes of a screen grab, rows from the top.
struct ScreenShot {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    bool empty() const { return rgb.empty(); }
    unsigned long At(int x, int y) const;  // 0xRRGGBB
};

// Lit pixels of a grab inside `area`: how many, how many clearly coloured
// (not grey), and where their centre lies.
struct LitPixels {
    long lit = 0, coloured = 0;
    double centreX = 0, centreY = 0;
};
LitPixels CountLit(const ScreenShot& screen, Rect area);
// Expects a frame of the rings in `area` of the grab: black at two opposite
// corners, between `minLit` and `maxLit` lit pixels, a third of them or more
// clearly coloured (the rings' hues), centred in the area within `centreWithin` pixels.
void ExpectRingsIn(const ScreenShot& screen, Rect area, long minLit, long maxLit, double centreWithin);
// Pixels outside `area` that differ from the RGB colour `expected`.
long CountOtherThan(const ScreenShot& screen, Rect area, unsigned long expected);

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
    // Child windows of `window` named `title`.
    bool HasChildTitled(XWindowId window, const std::string& title) const;
    int ChildCount(XWindowId window) const;  // -1 when there is no such window

    // The screen, or the rectangle `area` of it (rows from its top); empty
    // when it cannot be read.
    ScreenShot Grab(Rect area = {}) const;
    unsigned long PixelAt(int x, int y) const;  // one pixel, read alone

    // The cursor the server shows now (XFixes): its size, hot spot and visible pixels.
    struct Cursor {
        int width = 0, height = 0, xhot = 0, yhot = 0;
        long visible = 0;
    };
    std::optional<Cursor> CursorNow() const;
    bool PointerHidden() const { return CursorNow().value_or(Cursor{0, 0, 0, 0, 1}).visible == 0; }

    void MovePointerTo(int x, int y) const;
    void MovePointerBy(int dx, int dy) const;
    void PressButton(unsigned button) const;
    void Button(unsigned button, bool down) const;
    void TapKey(const char* keysym) const;
    void TapKey(std::initializer_list<const char*> keysyms) const { for (const char* k : keysyms) TapKey(k); }
    void HoldKeyAndTap(const char* held, const char* tapped) const;

private:
    _XDisplay* display_ = nullptr;
};

// A plain X window of one colour, override-redirect (no window manager here),
// standing in for a user's window or a host's; destroyed with the object.
class ColouredWindow {
public:
    ColouredWindow(_XDisplay* display, Rect area, unsigned long rgb);
    ~ColouredWindow();
    ColouredWindow(const ColouredWindow&) = delete;
    ColouredWindow& operator=(const ColouredWindow&) = delete;
    XWindowId id() const { return window_; }
    void Resize(int width, int height) const;

private:
    _XDisplay* display_;
    XWindowId window_ = 0;
};

// What a suite asks of its stage.
struct StageOptions {
    std::string name;          // its folder under the build's e2e work folder
    bool wine = true;          // a Wine prefix (with sound capture) for the architecture under test
    bool freshPrefix = false;  // a prefix made anew each run
    std::string arch;          // the Windows architecture when not QV_WINDOWS_ARCH's
};

// The stage of an end-to-end suite: one per test binary.
struct Stage {
    Xvfb xvfb;
    WinePrefix wine;
    XSession x;
    std::string arch;  // "win64" or "win32" (QV_WINDOWS_ARCH)
    std::string workDir, logDir, distDir, toolsDir, fixturesDir, previewBitmap;
    std::string nativeRenderer;  // the built X11 renderer
    std::string soundCapture;    // raw file that Wine's sound output goes into
    bool ready = false;
    std::string failure;
};
Stage& TheStage();
// Sets the stage up before the first test and takes it down after the last.
void RegisterStage(const StageOptions& options);

// Base fixture: the stage is ready, and helpers to start a program, wait for
// its window and expect its exit code.
// The titles by which the shipped programs' windows are found.
constexpr const char* kRendererTitle = kRendererWindowTitle;
constexpr const char* kRunFormTitle = "Quorvellanto_Main";
constexpr const char* kDialogTitle = "<Quorvellanto>";

class StageTest : public ::testing::Test {
protected:
    Stage& stage = TheStage();
    void SetUp() override { ASSERT_TRUE(stage.ready) << stage.failure; }

    // The shipped pair (the renderer only when asked) copied into
    // "C:\Program Files\<name>" without a settings file; its Unix path.
    std::string InstallPair(const std::string& name, bool withRenderer = true) const;
    // Each user's application data folder in the prefix (<user>/AppData/Roaming).
    std::vector<std::string> AppDataFolders() const;
    // The path of a sound file that scripts/lib/make-fixtures makes (expected there).
    std::string Fixture(const std::string& name) const;
    // The sound output captured from now on for `duration`.
    std::string Listen(Millis duration) const;
    // Ends a run as a user would: a 3-pixel move once the first move has fixed
    // the origin (1.2 s after `rendererUp`, by default now); expects the
    // renderer's window gone, then the saver's exit code. `afterRenderer`,
    // when given, gets the time from the one to the other.
    std::optional<int> EndRunWithMouse(Process& saver, Millis* afterRenderer = nullptr,
                                       Clock::time_point rendererUp = Clock::now()) const;
    static bool WaitForRenderer(Process& saver) { return WaitForWindow(saver, kRendererTitle).has_value(); }

public:
    // Waits until no window titled `title` is left (from an earlier test, say).
    static bool NoWindowTitled(const std::string& title, Millis timeout = Millis(10000));
    // Waits for a mapped window titled `title`, or the program's end.
    static std::optional<WindowInfo> WaitForWindow(Process& program, const std::string& title,
                                                   Millis timeout = Millis(30000));
    // The program ends within `timeout` with exit code `expected`; `log` is shown otherwise.
    static void ExpectExit(Process& program, int expected = 0, Millis timeout = Millis(10000),
                           const std::string& log = {});
    // Runs the architecture's Windows-side helper (qvtool) to its end, 30 s
    // at most; true on exit code 0. Its standard output comes back in `output`.
    static bool QvTool(const std::vector<std::string>& args, std::string* output = nullptr);
    // A preview host (qvtool host: 152 x 112 pixels at 200, 150) in a process
    // of its own; `handle` is its window's handle in decimal, empty when it
    // did not come up within 30 s.
    static Process StartPreviewHost(std::string& handle);
    // Waits (20 s at most) for the host to show a visible 152 x 112 child
    // window titled "Preview Window"; the host's children in `children`.
    static bool PreviewFillsHost(std::string& children);
    // Waits (30 s at most) for the settings dialog shown and painted at the
    // display scale of `dpi` dots per inch (the window's and the panel's
    // shading in place), its saver still running; the dialog in `window`.
    static bool WaitForDialog(Process& saver, WindowInfo& window, int dpi = 96);
    // Clicks the dialog's Cancel (at 96 dpi) and expects the saver to end with 0.
    static void CancelDialog(Process& saver, const WindowInfo& window);
};

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
// GoogleTest's name of a parameter that has a `name`.
struct ByName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const { return info.param.name; }
};

}  // namespace support
