#include "stage.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

extern char** environ;

namespace support {

bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll)
{
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(poll);
    }
}

std::string EnsureDir(const std::string& path)
{
    std::filesystem::create_directories(path);
    return path;
}

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

Process Process::Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                       const std::string& logPath)
{
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e != nullptr; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq != nullptr) merged[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
    }
    for (const auto& [k, v] : env) merged[k] = v;
    std::vector<std::string> envStrings;
    for (const auto& [k, v] : merged) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (auto& s : argCopy) args.push_back(s.data());
    args.push_back(nullptr);

    // The log is opened here, where an error can still be reported; the child
    // only duplicates it (between fork and exec nothing but system calls).
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = getpid();
    Process p;
    p.pid_ = log < 0 || nothing < 0 ? -1 : fork();
    if (p.pid_ == 0) {
        // Its own process group, so that a stop reaches what it started and
        // nothing else; and it ends with the suite, whatever ends the suite
        // (a time limit's SIGKILL included): an X server told by SIGTERM
        // removes its socket and lock file.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        dup2(nothing, 0);
        dup2(log, 1);
        dup2(log, 2);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    if (log >= 0) close(log);
    if (nothing >= 0) close(nothing);
    if (p.pid_ < 0) p.exited_ = true;
    return p;
}

Process::Process(Process&& other) noexcept { *this = std::move(other); }

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Kill();
        pid_ = other.pid_;
        exited_ = other.exited_;
        status_ = other.status_;
        other.pid_ = -1;
        other.exited_ = true;
    }
    return *this;
}

Process::~Process() { Kill(); }

bool Process::Reap(bool block)
{
    if (exited_ || pid_ <= 0) return true;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (r == pid_) {
        exited_ = true;
        status_ = status;
        return true;
    }
    if (r < 0) exited_ = true;
    return exited_;
}

bool Process::Running() { return !Reap(false); }

std::optional<int> Process::WaitExit(Millis timeout)
{
    if (!WaitUntil([this] { return Reap(false); }, timeout, Millis(10))) return std::nullopt;
    if (pid_ <= 0 || !WIFEXITED(status_)) return std::nullopt;
    return WEXITSTATUS(status_);
}

void Process::Kill()
{
    if (exited_ || pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    Reap(true);
}

void Process::Stop(Millis grace)
{
    if (exited_ || pid_ <= 0) return;
    kill(pid_, SIGTERM);
    WaitUntil([this] { return Reap(false); }, grace, Millis(10));
    Kill();
}

bool Xvfb::Start(int width, int height, const std::string& logPath, const std::vector<std::string>& extraArgs)
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    const std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // -displayfd lets the server pick a free display and report it.
    std::vector<std::string> argv = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", geometry,
                                     "-nolisten", "tcp", "-noreset"};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    process_ = Process::Start(argv, {}, logPath);
    close(fds[1]);
    std::string number;
    char c;
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    const bool got = WaitUntil(
        [&] {
            while (read(fds[0], &c, 1) == 1) {
                if (c == '\n') return !number.empty();
                number += c;
            }
            return false;
        },
        Millis(15000), Millis(20));
    close(fds[0]);
    if (!got) {
        process_.Kill();
        return false;
    }
    display_ = ":" + number;
    return true;
}

void Xvfb::Stop() { process_.Stop(Millis(5000)); }

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

static int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

bool XSession::Open(const std::string& display)
{
    // A window the test asks about can go at any moment (a program ending, a
    // monitor switched off): its request fails, and the test reads the
    // failure; Xlib's default handler would end the whole suite instead.
    XSetErrorHandler(IgnoreXErrors);
    display_ = XOpenDisplay(display.c_str());
    return display_ != nullptr;
}

XSession::~XSession() { Close(); }

void XSession::Close()
{
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
}

int XSession::screenWidth() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int XSession::screenHeight() const { return DisplayHeight(display_, DefaultScreen(display_)); }


// The children of `window` that have a name, with it.
static std::vector<std::pair<Window, std::string>> NamedChildren(Display* display, Window window)
{
    std::vector<std::pair<Window, std::string>> named;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return named;
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            named.emplace_back(children[i], name);
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return named;
}

