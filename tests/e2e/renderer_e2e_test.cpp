// The renderer on the suite's Xvfb, driven by real input: the shipped Windows
// renderer under Wine, or (built with QV_NATIVE_LAUNCHER) the native Linux
// renderer standalone. The same runs and pixel counts for both.
#include "saver_stage.h"

#include <X11/Xlib.h>

#ifdef QV_NATIVE_LAUNCHER
#include "run_options.h"
#endif

#include <signal.h>

#include <cmath>
#include <sstream>
#include <thread>


using namespace support;

namespace {

constexpr const char* kTitle = kRendererTitle;

#ifdef QV_NATIVE_LAUNCHER
#define RENDERER_SUITE X11Renderer
#else
#define RENDERER_SUITE Renderer
#endif

class RENDERER_SUITE : public StageTest {
protected:
    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(NoWindowTitled(kTitle)) << "a renderer of an earlier test is still up";
        stage.x.MovePointerTo(512, 384);
    }

    std::string LogPath() const { return stage.logDir + "/renderer.log"; }
    std::string Log() const { return ReadWholeFile(LogPath()); }

    // The renderer, started as a user would (with `args`, natively).
    Process Start(const std::vector<std::string>& args = {}, const std::map<std::string, std::string>& env = {}) const
    {
        WriteWholeFile(LogPath(), "");
#ifdef QV_NATIVE_LAUNCHER
        std::vector<std::string> argv = {stage.nativeRenderer};
        argv.insert(argv.end(), args.begin(), args.end());
        return Process::Start(argv, {{"DISPLAY", stage.xvfb.display()}, {"XSCREENSAVER_WINDOW", ""}}, LogPath());
#else
        (void)args;  // the Windows renderer takes none
        return stage.wine.Run({stage.distDir + "/Quorvellanto.dll"}, "renderer.log", env);
#endif
    }

    // Lit pixels in `area` of the screen now; none unless its top-left corner
    // is black, as the renderer clears it (the hosts' own backgrounds are not).
    long LitIn(Rect area) const
    {
        const ScreenShot screen = stage.x.Grab();
        if (screen.empty() || screen.At(area.x, area.y) != 0) return 0;
        return CountLit(screen, area).lit;
    }

    // Waits until frames are being drawn into `area`: the renderer is then in its loop.
    bool WaitForFrames(Process& renderer, Rect area)
    {
        const bool drawn = WaitUntil([&] { return LitIn(area) > 1000 || !renderer.Running(); }, Millis(15000),
                                     Millis(100));
        EXPECT_TRUE(drawn && renderer.Running()) << "no frames drawn: " << Log();
        return drawn && renderer.Running();
    }

    // Waits for the window and its first frames; under Wine a little more,
    // so that the first mouse move (which fixes the origin) has arrived.
    WindowInfo WaitForWindow(Process& renderer)
    {
        const auto window = StageTest::WaitForWindow(renderer, kTitle);
        EXPECT_TRUE(window.has_value()) << "no window titled " << kTitle << ": " << Log();
        if (!window || !WaitForFrames(renderer, {window->x, window->y, window->width, window->height}))
            return WindowInfo{};
#ifndef QV_NATIVE_LAUNCHER
        std::this_thread::sleep_for(Millis(1200));
#endif
        return *window;
    }

    void ExpectEndsWithZero(Process& renderer) const { ExpectExit(renderer, 0, Millis(10000), Log()); }
};

