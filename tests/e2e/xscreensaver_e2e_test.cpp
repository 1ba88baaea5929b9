// The renderer as a hack of the real XScreenSaver (Debian's xscreensaver),
// started on the suite's Xvfb with a configuration of the test's own that
// lists the built program with the options its settings description gives
// (the frame rate shown, as a user ticking "Show frame rate" asks), activated
// and deactivated by xscreensaver-command.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "stage.h"

using namespace support;

namespace {

class XScreenSaver : public StageTest {
protected:
    std::string place, hack, home, options;
    Process daemon;

    std::map<std::string, std::string> Env() const
    {
        // A PATH without root's private folders: the daemon runs as nobody.
        return {{"DISPLAY", stage.xvfb.display()},
                {"HOME", home},
                {"PATH", "/usr/bin:/bin"},
                {"XSCREENSAVER_WINDOW", ""}};
    }

    // The hack's options as XScreenSaver's settings write them from the
    // description: its command's, the frame-rate slider at its default, and
    // the "Show frame rate" box ticked.
    std::string SettingsOptions() const
    {
        const auto read = [&](const char* expression) {
            std::string value = RunTool({"xmllint", "--xpath", expression, QV_SETTINGS_XML}, {}, Millis(10000),
                                        stage.logDir + "/xmllint.log").output;
            while (!value.empty() && value.back() == '\n') value.pop_back();
            return value;
        };
        std::string delay = read("string(//number[@id='delay']/@arg)");
        if (const size_t at = delay.find('%'); at != std::string::npos)
            delay.replace(at, 1, read("string(//number[@id='delay']/@default)"));
        return " " + read("string(/screensaver/command/@arg)") + " " + delay + " " +
               read("string(//boolean[@id='showfps']/@arg-set)");
    }

    ToolResult Command(const std::string& verb)
    {
        return RunTool({"xscreensaver-command", verb}, Env(), Millis(15000), stage.logDir + "/xscreensaver-command.log");
    }

    void SetUp() override
    {
        StageTest::SetUp();
        // The daemon runs as nobody when the tests run as root, and the build
        // tree may sit where nobody cannot reach: the hack and the daemon's
        // HOME go into a folder open to every user.
        char folder[] = "/tmp/qv-xscreensaver-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        place = folder;
        hack = place + "/quorvellanto";
        std::filesystem::copy_file(stage.nativeRenderer, hack);
        home = EnsureDir(place + "/home");
        options = SettingsOptions();
        ASSERT_NE(options.find("--fps"), std::string::npos) << options;
        const std::string config = home + "/.xscreensaver";
        WriteWholeFile(config,
                       "mode:\t\tone\n"
                       "selected:\t0\n"
                       "timeout:\t1:00:00\n"
                       "cycle:\t\t1:00:00\n"
                       "lock:\t\tFalse\n"
                       "splash:\t\tFalse\n"
                       "fade:\t\tFalse\n"
                       "unfade:\t\tFalse\n"
                       "programs:\t\\\n"
                       "  GL: \t\t" + hack + options + "\t\\n\\\n\n");
        for (const std::string& path : {place, home, hack}) chmod(path.c_str(), 0755);
        chmod(config.c_str(), 0644);

        // XScreenSaver refuses to launch hacks as root: run it as nobody then.
        std::vector<std::string> argv = {"xscreensaver", "-no-splash", "-verbose"};
        if (geteuid() == 0)
            argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        WriteWholeFile(stage.logDir + "/xscreensaver.log", "");
        daemon = Process::Start(argv, Env(), stage.logDir + "/xscreensaver.log");
        ASSERT_TRUE(WaitUntil([&] { return Command("-version").exitCode == 0 || !daemon.Running(); }, Millis(20000),
                              Millis(200)));
        ASSERT_TRUE(daemon.Running()) << ReadWholeFile(stage.logDir + "/xscreensaver.log");
    }

    void TearDown() override
    {
        daemon.Kill();
        if (!place.empty()) std::filesystem::remove_all(place);
    }

    LitPixels Lit(ScreenShot* grab = nullptr) const
    {
        ScreenShot screen = stage.x.Grab();
        const LitPixels lit = CountLit(screen, {0, 0, screen.width, screen.height});
        if (grab != nullptr) *grab = std::move(screen);
        return lit;
    }

    static std::string ProcFile(int pid, const char* name)
    {
        std::string bytes = ReadWholeFile("/proc/" + std::to_string(pid) + "/" + name);
        for (char& c : bytes) {
            if (c == '\0') c = '\n';
        }
        return bytes;
    }
};

TEST_F(XScreenSaver, ActivateShowsTheRingsAndDeactivateEndsTheHack)
{
    ASSERT_EQ(Lit().lit, 0) << "the screen is black before";
    ASSERT_EQ(Command("-activate").exitCode, 0);

    std::vector<int> hacks;
    LitPixels lit;
    ScreenShot screen;
    const bool showing = WaitUntil(
        [&] {
            hacks = ProcessesOf(hack);
            lit = Lit(&screen);
            return hacks.size() == 1 && lit.lit > 8000;
        },
        Millis(15000), Millis(250));
    ASSERT_TRUE(showing) << hacks.size() << " hack processes, " << lit.lit << " lit pixels\n"
                         << ReadWholeFile(stage.logDir + "/xscreensaver.log");
    ExpectRingsIn(screen, {0, 0, screen.width, screen.height}, 8000, 80000, 60);

    // Started the way the configuration says, drawing into the window XScreenSaver made for it.
    const int hackPid = hacks.front();
    for (const char* option : {"--root", "--delay", "--fps"})
        EXPECT_NE(ProcFile(hackPid, "cmdline").find(option), std::string::npos) << option;
    // The frame rate in white in the bottom left corner, which the rings never reach.
    const Rect corner = {0, screen.height - 40, 240, 40};
    const bool rateShown = WaitUntil(
        [&] { return CountLit(stage.x.Grab(corner), {0, 0, corner.width, corner.height}).lit > 50; },
        Millis(5000), Millis(100));
    EXPECT_TRUE(rateShown) << "no frame rate shown";
    const std::string environ = ProcFile(hackPid, "environ");
    const size_t at = environ.find("XSCREENSAVER_WINDOW=");
    ASSERT_NE(at, std::string::npos) << "XScreenSaver names its window to the hack";
    const unsigned long saverWindow = std::stoul(environ.substr(at + 20), nullptr, 0);
    EXPECT_NE(saverWindow, 0u);
    EXPECT_TRUE(stage.x.HasChildTitled(saverWindow, "Quorvellanto_VC")) << "the drawing sits inside XScreenSaver's window";

    ASSERT_EQ(Command("-deactivate").exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(hack).empty(); }, Millis(10000), Millis(100)))
        << "the hack outlived the deactivation";
    EXPECT_TRUE(WaitUntil([&] { return Lit().lit == 0; }, Millis(10000), Millis(250)))
        << "the rings stay on the screen after the deactivation";
    EXPECT_TRUE(daemon.Running()) << "XScreenSaver itself goes on";
}

}  // namespace