std::vector<WindowInfo> XSession::FindWindows(const std::string& title) const
{
    std::vector<WindowInfo> found;
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    for (const auto& [window, name] : NamedChildren(display_, DefaultRootWindow(display_))) {
        XWindowAttributes attrs;
        if (name == title && XGetWindowAttributes(display_, window, &attrs))
            found.push_back({window, attrs.x, attrs.y, attrs.width, attrs.height, attrs.map_state == IsViewable});
    }
    XSync(display_, False);
    XSetErrorHandler(previous);
    return found;
}

std::optional<WindowInfo> XSession::FindMappedWindow(const std::string& title) const
{
    for (const WindowInfo& w : FindWindows(title)) {
        if (w.mapped) return w;
    }
    return std::nullopt;
}

ScreenShot XSession::Grab(Rect area) const
{
    if (area.width <= 0 || area.height <= 0) area = {0, 0, screenWidth(), screenHeight()};
    ScreenShot screen;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (image == nullptr) return screen;
    screen.width = area.width;
    screen.height = area.height;
    screen.rgb.resize(static_cast<size_t>(screen.width) * screen.height * 3);
    unsigned char* out = screen.rgb.data();
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x, out += 3) {
            const unsigned long p = XGetPixel(image, x, y);
            out[0] = (p >> 16) & 0xff;
            out[1] = (p >> 8) & 0xff;
            out[2] = p & 0xff;
        }
    }
    XDestroyImage(image);
    return screen;
}

unsigned long XSession::PixelAt(int x, int y) const
{
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xFFFFFFFF;
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
}

bool XSession::HasChildTitled(XWindowId window, const std::string& title) const
{
    const auto named = NamedChildren(display_, window);
    return std::any_of(named.begin(), named.end(), [&](const auto& child) { return child.second == title; });
}

ColouredWindow::ColouredWindow(_XDisplay* display, Rect area, unsigned long rgb)
    : display_(display)
{
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = rgb;  // TrueColor 24-bit: the pixel is the RGB value
    attributes.override_redirect = True;
    window_ = XCreateWindow(display_, DefaultRootWindow(display_), area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(display_, window_, "coloured window");
    XMapRaised(display_, window_);
    XSync(display_, False);
}

ColouredWindow::~ColouredWindow()
{
    XDestroyWindow(display_, window_);
    XSync(display_, False);
}

void ColouredWindow::Resize(int width, int height) const
{
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
}

std::optional<XSession::Cursor> XSession::CursorNow() const
{
    XFixesCursorImage* image = XFixesGetCursorImage(display_);
    if (image == nullptr) return std::nullopt;
    Cursor cursor{image->width, image->height, image->xhot, image->yhot, 0};
    for (int i = 0; i < image->width * image->height; ++i) cursor.visible += (image->pixels[i] >> 24) != 0;
    XFree(image);
    return cursor;
}

int XSession::ChildCount(XWindowId window) const
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return -1;
    if (children != nullptr) XFree(children);
    return static_cast<int>(count);
}

void XSession::MovePointerTo(int x, int y) const
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XSync(display_, False);
}

void XSession::MovePointerBy(int dx, int dy) const
{
    XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
    XSync(display_, False);
}

void XSession::Button(unsigned button, bool down) const
{
    XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
    XSync(display_, False);
}

void XSession::PressButton(unsigned button) const
{
    Button(button, true);
    std::this_thread::sleep_for(Millis(50));
    Button(button, false);
}

void XSession::TapKey(const char* keysym) const
{
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysym));
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(Millis(50));
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

void XSession::HoldKeyAndTap(const char* held, const char* tapped) const
{
    const KeyCode hold = XKeysymToKeycode(display_, XStringToKeysym(held));
    XTestFakeKeyEvent(display_, hold, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(Millis(150));
    TapKey(tapped);
    std::this_thread::sleep_for(Millis(150));
    XTestFakeKeyEvent(display_, hold, False, CurrentTime);
    XSync(display_, False);
}

unsigned long ScreenShot::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFF;
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (static_cast<unsigned long>(p[0]) << 16) | (static_cast<unsigned long>(p[1]) << 8) | p[2];
}

