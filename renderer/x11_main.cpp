// The renderer program on X11: a full-screen window of its own that ends on
// the user's input, or (as an XScreenSaver hack) a window it is given, drawn
// into until SIGTERM. Same scene, rules and display-list cache as on Win32;
// as XScreenSaver's hacks do, it waits -delay microseconds after each frame
// and shows its frame rate with -fps.
#include "frame_rate.h"
#include "input_rules.h"
#include "ring_rules.h"
#include "run_options.h"
#include "scene.h"
#include "x11_glx.h"
#include "x11_monitors.h"
#include "x11_window.h"

#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

static Display* display = nullptr;
static Window drawWindow = 0;   // the window the frames are drawn into
static Window hostWindow = 0;   // in hack mode, the window it was given
static int isActive = 0;
static volatile std::sig_atomic_t stopRequested = 0;
// A stop signal also writes a byte here, so that a wait between frames ends at once.
static int stopPipe[2] = {-1, -1};
static int xErrors = 0;
static std::string firstXError;
// Standalone: black windows over the other monitors, and the event type that
// reports a change of the monitors (0: none watched).
static std::optional<MonitorCovers> covers;
static int monitorChangeEvent = 0;

void PresentFrame()
{
    glXSwapBuffers(display, drawWindow);
}

static int Fail(const std::string& message)
{
    std::fprintf(stderr, "quorvellanto: %s\n", message.c_str());
    return 1;
}

static void RequestStop(int)
{
    stopRequested = 1;
    const int savedErrno = errno;
    const char byte = 0;
    if (write(stopPipe[1], &byte, 1) < 0) {
        // The pipe is full: a byte is already waiting.
    }
    errno = savedErrno;
}

static void HandleStopSignals()
{
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) stopPipe[0] = stopPipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

// Mesa's software GLX asks the server for the drawable's size before each
// frame and draws with whatever came back, uninitialised when the window is
// gone: its heap is then corrupt and nothing, not even freeing the context, is
// safe. So an error naming the window drawn into (or the host holding it)
// ends the run right here, the same way the window's end does: exit code 0,
// everything left to the process's end and the server.
static bool NamesAGoneWindow(const XErrorEvent& error)
{
    const bool gone = error.error_code == BadWindow || error.error_code == BadDrawable;
    return gone && error.resourceid != 0 && (error.resourceid == drawWindow || error.resourceid == hostWindow);
}

static int RecordXError(Display* errorDisplay, XErrorEvent* error)
{
    if (NamesAGoneWindow(*error)) std::_Exit(0);
    if (xErrors++ == 0) {
        char text[256] = {};
        XGetErrorText(errorDisplay, error->error_code, text, sizeof text);
        firstXError = text;
    }
    return 0;
}

static int LostServer(Display*)
{
    std::fprintf(stderr, "quorvellanto: lost the connection to the X server\n");
    std::_Exit(1);
}

static bool WindowExists(Window window)
{
    XErrorTrap trap(display);
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && !trap.Failed();
}

static Press KeyPressKind(XKeyEvent& event)
{
    const KeySym key = XLookupKeysym(&event, 0);
    const bool isAlt = key == XK_Alt_L || key == XK_Alt_R || key == XK_Meta_L || key == XK_Meta_R;
    return IsSystemKey((event.state & Mod1Mask) != 0, isAlt, key == XK_F10) ? Press::SystemKey : Press::Key;
}

static Press ButtonPressKind(unsigned button)
{
    switch (button) {
    case Button1: return Press::LeftButton;
    case Button2: return Press::MiddleButton;
    case Button3: return Press::RightButton;
    default: return Press::OtherButton;
    }
}

// The animation follows the primary monitor; the others are covered again.
static void FollowMonitors()
{
    const int screen = DefaultScreen(display);
    const std::vector<MonitorRect> monitors = ListMonitors(display, screen);
    MonitorRect primary;
    if (FindPrimaryMonitor(monitors, primary))
        XMoveResizeWindow(display, drawWindow, primary.x, primary.y, static_cast<unsigned>(primary.width),
                          static_cast<unsigned>(primary.height));
    if (covers) covers->Update(monitors);
}

// Returns true when the event ends the run.
static bool HandleEvent(XEvent& event, Atom deleteWindow, Scene& scene, MouseRule& mouse)
{
    if (TakeMonitorChange(event, monitorChangeEvent)) {
        FollowMonitors();
        return false;
    }
    switch (event.type) {
    case KeyPress:
        return isActive == 1 && PressEndsRun(KeyPressKind(event.xkey));
    case ButtonPress:
        return isActive == 1 && PressEndsRun(ButtonPressKind(event.xbutton.button));
    case MotionNotify:
        return isActive == 1 && mouse.MoveEndsRun({event.xmotion.x_root, event.xmotion.y_root});
    case ConfigureNotify:
        if (event.xconfigure.window == hostWindow) {
            XResizeWindow(display, drawWindow, static_cast<unsigned>(event.xconfigure.width),
                          static_cast<unsigned>(event.xconfigure.height));
        } else if (event.xconfigure.window == drawWindow) {
            scene.Resize(event.xconfigure.width, event.xconfigure.height);
        }
        return false;
    case DestroyNotify:
        return event.xdestroywindow.window == drawWindow || event.xdestroywindow.window == hostWindow;
    case ClientMessage:
        return static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
    default:
        return false;
    }
}