TEST_F(RENDERER_SUITE, CoversTheScreenFindableByTitleAndShowsRings)
{
    Process renderer = Start();
    const WindowInfo window = WaitForWindow(renderer);
    ASSERT_NE(window.id, 0u);
    EXPECT_EQ(window.rect(), Rect({0, 0, stage.x.screenWidth(), stage.x.screenHeight()}));
#ifndef QV_NATIVE_LAUNCHER
    EXPECT_TRUE(QvTool({"find", kTitle})) << "FindWindowA from another process finds it";
#endif

    // A whole frame of spheres (the first frames may still be coming).
    ASSERT_TRUE(WaitUntil([&] { return LitIn({0, 0, stage.x.screenWidth(), stage.x.screenHeight()}) > 8000; },
                          Millis(5000), Millis(100)));
    const ScreenShot screen = stage.x.Grab();
    const int width = screen.width, height = screen.height;
    ASSERT_EQ(screen.rgb.size(), static_cast<size_t>(width) * height * 3);
    EXPECT_EQ(screen.At(width - 1, 0), 0u) << "black at the top right";
    EXPECT_EQ(screen.At(0, height - 1), 0u) << "black at the bottom left";
    ExpectRingsIn(screen, {0, 0, width, height}, 8000, 80000, 60);
    // The rings (radius 100 at 400 units, spheres of 8) stay within some 330
    // pixels of the centre on a 768-pixel-high screen.
    long outsideRings = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            outsideRings += screen.At(x, y) != 0 && std::hypot(x - width / 2.0, y - height / 2.0) > 330;
    }
    EXPECT_EQ(outsideRings, 0);

#ifdef QV_NATIVE_LAUNCHER
    // The pointer over the window shows no cursor.
    const auto cursor = stage.x.CursorNow();
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->visible, 0) << "cursor pixels shown over the window";
#endif

    stage.x.TapKey("space");
    ExpectEndsWithZero(renderer);
}

class RendererEnds : public RENDERER_SUITE, public ::testing::WithParamInterface<EndingInput> {};

TEST_P(RendererEnds, WithExitCodeZero)
{
    Process renderer = Start();
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    GetParam().act(stage.x);
    ExpectEndsWithZero(renderer);
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty()) << "the window goes with the process";
}

INSTANTIATE_TEST_SUITE_P(Input, RendererEnds, ::testing::ValuesIn(RendererEndingInputs()), ByName());

#ifndef QV_NATIVE_LAUNCHER
// Without the system folder's opengl32 or glu32 nothing can draw: the renderer
// ends at once with exit code 0 and shows no window, as when they are missing.
class RendererWithout : public RENDERER_SUITE, public ::testing::WithParamInterface<const char*> {};

TEST_P(RendererWithout, ItsSystemOpenGlEndsAtOnceWithZero)
{
    Process renderer = Start({}, {{"WINEDLLOVERRIDES", std::string("mscoree,mshtml=;") + GetParam() + "=d"}});
    ExpectEndsWithZero(renderer);
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty()) << "a window without OpenGL";
}

INSTANTIATE_TEST_SUITE_P(Disabled, RendererWithout, ::testing::Values("opengl32", "glu32"),
                         [](const auto& info) { return std::string(info.param); });
#endif

TEST_F(RENDERER_SUITE, KeepsRunningAfterSmallMovesSystemCommandsAndTheWheel)
{
    Process renderer = Start();
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    auto stillRunning = [&](const char* after) {
        std::this_thread::sleep_for(Millis(700));
        EXPECT_TRUE(renderer.Running()) << "ended after " << after;
        EXPECT_TRUE(stage.x.FindMappedWindow(kTitle).has_value()) << "window gone after " << after;
    };
    PlayNonEndingInputs(stage.x, stillRunning);
#ifndef QV_NATIVE_LAUNCHER
    EXPECT_TRUE(QvTool({"post", kTitle, "0x0112", "0xF060", "0"}));  // WM_SYSCOMMAND, SC_CLOSE
    stillRunning("a posted SC_CLOSE");
    EXPECT_TRUE(QvTool({"post", kTitle, "0x0112", "0xF140", "0"}));  // SC_SCREENSAVE
    EXPECT_TRUE(QvTool({"post", kTitle, "0x0112", "0xF170", "2"}));  // SC_MONITORPOWER off
    stillRunning("posted screen-saver and monitor-power commands");
#endif
    stage.x.TapKey("Escape");
    ExpectEndsWithZero(renderer);
}