LitPixels CountLit(const ScreenShot& screen, Rect area)
{
    LitPixels result;
    if (screen.empty()) return result;
    double sumX = 0, sumY = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const unsigned char* p = &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3];
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            if (hi < 24) continue;
            ++result.lit;
            if (hi - lo > 25) ++result.coloured;
            sumX += x;
            sumY += y;
        }
    }
    if (result.lit > 0) {
        result.centreX = sumX / result.lit;
        result.centreY = sumY / result.lit;
    }
    return result;
}

void ExpectRingsIn(const ScreenShot& screen, Rect area, long minLit, long maxLit, double centreWithin)
{
    ASSERT_FALSE(screen.empty());
    for (auto [x, y] : {std::pair{area.x, area.y}, std::pair{area.x + area.width - 1, area.y + area.height - 1}})
        EXPECT_EQ(screen.At(x, y), 0u) << "black at " << x << "," << y;
    const LitPixels lit = CountLit(screen, area);
    EXPECT_GT(lit.lit, minLit) << "the rings' lit spheres";
    EXPECT_LT(lit.lit, maxLit);
    EXPECT_GT(lit.coloured, lit.lit / 3) << "the spheres carry their rings' hues";
    EXPECT_NEAR(lit.centreX, area.cx(), centreWithin);
    EXPECT_NEAR(lit.centreY, area.cy(), centreWithin);
}

void PrintTo(const Rect& r, std::ostream* os)
{
    *os << r.width << " x " << r.height << " at " << r.x << ", " << r.y;
}

long CountOtherThan(const ScreenShot& screen, Rect area, unsigned long expected)
{
    long other = 0;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            if (!area.Contains(x, y) && screen.At(x, y) != expected) ++other;
        }
    }
    return other;
}

ToolResult RunTool(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   Millis timeout, const std::string& logPath)
{
    WriteWholeFile(logPath, "");
    Process process = Process::Start(argv, env, logPath);
    ToolResult result;
    result.exitCode = process.WaitExit(timeout).value_or(-1);
    process.Kill();
    result.output = ReadWholeFile(logPath);
    return result;
}

std::vector<int> ProcessesOf(const std::string& path)
{
    std::vector<int> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0) continue;
        char target[PATH_MAX];
        const std::string link = "/proc/" + std::string(entry->d_name) + "/exe";
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (path == target) found.push_back(pid);
    }
    closedir(proc);
    return found;
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

Stage& TheStage()
{
    static Stage stage;
    return stage;
}

namespace {

class StageEnvironment : public ::testing::Environment {
public:
    explicit StageEnvironment(StageOptions options) : options_(std::move(options)) {}

    void SetUp() override
    {
        Stage& s = TheStage();
        // The Windows architecture under test (scripts/test sets it per run).
        const char* arch = std::getenv("QV_WINDOWS_ARCH");
        s.arch = !options_.arch.empty() ? options_.arch : arch != nullptr && *arch != '\0' ? arch : "win64";
        s.workDir = std::string(QV_E2E_WORK_DIR) + "/" + (options_.name.empty() ? s.arch : options_.name);
        if (options_.freshPrefix) std::filesystem::remove_all(s.workDir);
        s.logDir = EnsureDir(s.workDir + "/logs");
        s.distDir = std::string(QV_PROJECT_DIR) + "/dist/" + s.arch;
        s.toolsDir = std::string(QV_PROJECT_DIR) + "/build/" + s.arch + "/tools";
        s.fixturesDir = QV_FIXTURES_DIR;
        s.previewBitmap = QV_PREVIEW_BITMAP;
        s.nativeRenderer = QV_NATIVE_RENDERER;
        if (!s.xvfb.Start(1024, 768, s.logDir + "/xvfb.log")) {
            s.failure = "Xvfb did not start";
            return;
        }
        if (!s.x.Open(s.xvfb.display())) {
            s.failure = "cannot open " + s.xvfb.display();
            return;
        }
        if (options_.wine) {
            s.wine.SetLoader(options_.arch.empty() ? WineLoaderFor(s.arch)
                             : options_.arch == "win32" ? "/usr/lib/wine/wine" : "/usr/lib/wine/wine64");
            // Wine's default sound device writes into a file of the suite's own.
            s.soundCapture = MakeSoundCaptureHome(s.workDir + "/home");
            s.wine.SetSoundHome(s.workDir + "/home");
            if (!s.wine.Prepare(s.workDir + "/wineprefix", s.xvfb.display(), s.logDir)) {
                s.failure = "Wine prefix could not be prepared";
                return;
            }
        }
        s.ready = true;
    }

