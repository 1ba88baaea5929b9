// The settings file through the real private-profile functions.
#include <gtest/gtest.h>

#include <vector>

#include "settings_file.h"
#include "win32_profile_store.h"
#include "win32_program_services.h"
#include "files.h"
#include "win32_system_library.h"
#include "win_support.h"

namespace {

// Wine's profile functions drop the leading blanks of a value as they write
// it; Windows keeps them. What the saver hands over is checked either way.
bool RunsOnWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string Stored(const std::string& value)
{
    return RunsOnWine() ? value.substr(value.find_first_not_of(' ')) : value;
}
// The whole file as the saver writes it.
std::string Written(int kind, int repeat, const std::string& file)
{
    return support::SettingsText(kind, repeat, file, RunsOnWine() ? "=" : "= ");
}

// The real store, with every value it was handed kept.
class RecordingProfile : public Win32ProfileStore {
public:
    std::vector<std::string> values;
    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& file) override
    {
        values.push_back(value);
        return Win32ProfileStore::Write(section, key, value, file);
    }
};


// The program folder and the user's folder are scratch folders; everything
// else is the real thing.
class ScratchFolderServices : public Win32ProgramServices {
public:
    std::string folder, userFolder;
    std::string ProgramFolder() const override { return folder; }
    std::string UserDataFolder(bool) override { return userFolder; }
};

class ProfileFile : public ::testing::Test {
protected:
    RecordingProfile profile;
    ScratchFolderServices services;
    std::string ini;

    void SetUp() override
    {
        services.folder = win::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ini = services.folder + "\\Quorvellanto.ini";
        DeleteFileA(ini.c_str());
        services.userFolder = win::MakeScratchFolder((std::string("user-") +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name()).c_str());
        DeleteFileA((services.userFolder + "\\Quorvellanto.ini").c_str());
    }

    // What a start with a fresh state loads.
    MusicSettings Loaded()
    {
        MusicSettings loaded;
        LoadSettings(loaded, profile, services);
        return loaded;
    }
    MusicSettings settings;
};