#ifdef QV_NATIVE_LAUNCHER
TEST_F(RENDERER_SUITE, CloseRequestAndSigtermEndItCleanly)
{
    Process renderer = Start();
    const WindowInfo window = WaitForWindow(renderer);
    ASSERT_NE(window.id, 0u);
    Display* dpy = stage.x.display();
    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = window.id;
    close.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window.id, False, NoEventMask, &close);
    XSync(dpy, False);
    ExpectEndsWithZero(renderer);

    Process second = Start();
    ASSERT_NE(WaitForWindow(second).id, 0u);
    kill(second.pid(), SIGTERM);
    ExpectEndsWithZero(second);
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty());
}
#else
TEST_F(RENDERER_SUITE, CloseMessageFromAnotherProcessEndsIt)
{
    Process renderer = Start();
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    EXPECT_TRUE(QvTool({"close", kTitle}));
    ExpectEndsWithZero(renderer);
}
#endif

#ifdef QV_NATIVE_LAUNCHER
// A window of the test's own on a grey root, as a host would give one.
class GivenWindow : public RENDERER_SUITE {
protected:
    static constexpr unsigned long kRootGrey = 0x404040, kHostBlue = 0x2020a0;
    Rect host = {100, 80, 480, 360};
    std::optional<ColouredWindow> hostWindow;

    void SetUp() override
    {
        RENDERER_SUITE::SetUp();
        RootBackground(kRootGrey);
        hostWindow.emplace(stage.x.display(), host, kHostBlue);
        std::this_thread::sleep_for(Millis(200));
    }

    void TearDown() override
    {
        hostWindow.reset();
        RootBackground(0);
    }

    void RootBackground(unsigned long rgb) const
    {
        Display* dpy = stage.x.display();
        XSetWindowBackground(dpy, DefaultRootWindow(dpy), rgb);
        XClearWindow(dpy, DefaultRootWindow(dpy));
        XSync(dpy, False);
    }

    std::string HostId() const { return std::to_string(hostWindow->id()); }

    int ChildCount() const { return stage.x.ChildCount(hostWindow->id()); }

    // Rings drawn in the host's area on black, centred in it; the screen
    // around it untouched.
    void ExpectRingsInHostOnly(const char* when)
    {
        SCOPED_TRACE(when);
        const ScreenShot screen = stage.x.Grab();
        EXPECT_EQ(CountOtherThan(screen, host, kRootGrey), 0) << "pixels changed outside the window";
        ExpectRingsIn(screen, host, 2000, static_cast<long>(host.width) * host.height, 40);
    }
};

TEST_F(GivenWindow, RingsAppearInThatWindowOnlyAndFollowItsSize)
{
    Process renderer = Start({"-window-id", HostId()});
    ASSERT_TRUE(WaitForFrames(renderer, host));
    EXPECT_EQ(ChildCount(), 1);
    ExpectRingsInHostOnly("at first");

    host = {100, 80, 700, 560};
    hostWindow->Resize(host.width, host.height);
    // Grown: its new corner turns from the window's blue to the renderer's black.
    const bool followed = WaitUntil(
        [&] { return stage.x.PixelAt(host.x + host.width - 1, host.y + host.height - 1) == 0; },
        Millis(5000), Millis(100));
    EXPECT_TRUE(followed) << "the drawing did not follow the window's new size";
    std::this_thread::sleep_for(Millis(300));
    ExpectRingsInHostOnly("after the window grew");

    // Input belongs to the host: a move and a key do not end a hack.
    stage.x.MovePointerTo(300, 300);
    stage.x.TapKey("a");
    std::this_thread::sleep_for(Millis(500));
    EXPECT_TRUE(renderer.Running());

    kill(renderer.pid(), SIGTERM);
    ExpectEndsWithZero(renderer);
    EXPECT_EQ(ChildCount(), 0) << "the renderer's drawing window goes with it; the host stays";
}

