// What the end-to-end suites need to run the shipped programs for real: a
// stage of their own (an Xvfb, optionally a Wine prefix whose sound goes into
// a file) and a base fixture for "start a program, wait for its window,
// expect its exit code". The stage's parts have headers of their own
// (processes.h, x_display.h, wine_prefix.h, pixels.h), included here.
#pragma once
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files.h"
#include "pixels.h"
#include "processes.h"
#include "renderer_contract.h"
#include "wine_prefix.h"
#include "x_display.h"

namespace support {

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

// The title by which the renderer's window is found.
constexpr const char* kRendererTitle = kRendererWindowTitle;

// Base fixture: the stage is ready, and helpers to start a program, wait for
// its window and expect its exit code.
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
};

// GoogleTest's name of a parameter that has a `name`.
struct ByName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const { return info.param.name; }
};

}  // namespace support
