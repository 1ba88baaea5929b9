#include <gtest/gtest.h>

#include "fakes.h"
#include "settings_file.h"

namespace {

class Settings : public ::testing::Test {
protected:
    FakeProfile profile;
    FakeServices services;
    const std::string file = "C:\\Saver\\Quorvellanto.ini";
    MusicSettings music;

    // What a start with a fresh state loads.
    MusicSettings Loaded()
    {
        MusicSettings loaded;
        LoadSettings(loaded, profile, services);
        return loaded;
    }

    void Store(const char* key, const std::string& value) { profile.files[file]["Section"][key] = value; }
    // A write as the fake profile records it.
    static std::string Written(const char* key, const std::string& value, const std::string& to)
    {
        return std::string("Section|") + key + "|" + value + "|" + to;
    }
};

// What loading makes of a stored kind, repeat and file (nullptr: not stored)
// where only `exists` exists: a file kind whose file is gone becomes no music;
// a trailing backslash is tested without it and kept; the folder is the
// file's (the root stays a root), the program's when there is no file.
struct LoadRow {
    const char* name;
    const char *kind, *repeat, *file, *exists;
    int bgmKind, bgmRepeat;
    const char *bgmFile, *bgmFolder;
};

const LoadRow kLoads[] = {
    {"NoFileGivesTheDefaults", nullptr, nullptr, nullptr, nullptr, 0, 0, "", "C:\\Saver"},
    {"KindTwoWithItsFile", " 2", " 0", "C:\\Music\\a.mp3", "C:\\Music\\a.mp3", 2, 0, "C:\\Music\\a.mp3", "C:\\Music"},
    {"KindTwoWithAVanishedFileBecomesNoMusic", " 2", nullptr, "C:\\Music\\gone.mp3", nullptr, 0, 0, "", "C:\\Saver"},
    {"KindOneKeepsItsKindWhenTheFileIsGone", "1", "5", "C:\\Music\\gone.mp3", nullptr, 1, 5, "", "C:\\Saver"},
    {"TrailingBackslashIsTestedWithoutItAndKept", "2", nullptr, "C:\\Music\\a.wav\\", "C:\\Music\\a.wav", 2, 0,
     "C:\\Music\\a.wav\\", "C:\\Music\\a.wav"},
    {"RootFolderFile", "2", nullptr, "C:\\a.mp3", "C:\\a.mp3", 2, 0, "C:\\a.mp3", "C:\\"},
};

TEST_F(Settings, EveryLoadOfTheTable)
{
    for (const LoadRow& row : kLoads) {
        SCOPED_TRACE(row.name);
        profile = FakeProfile();
        services = FakeServices();
        if (row.kind) Store(kKeyBgmKind, row.kind);
        if (row.repeat) Store(kKeyBgmRepeat, row.repeat);
        if (row.file) Store(kKeyBgmFile, row.file);
        if (row.exists) services.readable.insert(row.exists);
        const MusicSettings loaded = Loaded();
        EXPECT_EQ(loaded.kind, row.bgmKind);
        EXPECT_EQ(loaded.repeatTrack, row.bgmRepeat);
        EXPECT_EQ(loaded.file, row.bgmFile);
        EXPECT_EQ(loaded.folder, row.bgmFolder);
        if (row.exists) {
            EXPECT_EQ(services.opened, std::vector<std::string>{row.exists}) << "the file tested";
        }
        EXPECT_TRUE(profile.writes.empty()) << "reading creates no file";
    }
}

TEST_F(Settings, StoredNumbersAreRoundedDownOrIgnored)
{
    struct Case {
        const char* stored;
        int kind;
    };
    for (Case c : {Case{"2.7", 2}, Case{"-0.5", -1}, Case{"abc", 0}, Case{"40000", 0}, Case{"32767", 32767},
                   Case{"-32768.5", 0}, Case{"7", 7}, Case{" 1", 1}, Case{"1e2", 100}}) {
        Store(kKeyBgmKind, c.stored);
        Store(kKeyBgmFile, "C:\\x.wav");
        services.readable = {"C:\\x.wav"};
        EXPECT_EQ(Loaded().kind, c.kind) << c.stored;
    }
}

TEST_F(Settings, AnUnreadableNumberKeepsThePreviousValue)
{
    music.repeatTrack = 9;
    Store(kKeyBgmRepeat, "abc");
    LoadSettings(music, profile, services);
    EXPECT_EQ(music.repeatTrack, 9);
    Store(kKeyBgmRepeat, "");
    LoadSettings(music, profile, services);
    EXPECT_EQ(music.repeatTrack, 0) << "an empty value is 0";
}

// A stored path loads back whole up to the longest path kept; a longer one
// (written by hand) is forgotten, never cut to a shorter path that may exist.
TEST_F(Settings, StoredPathsLoadWholeOrNotAtAll)
{
    struct Case {
        std::size_t length;
        bool kept;
    };
    for (Case c : {Case{255, true}, Case{256, true}, Case{kLongestMusicPath, true}, Case{kLongestMusicPath + 1, false},
                   Case{300, false}}) {
        const std::string longPath = "C:\\" + std::string(c.length - 3, 'a');
        Store(kKeyBgmFile, longPath);
        Store(kKeyBgmKind, "2");
        services.readable = {longPath, longPath.substr(0, kLongestMusicPath), longPath.substr(0, 255)};
        const MusicSettings loaded = Loaded();
        EXPECT_EQ(loaded.file, c.kept ? longPath : "") << c.length;
        EXPECT_EQ(loaded.kind, c.kept ? 2 : 0) << c.length;
    }
}

TEST_F(Settings, SaveWritesTheThreeKeysInOrderWithLeadingBlanks)
{
    music = {2, 0, "C:\\Music\\a b.mp3", ""};
    SaveSettings(music, profile, services);
    EXPECT_EQ(profile.writes, (std::vector<std::string>{Written(kKeyBgmKind, " 2", file), Written(kKeyBgmRepeat, " 0", file),
                                                        Written(kKeyBgmFile, "C:\\Music\\a b.mp3", file)}));
    music.kind = -1;
    SaveSettings(music, profile, services);
    ASSERT_EQ(profile.writes.size(), 6u);
    EXPECT_EQ(profile.writes[3], Written(kKeyBgmKind, "-1", file));
}

TEST_F(Settings, KeyNamesAreCodePage932Bytes)
{
    EXPECT_EQ(std::string(kKeyBgmKind), "\x42\x47\x4D\x8B\xE6\x95\xAA");
    EXPECT_EQ(std::string(kKeyBgmRepeat), "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4");
    EXPECT_EQ(std::string(kKeyBgmFile), "\x42\x47\x4D\xCC\xA7\xB2\xD9");
}

TEST_F(Settings, PutIniStringCutsLongNames)
{
    PutIniString(profile, std::string(200, 's'), std::string(130, 'k'), "v", "f.ini");
    ASSERT_EQ(profile.writes.size(), 1u);
    EXPECT_EQ(profile.writes[0], std::string(127, 's') + "|" + std::string(127, 'k') + "|v|f.ini");
}

// The program's folder may refuse writes (a 64-bit System32 gives no file
// virtualization): the settings then go into the user's own copy, which
// loading prefers while it exists.
class UserCopy : public Settings {
protected:
    const std::string userFile = "C:\\Users\\me\\AppData\\Quorvellanto\\Quorvellanto.ini";
    void SetUp() override
    {
        services.userFolder = "C:\\Users\\me\\AppData\\Quorvellanto";
        music = {1, 5, "", ""};
    }
};

TEST_F(UserCopy, RefusedWriteGoesToTheUserCopyWithTheSameKeys)
{
    profile.refusing.insert(file);
    EXPECT_TRUE(SaveSettings(music, profile, services));
    ASSERT_EQ(profile.writes.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(profile.writes.begin() + 3, profile.writes.end()),
              (std::vector<std::string>{Written(kKeyBgmKind, " 1", userFile), Written(kKeyBgmRepeat, " 5", userFile),
                                        Written(kKeyBgmFile, "", userFile)}));
    EXPECT_EQ(profile.files.count(file), 0u);
    EXPECT_EQ(services.userFolderAsks, std::vector<bool>{true}) << "the folder is made for the refused write";

    services.readable.insert(userFile);
    EXPECT_EQ(Loaded().kind, 1);
    EXPECT_EQ(Loaded().repeatTrack, 5);
}

TEST_F(UserCopy, LoadingPrefersTheUserCopyWhileItExists)
{
    Store(kKeyBgmRepeat, " 3");
    profile.files[userFile]["Section"][kKeyBgmRepeat] = " 7";
    EXPECT_EQ(Loaded().repeatTrack, 3) << "no user copy on disk yet";
    services.readable.insert(userFile);
    EXPECT_EQ(Loaded().repeatTrack, 7);
    EXPECT_EQ(services.userFolderAsks, (std::vector<bool>{false, false})) << "loading never makes the folder";
}

TEST_F(UserCopy, SuccessfulWriteRemovesAStaleUserCopy)
{
    services.readable.insert(userFile);
    EXPECT_TRUE(SaveSettings(music, profile, services));
    EXPECT_EQ(profile.writes.size(), 3u);
    EXPECT_EQ(services.deleted, std::vector<std::string>{userFile});
    EXPECT_EQ(services.userFolderAsks, std::vector<bool>{false}) << "a write beside the program makes no folder";
    EXPECT_EQ(Loaded().repeatTrack, 5) << "the file beside the program is read again";
}

TEST_F(UserCopy, NowhereToWriteIsReported)
{
    services.userFolder.clear();
    profile.refusing.insert(file);
    EXPECT_FALSE(SaveSettings(music, profile, services));
    services.userFolder = "C:\\Users\\me\\AppData\\Quorvellanto";
    profile.refusing.insert(userFile);
    EXPECT_FALSE(SaveSettings(music, profile, services));
}

struct FolderCase {
    unsigned codePage;
    std::string path, folder;
};

class FolderOfPath : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderOfPath, IsCutAtTheLastBackslashCharacter)
{
    FakeServices services;
    services.codePage = GetParam().codePage;
    EXPECT_EQ(FolderOf(GetParam().path, services), GetParam().folder) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FolderOfPath,
    ::testing::Values(FolderCase{1252, "C:\\Music\\a.mp3", "C:\\Music"}, FolderCase{1252, "C:\\a.mp3", "C:\\"},
                      FolderCase{1252, "C:a.mp3", "C:"}, FolderCase{1252, "a.mp3", ""},
                      FolderCase{1252, "\\a.mp3", "\\"},
                      FolderCase{1252, "\\\\server\\share\\a.mp3", "\\\\server\\share"},
                      FolderCase{932, "C:\\Music\\\x95\x5C.mp3", "C:\\Music"},  // 表.mp3
                      FolderCase{1252, "C:\\Music\\\x95\x5C.mp3", "C:\\Music\\\x95"},
                      FolderCase{932, "C:\\\x95\x5C\\a.mp3", "C:\\\x95\x5C"},
                      FolderCase{932, "C:\\Music\\\x95", "C:\\Music"},  // a lead byte at the very end
                      FolderCase{932, "C:\\\xB1\\a.mp3", "C:\\\xB1"}));  // a one-byte katakana

}  // namespace