TEST_F(GivenWindow, EndsWhenTheWindowIsDestroyed)
{
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", hostWindow->id());
    Process renderer = Start({"--window-id", hex});
    ASSERT_TRUE(WaitForFrames(renderer, host));
    hostWindow.reset();
    ExpectEndsWithZero(renderer);
}

TEST_F(GivenWindow, RootDrawsBelowOtherWindows)
{
    Process renderer = Start({"-root"});
    ASSERT_NE(WaitForWindow(renderer).id, 0u);
    ScreenShot screen;
    long litAround = 0;
    const bool drawn = WaitUntil(
        [&] {
            screen = stage.x.Grab();
            litAround = CountLit(screen, {0, 0, screen.width, screen.height}).lit - CountLit(screen, host).lit;
            return litAround > 2000;
        },
        Millis(10000), Millis(100));
    EXPECT_TRUE(drawn) << "rings on the root around the window: " << litAround << " lit pixels";
    long hostChanged = 0;
    for (int y = host.y; y < host.y + host.height; ++y) {
        for (int x = host.x; x < host.x + host.width; ++x) hostChanged += screen.At(x, y) != kHostBlue;
    }
    EXPECT_EQ(hostChanged, 0) << "the rings cover a window above the root";
    kill(renderer.pid(), SIGTERM);
    ExpectEndsWithZero(renderer);
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> args;
    bool ownServerWithoutGlx;
    const char* display;  // null: the suite's display
    int exitCode;
    const char* message;
};

class Refuses : public RENDERER_SUITE, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refuses, WithAMessageAndNonZeroExit)
{
    const RefusalCase& c = GetParam();
    Xvfb withoutGlx;
    std::string display = c.display != nullptr ? c.display : stage.xvfb.display();
    if (c.ownServerWithoutGlx) {
        ASSERT_TRUE(withoutGlx.Start(640, 480, stage.logDir + "/xvfb-no-glx.log", {"-extension", "GLX"}));
        display = withoutGlx.display();
    }
    std::vector<std::string> argv = {stage.nativeRenderer};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ToolResult result =
        RunTool(argv, {{"DISPLAY", display}, {"XSCREENSAVER_WINDOW", ""}}, Millis(10000), LogPath());
    EXPECT_EQ(result.exitCode, c.exitCode) << "it must end, not spin: " << result.output;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty());
    withoutGlx.Stop();
}

INSTANTIATE_TEST_SUITE_P(
    Failures, Refuses,
    ::testing::Values(
        RefusalCase{"NoDisplay", {}, false, ":997", 1, "cannot open the X display \":997\""},
        RefusalCase{"NoGlxOnTheServer", {}, true, nullptr, 1, "GLX extension missing"},
        RefusalCase{"NoGlxAsAHack", {"-root"}, true, nullptr, 1, "GLX extension missing"},
        RefusalCase{"NoSuchWindow", {"-window-id", "0x1fffffe"}, false, nullptr, 1, "there is no window 0x1fffffe"},
        RefusalCase{"NotAWindowId", {"-window-id", "zebra"}, false, nullptr, 2, "not a window id: \"zebra\""},
        RefusalCase{"NegativeDelay", {"-delay", "-5"}, false, nullptr, 2, "not a delay of 0 to 10000000 microseconds: \"-5\""},
        RefusalCase{"DelayOverTenSeconds", {"-root", "-delay", "20000000"}, false, nullptr, 2, "not a delay of 0"},
        RefusalCase{"UnknownOption", {"/s"}, false, nullptr, 2, "unknown option \"/s\""}),
    ByName());