std::string Utf8To932(const wchar_t* text)
{
    char bytes[64] = {};
    WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

TEST_F(ProfileFile, KeyNamesAreTheCodePage932FormsOfTheJapaneseNames)
{
    EXPECT_EQ(Utf8To932(L"BGM区分"), kKeyBgmKind);
    EXPECT_EQ(Utf8To932(L"BGMﾘﾋﾟｰﾄ"), kKeyBgmRepeat);
    EXPECT_EQ(Utf8To932(L"BGMﾌｧｲﾙ"), kKeyBgmFile);
}

TEST_F(ProfileFile, SavedFileHoldsTheFourLinesInCodePage932)
{
    const std::string music = services.folder + "\\My Music.mp3";
    support::WriteWholeFile(music, "ID3");
    settings.kind = 2;
    settings.repeatTrack = 0;
    settings.file = music;
    SaveSettings(settings, profile, services);
    EXPECT_EQ(profile.values, (std::vector<std::string>{" 2", " 0", music}));
    EXPECT_EQ(support::ReadWholeFile(ini), Written(2, 0, music)) << "system ANSI code page " << GetACP();

    settings = Loaded();
    EXPECT_EQ(settings.kind, 2);
    EXPECT_EQ(settings.repeatTrack, 0);
    EXPECT_EQ(settings.file, music);
    EXPECT_EQ(settings.folder, services.folder);
}

// The real profile functions and file system: a music path of the longest
// kept length is saved and loaded back whole; one byte more is forgotten.
TEST_F(ProfileFile, TheLongestMusicPathLoadsBackWholeAndALongerOneIsForgotten)
{
    for (const std::size_t length : {kLongestMusicPath, kLongestMusicPath + 1}) {
        const std::string prefix = services.folder + "\\";
        ASSERT_LT(prefix.size() + 5, length);
        const std::string music = prefix + std::string(length - prefix.size() - 4, 'm') + ".wav";
        ASSERT_EQ(music.size(), length);
        support::WriteWholeFile(music, "RIFF");
        settings.kind = 2;
        settings.repeatTrack = 0;
        settings.file = music;
        ASSERT_TRUE(SaveSettings(settings, profile, services));
        settings = Loaded();
        const bool kept = length <= kLongestMusicPath;
        EXPECT_EQ(settings.file, kept ? music : "") << length << " bytes";
        EXPECT_EQ(settings.kind, kept ? 2 : 0) << length << " bytes";
        DeleteFileA(music.c_str());
    }
}

TEST_F(ProfileFile, AFolderThatRefusesWritesSendsTheSettingsToTheUserCopy)
{
    services.folder = "C:\\no such folder\\Quorvellanto";  // WritePrivateProfileString fails there
    settings.kind = 1;
    settings.repeatTrack = 12;
    EXPECT_TRUE(SaveSettings(settings, profile, services));
    EXPECT_EQ(support::ReadWholeFile(services.userFolder + "\\Quorvellanto.ini"), Written(1, 12, ""));
    settings = Loaded();
    EXPECT_EQ(settings.kind, 1);
    EXPECT_EQ(settings.repeatTrack, 12);
}

// The user's folder under %APPDATA% (or, without it, the shell's application
// data folder), made only when a save asks for it.
class UserDataFolder : public ::testing::Test {
protected:
    std::string saved;
    bool hadAppData = false;
    void SetUp() override
    {
        char appData[MAX_PATH] = {};
        hadAppData = GetEnvironmentVariableA("APPDATA", appData, MAX_PATH) > 0;
        saved = appData;
    }
    void TearDown() override { SetEnvironmentVariableA("APPDATA", hadAppData ? saved.c_str() : nullptr); }
    static bool IsFolder(const std::string& path)
    {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
};

TEST_F(UserDataFolder, IsMadeOnlyWhenASaveAsksForIt)
{
    const std::string appData = win::MakeScratchFolder("appdata");
    const std::string folder = appData + "\\Quorvellanto";
    RemoveDirectoryA(folder.c_str());
    ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", appData.c_str()));
    Win32ProgramServices services;
    EXPECT_EQ(services.UserDataFolder(false), folder);
    EXPECT_FALSE(IsFolder(folder)) << "a lookup made the folder";
    EXPECT_EQ(services.UserDataFolder(true), folder);
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_EQ(services.UserDataFolder(true), folder) << "an existing folder is fine";
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(appData.c_str());
}

TEST_F(UserDataFolder, WithoutAppDataTheShellIsAsked)
{
    ASSERT_TRUE(hadAppData) << "APPDATA is set in every Windows session";
    const std::string expected = saved + "\\Quorvellanto";
    for (const char* unusable : {static_cast<const char*>(nullptr), "C:\\no such folder here"}) {
        SetEnvironmentVariableA("APPDATA", unusable);
        Win32ProgramServices services;
        EXPECT_EQ(services.UserDataFolder(false), expected) << (unusable ? unusable : "no APPDATA");
    }
}

// Libraries loaded on first use: only from the system folder, and a missing
// library or function gives nothing instead of a crash.
TEST(SystemLibrary, FindsFunctionsOfASystemDllAndNothingElse)
{
    SystemLibrary winmm("winmm.dll");
    EXPECT_FALSE(winmm.Loaded()) << "nothing is loaded before the first look-up";
    EXPECT_NE(winmm.Find<FARPROC>("waveOutGetNumDevs"), nullptr);
    EXPECT_TRUE(winmm.Loaded());
    EXPECT_EQ(winmm.Find<FARPROC>("NoSuchFunctionAnywhere"), nullptr);

    SystemLibrary missing("qv-no-such-library.dll");
    EXPECT_EQ(missing.Find<FARPROC>("Anything"), nullptr);
    EXPECT_FALSE(missing.Loaded());

    // A DLL of that name beside the program (the current folder) is never taken.
    const std::string scratch = win::MakeScratchFolder("planted");
    const std::string planted = scratch + "\\qv-planted.dll";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, planted.c_str(), FALSE));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(scratch.c_str());
    SystemLibrary plantedLibrary("qv-planted.dll");
    EXPECT_EQ(plantedLibrary.Find<FARPROC>("main"), nullptr);
    EXPECT_FALSE(plantedLibrary.Loaded()) << "a library outside the system folder was loaded";
    SetCurrentDirectoryA(previous);
    DeleteFileA(planted.c_str());
    RemoveDirectoryA(scratch.c_str());
}