    void TearDown() override
    {
        Stage& s = TheStage();
        if (options_.wine) s.wine.Shutdown();
        s.x.Close();
        s.xvfb.Stop();
    }

private:
    StageOptions options_;
};

}  // namespace

void RegisterStage(const StageOptions& options) { ::testing::AddGlobalTestEnvironment(new StageEnvironment(options)); }

bool StageTest::NoWindowTitled(const std::string& title, Millis timeout)
{
    return WaitUntil([&] { return TheStage().x.FindWindows(title).empty(); }, timeout);
}

std::optional<WindowInfo> StageTest::WaitForWindow(Process& program, const std::string& title, Millis timeout)
{
    std::optional<WindowInfo> window;
    WaitUntil(
        [&] {
            window = TheStage().x.FindMappedWindow(title);
            return window.has_value() || !program.Running();
        },
        timeout);
    return window;
}

void StageTest::ExpectExit(Process& program, int expected, Millis timeout, const std::string& log)
{
    ASSERT_EQ(program.WaitExit(timeout), expected) << "the exit code (nullopt: the program did not end)\n" << log;
}

bool StageTest::QvTool(const std::vector<std::string>& args, std::string* output)
{
    static int run = 0;
    const Stage& stage = TheStage();
    const std::string log = "qvtool-" + std::to_string(++run) + ".log";
    std::vector<std::string> argv = {stage.toolsDir + "/qvtool.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    const int code = stage.wine.RunToEnd(argv, Millis(30000), log);
    if (output != nullptr) *output = ReadWholeFile(stage.logDir + "/" + log);
    return code == 0;
}

std::string StageTest::InstallPair(const std::string& name, bool withRenderer) const
{
    const std::string dir = EnsureDir(stage.wine.DriveC() + "/Program Files/" + name);
    std::filesystem::remove(dir + "/Quorvellanto.ini");
    const auto copy = [&](const char* file) {
        std::filesystem::copy_file(stage.distDir + "/" + file, dir + "/" + file,
                                   std::filesystem::copy_options::overwrite_existing);
    };
    copy("Quorvellanto.scr");
    if (withRenderer) {
        copy("Quorvellanto.dll");
    } else {
        std::filesystem::remove(dir + "/Quorvellanto.dll");
    }
    return dir;
}

std::vector<std::string> StageTest::AppDataFolders() const
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& user : std::filesystem::directory_iterator(stage.wine.DriveC() + "/users", error)) {
        const std::filesystem::path folder = user.path() / "AppData" / "Roaming";
        if (user.path().filename() != "Public" && std::filesystem::exists(folder)) found.push_back(folder.string());
    }
    return found;
}

std::string StageTest::Fixture(const std::string& name) const
{
    const std::string path = stage.fixturesDir + "/" + name;
    EXPECT_TRUE(std::filesystem::exists(path)) << path << " (scripts/lib/make-fixtures makes it)";
    return path;
}

std::string StageTest::Listen(Millis duration) const
{
    const long long from = FileSizeOf(stage.soundCapture);
    std::this_thread::sleep_for(duration);
    return from >= 0 ? ReadWholeFile(stage.soundCapture, from) : "";
}

std::optional<int> StageTest::EndRunWithMouse(Process& saver, Millis* afterRenderer, Clock::time_point rendererUp) const
{
    std::this_thread::sleep_until(rendererUp + Millis(1200));
    stage.x.MovePointerTo(515, 384);
    EXPECT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kRendererTitle).empty(); }, Millis(10000)))
        << "the renderer did not end on a 3-pixel move";
    const auto gone = Clock::now();
    const auto code = saver.WaitExit(Millis(10000));
    if (afterRenderer != nullptr) *afterRenderer = std::chrono::duration_cast<Millis>(Clock::now() - gone);
    return code;
}

