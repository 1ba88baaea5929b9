#include "xorg_dummy.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace support {

namespace {

// A virtual screen large enough for both monitors side by side.
constexpr const char* kConfig = R"(Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768"
        Virtual 2048 1024
    EndSubSection
EndSection
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
)";

constexpr const char* kSecondaryMode = "800x600_60";

std::string SocketPath(const std::string& number) { return "/tmp/.X11-unix/X" + number; }

// True when something answers on the socket: `abstract` for the name in the
// abstract namespace, which every chroot on the machine shares.
bool Answers(const std::string& path, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return true;
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool answered = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(fd);
    return answered;
}

// A display number is taken while a server answers on either of its sockets
// or its lock file names a live process. The files a killed server left
// behind do not count: Xorg replaces them.
bool DisplayTaken(int number)
{
    const std::string socketPath = SocketPath(std::to_string(number));
    if (Answers(socketPath, true) || Answers(socketPath, false)) return true;
    const std::string lock = ReadWholeFile("/tmp/.X" + std::to_string(number) + "-lock");
    const long pid = std::strtol(lock.c_str(), nullptr, 10);
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

bool XorgDummy::Start(const std::string& workDir, const std::string& logDir)
{
    logDir_ = logDir;
    const std::string config = workDir + "/xorg-dummy.conf";
    WriteWholeFile(config, kConfig);
    // Display numbers are chosen here rather than by -displayfd: that one can
    // settle on a number whose abstract socket another server on the machine
    // already holds, and clients then reach that other server. A number taken
    // in any way makes Xorg end at once, and the next one is tried.
    const int first = 100 + static_cast<int>(getpid() % 400);
    for (int number = first; number < first + 20; ++number) {
        const std::string name = ":" + std::to_string(number);
        if (DisplayTaken(number)) continue;
        server_ = Process::Start({"Xorg", name, "-config", config, "-noreset", "-nolisten", "tcp", "-novtswitch",
                                  "-sharevts", "-logfile", logDir + "/xorg.log"},
                                 {}, logDir + "/xorg.out");
        _XDisplay* probe = nullptr;
        WaitUntil([&] { return (probe = XOpenDisplay(name.c_str())) != nullptr || !server_.Running(); },
                  Millis(20000), Millis(50));
        if (probe != nullptr) {
            XCloseDisplay(probe);
            if (server_.Running()) {
                display_ = name;
                modeAdded_ = false;
                current_.clear();
                return true;
            }
        }
        server_.Kill();
    }
    return false;
}

bool XorgDummy::Stop()
{
    server_.Stop(Millis(5000));
    if (display_.empty()) return true;
    const bool gone = access(SocketPath(display_.substr(1)).c_str(), F_OK) != 0;
    display_.clear();
    return gone;
}

bool XorgDummy::Xrandr(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"xrandr"};
    argv.insert(argv.end(), args.begin(), args.end());
    Process p = Process::Start(argv, {{"DISPLAY", display_}}, logDir_ + "/xrandr.log");
    return p.WaitExit(Millis(15000)).value_or(-1) == 0;
}

bool XorgDummy::Apply(const DummyLayout& layout)
{
    // Setting a layout that is already there is skipped: xrandr would set the
    // modes again, and Wine then takes many seconds to list both monitors.
    if (current_ == std::string(layout.name)) return true;
    if (!modeAdded_) {
        // The dummy's second output has no modes of its own.
        Xrandr({"--newmode", kSecondaryMode, "38.25", "800", "832", "912", "1024", "600", "603", "607", "624",
                "-hsync", "+vsync"});
        if (!Xrandr({"--addmode", "DUMMY1", kSecondaryMode})) return false;
        modeAdded_ = true;
    }
    // Wine follows an output switched off and on again, not always a move:
    // a new place for the secondary comes that way.
    if (!current_.empty() && !Xrandr({"--output", "DUMMY1", "--off"})) return false;
    auto pos = [](int x, int y) { return std::to_string(x) + "x" + std::to_string(y); };
    if (!Xrandr({"--output", "DUMMY0", "--mode", "1024x768", "--pos", pos(layout.primaryX, layout.primaryY),
                 "--primary", "--output", "DUMMY1", "--mode", kSecondaryMode, "--pos",
                 pos(layout.secondaryX, layout.secondaryY)}))
        return false;
    current_ = layout.name;
    // Wine reads the outputs without asking the driver to probe them; a full
    // query by xrandr makes the server report the second one to it.
    return Xrandr({"--query"});
}

bool XorgDummy::SwitchOffSecondary()
{
    current_.clear();
    return Xrandr({"--output", "DUMMY1", "--off", "--output", "DUMMY0", "--pos", "0x0", "--primary"}) &&
           Xrandr({"--query"});
}

bool MonitorServer::Start(const std::string& folder)
{
    workDir = EnsureDir(folder);
    logDir = EnsureDir(workDir + "/logs");
    if (!xorg.Start(workDir, logDir)) {
        failure = "Xorg with the dummy driver did not start (see " + logDir + "/xorg.log)";
        return false;
    }
    if (!x.Open(xorg.display())) {
        failure = "cannot open " + xorg.display();
        return false;
    }
    failure.clear();
    return true;
}

bool MonitorServer::Stop()
{
    x.Close();
    return xorg.Stop();
}

std::vector<WindowInfo> MappedWindowsAt(const XSession& x, Rect area)
{
    std::vector<WindowInfo> found;
    Display* dpy = x.display();
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
            Rect{a.x, a.y, a.width, a.height} == area)
            found.push_back({children[i], a.x, a.y, a.width, a.height, true});
    }
    if (children != nullptr) XFree(children);
    return found;
}

long PixelsOtherThan(const XSession& x, Rect area, unsigned long rgb)
{
    const ScreenShot shot = x.Grab(area);
    return shot.empty() ? -1 : CountOtherThan(shot, {}, rgb);
}

}  // namespace support

namespace support {

const std::vector<DummyLayout>& TwoMonitorLayouts()
{
    static const std::vector<DummyLayout> layouts = {kSecondaryRight, kSecondaryLeft, kSecondaryRightLower};
    return layouts;
}

bool SaveScreenshot(const std::string& display, const std::string& path)
{
    Process p = Process::Start({"import", "-window", "root", path}, {{"DISPLAY", display}}, path + ".log");
    return p.WaitExit(Millis(30000)).value_or(-1) == 0;
}

}  // namespace support