TEST_F(ProfileFile, OtherSectionsAndKeysSurviveAWrite)
{
    const std::string handWritten = "; kept by hand\r\n"
                                    "[Other]\r\n"
                                    "colour=blue\r\n"
                                    "\r\n"
                                    "[Section]\r\n"
                                    "BGM\x8B\xE6\x95\xAA= 1\r\n"
                                    "extra=keep me\r\n"
                                    "[Last]\r\n"
                                    "a=1\r\n";
    support::WriteWholeFile(ini, handWritten);
    LoadSettings(settings, profile, services);
    EXPECT_EQ(settings.kind, 1);
    settings.kind = 0;
    settings.repeatTrack = 12;
    SaveSettings(settings, profile, services);
    const std::string after = support::ReadWholeFile(ini);
    EXPECT_NE(after.find("; kept by hand\r\n[Other]\r\ncolour=blue\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("extra=keep me\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("[Last]\r\na=1\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("BGM\x8B\xE6\x95\xAA=" + Stored(" 0") + "\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("BGM\xD8\xCB\xDF\xB0\xC4=" + Stored(" 12") + "\r\n"), std::string::npos) << after;
    settings = Loaded();
    EXPECT_EQ(settings.repeatTrack, 12);
}

TEST_F(ProfileFile, MissingFileReadsAsDefaultsAndIsNotCreated)
{
    settings.kind = 2;
    LoadSettings(settings, profile, services);
    EXPECT_EQ(settings.kind, 0);
    EXPECT_EQ(settings.file, "");
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ProfileFile, VanishedMusicFileIsForgotten)
{
    support::WriteWholeFile(ini, "[Section]\r\nBGM\x8B\xE6\x95\xAA= 2\r\nBGM\xCC\xA7\xB2\xD9=" + services.folder +
                            "\\gone.wav\r\n");
    LoadSettings(settings, profile, services);
    EXPECT_EQ(settings.kind, 0);
    EXPECT_EQ(settings.file, "");
}

TEST(ProgramServicesWin, FolderOfTheProgramAndFileTests)
{
    Win32ProgramServices services;
    const std::string folder = services.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(services.CanOpenForReading(folder + "\\win_saver_tests.exe"));
    EXPECT_FALSE(services.CanOpenForReading(folder + "\\no such file"));
    EXPECT_FALSE(services.CanOpenForReading(folder)) << "a folder is not a readable file";
    EXPECT_TRUE(FileExists(services, folder + "\\win_saver_tests.exe\\"));
}

// What a run's wait for the renderer's windows returns, and whether the
// program is still up then: the shipped renderer says its windows are up; a
// program that says nothing holds the run until the bound; one that ends
// releases it at once.
TEST(ProgramServicesWin, WaitForTheStartedProgramsWindows)
{
    const std::string folder = Win32ProgramServices().ProgramFolder();
    const std::string renderer = win::UnixPathFromEnv("QV_SHIPPED_SAVER");
    const std::string qvtool = folder + "\\..\\tools\\qvtool.exe";
    const struct {
        const char* name;
        std::string program;
        const char* lingerMs;  // QVTOOL_LINGER_MS, or null
        unsigned boundMs;
        bool windowsUpOrEnded;
        bool stillRunning;
    } rows[] = {
        {"the renderer", renderer.substr(0, renderer.rfind('\\')) + "\\Quorvellanto.dll", nullptr, 30000, true, true},
        {"a program that says nothing", qvtool, "30000", 300, false, true},
        {"a program that ends", qvtool, nullptr, 30000, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetEnvironmentVariableA("QVTOOL_LINGER_MS", row.lingerMs);
        Win32ProgramServices services;
        ASSERT_TRUE(services.StartProgram(row.program));
        EXPECT_EQ(services.WaitForStartedProgramWindows(row.boundMs), row.windowsUpOrEnded);
        EXPECT_EQ(services.StartedProgramRunning(), row.stillRunning);
        services.StopStartedProgram();
    }
    SetEnvironmentVariableA("QVTOOL_LINGER_MS", nullptr);
}

}  // namespace