// Sleeps until an event comes from the server, a stop signal arrives or
// `timeout` has passed, whichever is first.
static void WaitForEvents(std::chrono::microseconds timeout)
{
    pollfd waited[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
    poll(waited, stopPipe[0] >= 0 ? 2 : 1, static_cast<int>(milliseconds));
}

// Polls for events and draws a frame whenever none is waiting and the delay
// after the last frame has passed, one degree per frame, until input, the
// window's end or a stop signal. Returns the exit code.
static int RunLoop(Atom deleteWindow, const RunOptions& options, Scene& scene, MouseRule& mouse)
{
    using Clock = std::chrono::steady_clock;
    const std::chrono::microseconds delay(options.delayMicroseconds);
    FrameRateMeter frameRate;
    Clock::time_point nextFrame = Clock::now();
    std::int32_t frameAngle = 0;
    XEvent event;
    while (stopRequested == 0) {
        bool done = false;
        while (!done && XPending(display) > 0) {
            XNextEvent(display, &event);
            done = HandleEvent(event, deleteWindow, scene, mouse);
        }
        if (done) return 0;
        if (xErrors != 0) {
            // A window taken away from under the renderer ends the run; any other error is a fault.
            if (!WindowExists(drawWindow) || (hostWindow != 0 && !WindowExists(hostWindow))) return 0;
            return Fail("X error: " + firstXError);
        }
        const Clock::time_point now = Clock::now();
        if (now < nextFrame) {
            // XPending above has sent every request of the last frame.
            WaitForEvents(std::chrono::duration_cast<std::chrono::microseconds>(nextFrame - now));
            continue;
        }
        scene.DrawFrame(static_cast<float>(frameAngle), options.showFrameRate ? frameRate.Text().c_str() : nullptr);
        frameAngle = NextFrameAngle(frameAngle);
        const Clock::time_point drawn = Clock::now();
        if (options.showFrameRate)
            frameRate.CountFrame(std::chrono::duration_cast<std::chrono::microseconds>(drawn.time_since_epoch()).count());
        nextFrame = drawn + delay;
    }
    return 0;
}

static void SeedMouseOrigin(MouseRule& mouse)
{
    // The first move fixes the origin; the pointer's place when the window
    // appears is that first move (Windows sends one for a window shown under
    // the cursor). Moves queued from then on are measured against it.
    Window root, child;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (XQueryPointer(display, drawWindow, &root, &child, &rootX, &rootY, &x, &y, &mask))
        mouse.MoveEndsRun({rootX, rootY});
}

struct Resources {
    XVisualInfo* visual = nullptr;
    Colormap colormap = 0;
    GLXContext context = nullptr;

    ~Resources()
    {
        if (display == nullptr) return;
        covers.reset();
        if (context != nullptr) {
            glXMakeCurrent(display, None, nullptr);
            glXDestroyContext(display, context);
        }
        if (drawWindow != 0) {
            XErrorTrap trap(display);  // a host's end may already have taken it
            XDestroyWindow(display, drawWindow);
        }
        if (colormap != 0) XFreeColormap(display, colormap);
        if (visual != nullptr) XFree(visual);
        XCloseDisplay(display);
        display = nullptr;
    }
};

static int Run(const RunOptions& options)
{
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = XDisplayName(nullptr);
        return Fail(std::string("cannot open the X display \"") + (name != nullptr ? name : "") + "\"");
    }
    Resources resources;
    MouseRule mouse;
    XSetIOErrorHandler(LostServer);
    const int screen = DefaultScreen(display);
    std::string error;
    resources.visual = ChooseRendererVisual(display, screen, error);
    if (resources.visual == nullptr) return Fail(error);
    resources.colormap =
        XCreateColormap(display, RootWindow(display, screen), resources.visual->visual, AllocNone);

    int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    if (options.mode == RunMode::Standalone) {
        isActive = 1;
        // The animation on the primary monitor; ListMonitors always names one.
        MonitorRect primary;
        FindPrimaryMonitor(ListMonitors(display, screen), primary);
        width = primary.width;
        height = primary.height;
        drawWindow = CreateFullScreenWindow(display, screen, resources.visual, resources.colormap, primary);
    } else {
        hostWindow = options.mode == RunMode::RootWindow ? RootWindow(display, screen) : options.windowId;
        drawWindow = CreateChildWindow(display, hostWindow, resources.visual, resources.colormap, width, height);
        if (drawWindow == 0) {
            char id[32];
            std::snprintf(id, sizeof id, "0x%lx", hostWindow);
            hostWindow = 0;
            return Fail(std::string("there is no window ") + id + " to draw into");
        }
    }
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, drawWindow, &deleteWindow, 1);
    if (!MapAndWait(display, drawWindow, options.mode == RunMode::RootWindow))
        return Fail("the window was not shown");
    if (options.mode == RunMode::Standalone) {
        if (!GrabKeyboard(display, drawWindow))
            std::fprintf(stderr, "quorvellanto: the keyboard is held by another program; "
                                 "keys reach the window only while it has the focus\n");
        mouse.StartWatching();
        SeedMouseOrigin(mouse);
        covers.emplace(display, screen);
        covers->Update(ListMonitors(display, screen));
        monitorChangeEvent = WatchMonitorChanges(display, screen);
    }

    resources.context = MakeRendererContext(display, resources.visual, drawWindow, error);
    if (resources.context == nullptr) return Fail(error);
    RequestSwapInterval(display, screen, drawWindow);
    // Made while the context is current, and gone (its lists with it) before the context.
    Scene scene;
    scene.Resize(width, height);
    scene.Init();
    XSetErrorHandler(RecordXError);
    return RunLoop(deleteWindow, options, scene, mouse);
}

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const RunOptions options = ParseRunOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (options.mode == RunMode::ShowUsage) {
        std::fputs(UsageText("quorvellanto").c_str(), stdout);
        return 0;
    }
    if (options.mode == RunMode::Invalid) {
        std::fprintf(stderr, "quorvellanto: %s\n%s", options.error.c_str(), UsageText("quorvellanto").c_str());
        return 2;
    }
    HandleStopSignals();
    return Run(options);
}
