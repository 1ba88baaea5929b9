// Bad settings and music files under Wine, for the shipped saver's run (/s)
// and its settings dialog (/c): one table of cases. Each run still starts,
// is silent where the music cannot play, ends on input with exit code 0 and
// leaves the settings file as it was; and the saver ends as promptly after
// the renderer as a run without music does. A DLL planted beside the pair
// under a system library's name, with Wine told to prefer such files as
// Windows does, is never loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>
#include <tuple>

#include "saver_stage.h"

using namespace support;
namespace fs = std::filesystem;

namespace {

const std::string kWindowsFolder = "C:\\Program Files\\Quorvellanto Bad Files";

enum class Bad {
    None,            // good settings, no music: the measure of a prompt end
    IniFolder,       // the settings file is a folder
    IniEmpty,
    IniRandom10MB,
    IniLocked,       // held open by another program: it cannot be read
    Mp3Empty,
    Mp3Truncated,    // the first 3000 bytes of an MP3
    Mp3Random,
    WavRandom,
    Mp3Picture,      // a picture named .mp3
    Mp3Folder,       // a folder named x.mp3
    WavLongPath,     // a good WAV on a path of more than 260 characters
    PlantedLibrary,  // a DLL beside the pair named as a system library; a good WAV plays
    WavDeleted,      // deleted while the run goes on
    Mp3Deleted,
};

struct BadCase {
    const char* name;
    Bad bad;
    bool maySound;                  // the music may play (a good file, or a readable part of one)
    const char* planted = nullptr;  // PlantedLibrary: the DLL's file name
};

enum class Mode { Run, Dialog };
using Param = std::tuple<BadCase, Mode>;

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

class BadFiles : public StageTest, public ::testing::WithParamInterface<Param> {
protected:
    std::string folder, ini, music;  // Unix paths: program folder, its settings file, the music folder
    Process locker;
    std::map<std::string, std::string> env;  // added to the programs' environment

    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(WaitUntil([&] { return stage.x.FindWindows(kRendererTitle).empty() && stage.x.FindWindows(kDialogTitle).empty() &&
                                           !QvTool({"find", kRunFormTitle}); },
                              Millis(15000)))
            << "a run of an earlier test is still up";
        fs::remove_all(stage.wine.DriveC() + "/Program Files/Quorvellanto Bad Files/Quorvellanto.ini");
        folder = InstallPair("Quorvellanto Bad Files");
        ini = folder + "/Quorvellanto.ini";
        music = stage.wine.DriveC() + "/Bad Music";
        fs::remove_all(music);
        EnsureDir(music);
        WarmUp();
        stage.x.MovePointerTo(512, 384);
    }

    // The first renderer of a fresh prefix starts slowly (Wine loads and
    // caches its OpenGL and font libraries), slower than the saver's first
    // watch under a loaded machine: start it once on its own, before any case.
    void WarmUp()
    {
        static bool warm = false;
        if (warm) return;
        warm = true;
        Process renderer = stage.wine.Run({kWindowsFolder + "\\Quorvellanto.dll"}, "bad-files-warmup.log");
        EXPECT_TRUE(WaitUntil([&] { return stage.x.FindMappedWindow(kRendererTitle).has_value() || !renderer.Running(); },
                              Millis(60000)));
        QvTool({"close", kRendererTitle});
        EXPECT_TRUE(renderer.WaitExit(Millis(10000)).has_value()) << "the warm-up renderer did not end";
    }

    // A case that failed half-way may leave a window up: close it, so that
    // the next case starts alone.
    void TearDown() override
    {
        locker.Kill();
        if (const char* planted = std::get<0>(GetParam()).planted) {
            fs::remove(folder + "/" + planted);
            fs::remove(folder + "/" + planted + ".ran");
        }
        for (const char* title : {kRendererTitle, kDialogTitle}) {
            if (!stage.x.FindWindows(title).empty()) QvTool({"close", title});
        }
        WaitUntil([&] { return stage.x.FindWindows(kRendererTitle).empty() && stage.x.FindWindows(kDialogTitle).empty(); },
                  Millis(10000));
        fs::remove_all(ini);
        fs::remove_all(music);
    }

    void WriteSettings(int kind, const std::string& windowsPath) { WriteWholeFile(ini, SettingsText(kind, 0, windowsPath)); }

    // A music file in the music folder, named in the settings; its Unix path.
    std::string MusicFile(const std::string& name, const std::string& bytes)
    {
        const std::string path = music + "/" + name;
        WriteWholeFile(path, bytes);
        WriteSettings(2, WindowsPath(path));
        return path;
    }

