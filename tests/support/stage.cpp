#include "stage.h"

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace support {

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

}  // namespace support