Process StageTest::StartPreviewHost(std::string& handle)
{
    const Stage& stage = TheStage();
    // The log is appended to: a handle left there by an earlier host must not be read.
    WriteWholeFile(stage.logDir + "/host.log", "");
    Process host = stage.wine.Run({stage.toolsDir + "/qvtool.exe", "host", "200", "150", "152", "112"}, "host.log");
    handle.clear();
    WaitUntil(
        [&] {
            const std::string log = ReadWholeFile(stage.logDir + "/host.log");
            const size_t at = log.rfind("hwnd ");
            if (at != std::string::npos) handle = std::to_string(std::strtoul(log.c_str() + at + 5, nullptr, 10));
            return !handle.empty() && handle != "0";
        },
        Millis(30000));
    if (handle == "0") handle.clear();
    return host;
}

bool StageTest::PreviewFillsHost(std::string& children)
{
    return WaitUntil(
        [&] { return QvTool({"children", "QV Preview Host"}, &children) &&
                     children.find("child \"Preview Window\" 152x112 visible 1") != std::string::npos; },
        Millis(20000), Millis(200));
}

bool StageTest::WaitForDialog(Process& saver, WindowInfo& window, int dpi)
{
    auto px = [dpi](int twips) { return twips * dpi / 1440; };
    // Both shaded surfaces painted: the window's and the panel's middle rows
    // (red and blue of the one, red of the other, near white).
    auto shaded = [](unsigned long p, bool blueToo) {
        return p <= 0xFFFFFF && (p >> 16) > (blueToo ? 200u : 240u) && (!blueToo || (p & 0xFF) > 240);
    };
    return WaitUntil(
               [&] {
                   const auto found = TheStage().x.FindMappedWindow(kDialogTitle);
                   if (!found) return !saver.Running();
                   window = *found;
                   const ScreenShot screen = TheStage().x.Grab();
                   return shaded(screen.At(window.x + 4, window.y + px(3645) / 2), true) &&
                          shaded(screen.At(window.x + px(180) + px(6900), window.y + px(240) + px(2475) / 2), false);
               },
               Millis(30000)) &&
           saver.Running();
}

void StageTest::CancelDialog(Process& saver, const WindowInfo& window)
{
    TheStage().x.MovePointerTo(window.x + 404 + 38, window.y + 196 + 12);
    std::this_thread::sleep_for(Millis(150));
    TheStage().x.PressButton(1);
    ASSERT_EQ(saver.WaitExit(Millis(15000)), 0) << "the dialog did not end on Cancel";
}

const std::vector<EndingInput>& RendererEndingInputs()
{
    static const std::vector<EndingInput> inputs = {
        {"KeyPress", [](const XSession& x) { x.TapKey("a"); }},
        {"LeftButton", [](const XSession& x) { x.PressButton(1); }},
        {"MiddleButton", [](const XSession& x) { x.PressButton(2); }},
        {"RightButton", [](const XSession& x) { x.PressButton(3); }},
        {"ThreePixelsRight", [](const XSession& x) { x.MovePointerTo(515, 384); }},
        {"ThreePixelsUp", [](const XSession& x) { x.MovePointerTo(512, 381); }},
        {"SmallStepsAddingUp",
         [](const XSession& x) {
             for (int dx : {1, 2, 3}) {
                 x.MovePointerTo(512 + dx, 384);
                 std::this_thread::sleep_for(Millis(200));
             }
         }},
    };
    return inputs;
}

void PlayNonEndingInputs(const XSession& x, const std::function<void(const char*)>& stillRunning)
{
    x.MovePointerTo(514, 386);
    stillRunning("a 2-pixel move on both axes");
    x.MovePointerTo(510, 382);
    stillRunning("a 2-pixel move back past the origin");
    x.PressButton(4);
    x.PressButton(5);
    stillRunning("a mouse-wheel turn");
    x.HoldKeyAndTap("Alt_L", "F4");
    stillRunning("Alt+F4");
    x.TapKey("F10");
    stillRunning("F10");
}

}  // namespace support