    // Makes the bad file of the case; gives the music file to delete during the run, if any.
    std::string Prepare(Bad bad)
    {
        switch (bad) {
        case Bad::None: WriteSettings(0, ""); break;
        case Bad::IniFolder: fs::create_directory(ini); break;
        case Bad::IniEmpty: WriteWholeFile(ini, ""); break;
        case Bad::IniRandom10MB: WriteWholeFile(ini, RandomBytes(10 << 20, 10)); break;
        case Bad::IniLocked: {
            // Settings that would play a WAV, were they read.
            WriteSettings(2, WindowsPath(Fixture("tone 500ms.wav")));
            // The log is appended to: an earlier case's "locked" must not be read as this one's.
            const std::string log = stage.logDir + "/lock.log";
            WriteWholeFile(log, "");
            locker = stage.wine.Run({stage.toolsDir + "/qvtool.exe", "lock", WindowsPath(ini), "60000"}, "lock.log");
            EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log).find("locked") != std::string::npos; }, Millis(30000)))
                << "qvtool did not take the file";
            break;
        }
        case Bad::Mp3Empty: MusicFile("empty.mp3", ""); break;
        case Bad::Mp3Truncated: MusicFile("truncated.mp3", ReadWholeFile(Fixture("tone 1s.mp3")).substr(0, 3000)); break;
        case Bad::Mp3Random: MusicFile("random.mp3", RandomBytes(100000, 1)); break;
        case Bad::WavRandom: MusicFile("random.wav", RandomBytes(100000, 2)); break;
        case Bad::Mp3Picture: MusicFile("picture.mp3", ReadWholeFile(stage.previewBitmap)); break;
        case Bad::Mp3Folder: {
            const std::string path = EnsureDir(music + "/x.mp3");
            WriteSettings(2, WindowsPath(path));
            break;
        }
        case Bad::WavLongPath: {
            std::string path = music;
            for (int i = 0; i < 5; ++i) path = EnsureDir(path + "/" + std::string(50, static_cast<char>('a' + i)));
            path += "/tone.wav";
            WriteWholeFile(path, ReadWholeFile(Fixture("tone 3s.wav")));
            EXPECT_GT(WindowsPath(path).size(), 260u);
            WriteSettings(2, WindowsPath(path));
            break;
        }
        case Bad::PlantedLibrary: {
            const char* planted = std::get<0>(GetParam()).planted;
            fs::copy_file(stage.toolsDir + "/planted_library.dll", folder + "/" + planted,
                          fs::copy_options::overwrite_existing);
            // Native first, then Wine's own: a DLL beside the program is taken as Windows takes it.
            env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;opengl32,glu32,msimg32,winmm=n,b";
            MusicFile("tone.wav", ReadWholeFile(Fixture("tone 3s.wav")));
            break;
        }
        case Bad::WavDeleted: return MusicFile("deleted.wav", ReadWholeFile(Fixture("tone 3s.wav")));
        case Bad::Mp3Deleted: return MusicFile("deleted.mp3", ReadWholeFile(Fixture("tone 1s.mp3")));
        }
        return {};
    }

    // The settings file as it stands: its bytes, or that it is a folder or missing.
    std::string SettingsAsTheyStand() const
    {
        if (fs::is_directory(ini)) return "<folder>";
        if (!fs::exists(ini)) return "<missing>";
        return ReadWholeFile(ini);
    }

    void Run(const BadCase& c, const std::string& toDelete)
    {
        // The saver's watch looks for the renderer's window half a second
        // after starting it and ends the run when it is not there yet: on a
        // heavily loaded machine the renderer can be that slow. Such a start
        // is made once more (its late renderer closed); a bad file that keeps
        // the run from starting fails both.
        Process saver;
        for (int attempt = 0; attempt < 2; ++attempt) {
            saver = stage.wine.Run({kWindowsFolder + "\\Quorvellanto.scr", "/s"}, "bad-files-saver.log", env);
            ASSERT_TRUE(WaitUntil([&] { return stage.x.FindMappedWindow(kRendererTitle).has_value() || !saver.Running(); },
                                  Millis(30000)));
            if (saver.Running()) break;
            if (WaitUntil([&] { return stage.x.FindMappedWindow(kRendererTitle).has_value(); }, Millis(10000)))
                QvTool({"close", kRendererTitle});
            WaitUntil([&] { return stage.x.FindWindows(kRendererTitle).empty(); }, Millis(10000));
        }
        ASSERT_TRUE(saver.Running() && stage.x.FindMappedWindow(kRendererTitle).has_value()) << "the run did not start";
        const auto up = Clock::now();
        if (!toDelete.empty()) {
            std::this_thread::sleep_for(Millis(300));
            EXPECT_TRUE(fs::remove(toDelete));
        }
        std::this_thread::sleep_for(Millis(300));
        if (!c.maySound) EXPECT_EQ(LoudSamples(Listen(Millis(800))), 0) << "music that cannot play is silence";
        // The music may start a moment after the window on a loaded machine:
        // listened for in slices, within the time the run is kept up.
        if (c.planted) {
            long loud = 0;
            for (int slice = 0; slice < 4 && loud == 0; ++slice) loud = LoudSamples(Listen(Millis(250)));
            EXPECT_GT(loud, 0) << "the system's own winmm plays the WAV";
        }
        Millis after{};
        ASSERT_EQ(EndRunWithMouse(saver, &after, up), 0) << "the saver did not end after the renderer";
        EXPECT_LT(after.count(), 3000) << "the saver ends as promptly as a run without music";
    }

    void Dialog()
    {
        Process saver = stage.wine.Run({kWindowsFolder + "\\Quorvellanto.scr", "/c"}, "bad-files-dialog.log", env);
        WindowInfo window;
        const bool open = WaitForDialog(saver, window);
        ASSERT_TRUE(open) << "the dialog did not open; the saver "
                          << (saver.Running() ? "runs" : "ended with " + std::to_string(saver.WaitExit(Millis(0)).value_or(-1)));
        CancelDialog(saver, window);
    }
};