// Frames paced by -delay and the frame rate shown by -fps, standalone and on
// the root. The swap counter preloaded into the renderer logs "milliseconds
// since the first swap, swaps so far" by its own clock: frame n is drawn no
// sooner than (n - 1) delays after the first.
struct PacingCase {
    const char* name;
    std::vector<std::string> args;
    long gapMs;      // the least time between frames checked
    bool keepsGap;   // false: it draws faster than that
    bool showsRate;  // white text in the bottom left corner
};

class Pacing : public RENDERER_SUITE, public ::testing::WithParamInterface<PacingCase> {
protected:
    // White pixels (the text's) in `area` of the screen now.
    long WhiteIn(Rect area) const
    {
        const ScreenShot grab = stage.x.Grab(area);
        long white = 0;
        for (size_t i = 0; i + 2 < grab.rgb.size(); i += 3)
            white += grab.rgb[i] >= 0xc0 && grab.rgb[i + 1] >= 0xc0 && grab.rgb[i + 2] >= 0xc0;
        return white;
    }
};

TEST_P(Pacing, FramesWaitTheDelayAndTheRateShowsWhenAsked)
{
    const PacingCase& c = GetParam();
    const std::string swapLog = stage.logDir + "/swaps.log";
    WriteWholeFile(swapLog, "");
    WriteWholeFile(LogPath(), "");
    std::vector<std::string> argv = {stage.nativeRenderer};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    Process renderer = Process::Start(argv,
                                      {{"DISPLAY", stage.xvfb.display()}, {"XSCREENSAVER_WINDOW", ""},
                                       {"LD_PRELOAD", QV_SWAP_COUNTER}, {"QV_SWAP_LOG", swapLog}},
                                      LogPath());
    std::vector<std::pair<long, long>> counts;  // (milliseconds, swaps)
    const bool drew = WaitUntil(
        [&] {
            counts.clear();
            std::istringstream lines(ReadWholeFile(swapLog));
            for (long ms = 0, swaps = 0; lines >> ms >> swaps;) counts.emplace_back(ms, swaps);
            return (!counts.empty() && counts.back().first >= 2000) || !renderer.Running();
        },
        Millis(20000), Millis(100));
    ASSERT_TRUE(drew && renderer.Running()) << "no two seconds of frames: " << Log();
    bool gapKept = true;
    for (const auto& [ms, swaps] : counts) gapKept = gapKept && (swaps - 1) * c.gapMs <= ms;
    EXPECT_EQ(gapKept, c.keepsGap) << counts.back().second << " frames in " << counts.back().first << " ms";

    const Rect corner = {0, stage.x.screenHeight() - 40, 240, 40};
    long white = 0;
    if (c.showsRate)
        WaitUntil([&] { return (white = WhiteIn(corner)) > 50 || !renderer.Running(); }, Millis(5000), Millis(100));
    else
        white = WhiteIn(corner);
    EXPECT_EQ(white > 50, c.showsRate) << white << " white pixels in the bottom left corner";
    EXPECT_EQ(WhiteIn({0, 0, 240, 40}), 0) << "the text is in the bottom left corner only";
    kill(renderer.pid(), SIGTERM);
    ExpectEndsWithZero(renderer);
}

constexpr long kDefaultGapMs = kDefaultDelayMicroseconds / 1000;

INSTANTIATE_TEST_SUITE_P(
    DelayAndRate, Pacing,
    ::testing::Values(PacingCase{"DefaultDelay", {}, kDefaultGapMs, true, false},
                      PacingCase{"NoDelayDrawsFaster", {"-delay", "0", "-fps"}, kDefaultGapMs, false, true},
                      PacingCase{"LongDelayOnTheRoot", {"-root", "--delay", "300000", "--fps"}, 300, true, true}),
    ByName());

TEST_F(RENDERER_SUITE, HelpPrintsUsageAndExitsZero)
{
    const ToolResult result = RunTool({stage.nativeRenderer, "--help"}, {}, Millis(5000), LogPath());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.output.find("-window-id ID"), std::string::npos) << result.output;
}

#endif  // QV_NATIVE_LAUNCHER

}  // namespace