TEST_P(BadFiles, StartsStaysQuietAndEndsCleanly)
{
    const auto& [c, mode] = GetParam();
    const std::string toDelete = Prepare(c.bad);
    const std::string before = SettingsAsTheyStand();
    if (mode == Mode::Run) {
        Run(c, toDelete);
    } else {
        Dialog();
    }
    locker.Kill();
    EXPECT_EQ(SettingsAsTheyStand(), before) << "the settings file is left as it was";
    if (c.planted) EXPECT_FALSE(fs::exists(folder + "/" + c.planted + ".ran")) << "the planted " << c.planted << " ran";
}

const BadCase kEveryCase[] = {
    {"NoMusic", Bad::None, false},
    {"SettingsFolder", Bad::IniFolder, false},
    {"SettingsEmpty", Bad::IniEmpty, false},
    {"SettingsRandom10MB", Bad::IniRandom10MB, false},
    {"SettingsLocked", Bad::IniLocked, false},
    {"Mp3Empty", Bad::Mp3Empty, false},
    {"Mp3Truncated", Bad::Mp3Truncated, true},
    {"Mp3RandomBytes", Bad::Mp3Random, false},
    {"WavRandomBytes", Bad::WavRandom, false},
    {"Mp3Picture", Bad::Mp3Picture, false},
    {"Mp3Folder", Bad::Mp3Folder, false},
    {"WavPathOver260", Bad::WavLongPath, false},
    {"PlantedOpengl32", Bad::PlantedLibrary, true, "OPENGL32.dll"},
    {"PlantedGlu32", Bad::PlantedLibrary, true, "GLU32.dll"},
    {"PlantedMsimg32", Bad::PlantedLibrary, true, "MSIMG32.dll"},
    {"PlantedWinmm", Bad::PlantedLibrary, true, "WINMM.dll"},
    {"WavDeletedDuringTheRun", Bad::WavDeleted, true},
    {"Mp3DeletedDuringTheRun", Bad::Mp3Deleted, true},
};

std::string NameOf(const ::testing::TestParamInfo<Param>& info)
{
    return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) == Mode::Run ? "_Run" : "_Dialog");
}

INSTANTIATE_TEST_SUITE_P(Run, BadFiles, ::testing::Combine(::testing::ValuesIn(kEveryCase), ::testing::Values(Mode::Run)),
                         NameOf);
// The dialog reads the same files; deleting one while it is open is no case of its own.
INSTANTIATE_TEST_SUITE_P(Dialog, BadFiles,
                         ::testing::Combine(::testing::ValuesIn(std::begin(kEveryCase), std::end(kEveryCase) - 2),
                                            ::testing::Values(Mode::Dialog)),
                         NameOf);

}  // namespace
