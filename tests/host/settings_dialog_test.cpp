#include <gtest/gtest.h>

#include <map>

#include "fakes.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace {

// The dialog's controls as plain state, with the calls that matter recorded.
class FakeDialogView : public SettingsDialogView {
public:
    bool trackBoxEnabled = true, fileButtonEnabled = true;
    std::map<int, bool> marks;
    std::string trackText, fileCaption;
    std::vector<std::string> trackEntries;
    std::string trackTextWhenListFilled = "<unset>";
    std::optional<ScreenPoint> cursor = ScreenPoint{300, 200};
    ScreenPoint moved{-1, -1}, openedFrom{-1, -1}, closedTo{-1, -1};
    std::vector<std::string> log;  // "init", "open", "close", "pointer:H", "pointer:D", "shell:<address>"
    std::optional<std::string> chooserAnswer;
    std::string chooserFolder;

    int ScreenWidthTwips() const override { return 1024 * 15; }
    int ScreenHeightTwips() const override { return 768 * 15; }
    int DialogWidthTwips() const override { return 7530; }
    int DialogHeightTwips() const override { return 4101; }
    void MoveDialog(int left, int top) override { moved = {left, top}; }
    void InitCommandButtons() override { log.push_back("init"); }
    void SetTrackBoxEnabled(bool on) override { trackBoxEnabled = on; }
    void SetFileButtonEnabled(bool on) override { fileButtonEnabled = on; }
    void SetOptionMark(int index, bool on) override { marks[index] = on; }
    void SetTrackText(const std::string& text) override { trackText = text; }
    std::string TrackText() const override { return trackText; }
    void AddTrackEntry(const std::string& text) override
    {
        if (trackEntries.empty()) trackTextWhenListFilled = trackText;
        trackEntries.push_back(text);
    }
    void SetFileCaption(const std::string& path) override { fileCaption = path; }
    std::optional<ScreenPoint> CursorPosition() const override { return cursor; }
    void AnimateOpen(ScreenPoint from) override
    {
        openedFrom = from;
        log.push_back("open");
    }
    void AnimateClose(ScreenPoint to) override
    {
        closedTo = to;
        log.push_back("animate-close");
    }
    void SetPointer(DialogPointer p) override { log.push_back(p == DialogPointer::Hourglass ? "pointer:H" : "pointer:D"); }
    std::optional<std::string> ChooseMusicFile(const std::string& folder) override
    {
        chooserFolder = folder;
        return chooserAnswer;
    }
    std::vector<std::string> refused;  // "<path>|<longest>"
    void RefuseMusicFile(const std::string& path, std::size_t longest) override
    {
        refused.push_back(path + "|" + std::to_string(longest));
    }
    void OpenAddress(const std::string& address) override { log.push_back("shell:" + address); }
    void CloseDialog() override { log.push_back("close"); }

    std::string Marked() const
    {
        std::string text;
        for (int i = 0; i < 3; ++i) text += marks.count(i) && marks.at(i) ? '1' : '0';
        return text;
    }
};

class Dialog : public ::testing::Test {
protected:
    FakeDialogView view;
    FakeProfile profile;
    FakeServices services;
    MusicSettings music;
    SettingsDialogRules rules{view, music, profile, services};
    const std::string ini = "C:\\Saver\\Quorvellanto.ini";
    std::vector<std::string> Written() const
    {
        std::vector<std::string> values;
        for (const std::string& w : profile.writes) values.push_back(w.substr(0, w.rfind('|')));
        return values;
    }
    static std::string Entry(const char* key, const std::string& value) { return std::string("Section|") + key + "|" + value; }
};

struct LoadCase {
    std::int16_t kind, repeat;
    const char* file;
    const char* marked;
    bool trackBox, fileButton;
    const char* trackText;
};

TEST_F(Dialog, LoadingShowsTheStoredChoice)
{
    const LoadCase cases[] = {
        {0, 0, "", "100", false, false, ""},
        {1, 5, "", "010", true, false, "5"},
        {2, 0, "C:\\Music\\a.mp3", "001", false, true, ""},
        {7, 3, "", "000", false, false, "3"},  // a kind beyond the options marks none
    };
    for (const LoadCase& c : cases) {
        FakeDialogView fresh;
        SettingsDialogRules load(fresh, music, profile, services);
        music.kind = c.kind;
        music.repeatTrack = c.repeat;
        music.file = c.file;
        load.OnLoad();
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        EXPECT_EQ(fresh.Marked(), c.marked);
        EXPECT_EQ(fresh.trackBoxEnabled, c.trackBox);
        EXPECT_EQ(fresh.fileButtonEnabled, c.fileButton);
        EXPECT_EQ(fresh.trackText, c.trackText);
        EXPECT_EQ(fresh.trackTextWhenListFilled, c.trackText) << "the text is set before the list is filled";
        EXPECT_EQ(fresh.fileCaption, c.file);
    }
}

TEST_F(Dialog, LoadFillsTheTrackListPlacesTheDialogAndAnimatesFromTheCursor)
{
    rules.OnLoad();
    ASSERT_EQ(view.trackEntries.size(), 31u);
    EXPECT_EQ(view.trackEntries.front(), "");
    EXPECT_EQ(view.trackEntries[1], "1");
    EXPECT_EQ(view.trackEntries.back(), "30");
    // (15360 - 7530) \ 2 and (11520 - 4101) \ 3, truncated.
    EXPECT_EQ(view.moved.x, 3915);
    EXPECT_EQ(view.moved.y, 2473);
    EXPECT_EQ(view.openedFrom.x, 300);
    EXPECT_EQ(view.openedFrom.y, 200);
    EXPECT_EQ(view.log, (std::vector<std::string>{"init", "open", "pointer:D"}));

    FakeDialogView noCursor;
    noCursor.cursor.reset();
    SettingsDialogRules again(noCursor, music, profile, services);
    again.OnLoad();
    again.OnUnload();
    EXPECT_EQ(noCursor.openedFrom.x, 0);
    EXPECT_EQ(noCursor.openedFrom.y, 0) << "a failed cursor query animates from the corner";
    EXPECT_EQ(noCursor.closedTo.x, 0) << "and back into it";
}

TEST(DialogPlacement, TruncatesTowardZeroAndKeepsTheTopLeftOnTheScreen)
{
    EXPECT_EQ(DialogPlacement(15360, 11520, 7531, 4102).x, 3914);
    EXPECT_EQ(DialogPlacement(15360, 11520, 7531, 4102).y, 2472);
    // A screen smaller than the dialog (200 % on 1024 x 768 with a wide
    // frame): the title bar and the left edge stay on it.
    EXPECT_EQ(DialogPlacement(7000, 4000, 7531, 4102).x, 0);
    EXPECT_EQ(DialogPlacement(7000, 4000, 7531, 4102).y, 0);
    EXPECT_EQ(DialogPlacement(7000, 4200, 7531, 4102).y, 32) << "fits in height";
}

TEST_F(Dialog, ChoosingAKindKeepsTheFileAndTheTrackText)
{
    music.kind = 2;
    music.file = "C:\\Music\\a.mp3";
    music.repeatTrack = 4;
    rules.OnLoad();
    rules.OnOptionMouseDown(0);
    EXPECT_EQ(view.Marked(), "100");
    EXPECT_FALSE(view.trackBoxEnabled);
    EXPECT_FALSE(view.fileButtonEnabled);
    rules.OnOptionMouseDown(1);
    EXPECT_EQ(view.Marked(), "010");
    EXPECT_TRUE(view.trackBoxEnabled);
    EXPECT_FALSE(view.fileButtonEnabled);
    EXPECT_EQ(view.trackText, "4");
    rules.OnOptionMouseDown(2);
    EXPECT_EQ(view.Marked(), "001");
    EXPECT_TRUE(view.fileButtonEnabled);
    EXPECT_FALSE(view.trackBoxEnabled);
    EXPECT_EQ(music.kind, 2);
    EXPECT_EQ(music.file, "C:\\Music\\a.mp3");
    EXPECT_EQ(view.fileCaption, "C:\\Music\\a.mp3");
}

struct SaveCase {
    const char* trackText;
    const char* written;
};

TEST_F(Dialog, SavingWritesTheThreeKeysInOrderAndCloses)
{
    const SaveCase cases[] = {
        {"", " 0"},     {"abc", " 0"},   {"12", " 12"},     {"2.5", " 2"},     {"3.5", " 4"},
        {" 7 ", " 7"},  {"-3", "-3"},    {"32767", " 32767"}, {"32768", " 0"}, {"1e9", " 0"},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(std::string("track text \"") + c.trackText + "\"");
        profile.writes.clear();
        view.log.clear();
        music.kind = 1;
        music.file = "C:\\Music\\a b.wav";
        view.trackText = c.trackText;
        rules.OnSaveClick();
        EXPECT_EQ(Written(), (std::vector<std::string>{Entry(kKeyBgmKind, " 1"), Entry(kKeyBgmRepeat, c.written),
                                                        Entry(kKeyBgmFile, "C:\\Music\\a b.wav")}));
        EXPECT_EQ(view.log, std::vector<std::string>{"close"});
    }
}

TEST_F(Dialog, KindTwoWithoutAFileAndAnUnmarkedKindAreWrittenAsTheyAre)
{
    music.kind = 2;
    rules.OnSaveClick();
    EXPECT_EQ(Written()[0], Entry(kKeyBgmKind, " 2"));
    EXPECT_EQ(Written()[2], Entry(kKeyBgmFile, ""));
    profile.writes.clear();
    music.kind = 7;
    rules.OnSaveClick();
    EXPECT_EQ(Written()[0], Entry(kKeyBgmKind, " 7"));
}

TEST_F(Dialog, CancelAndClosingWriteNothingAndStillAnimate)
{
    rules.OnLoad();
    view.log.clear();
    rules.OnOptionMouseDown(2);
    rules.OnCancelClick();
    rules.OnUnload();
    EXPECT_TRUE(profile.writes.empty());
    EXPECT_EQ(view.log, (std::vector<std::string>{"close", "animate-close"}));
    EXPECT_EQ(view.closedTo.x, 300);
}

TEST_F(Dialog, FileChooserOpensInTheFolderAndACancelChangesNothing)
{
    music.kind = 2;
    music.file = "C:\\Old\\a.mp3";
    music.folder = "C:\\Old";
    rules.OnLoad();
    rules.OnFileButtonClick();
    EXPECT_EQ(view.chooserFolder, "C:\\Old");
    EXPECT_EQ(music.file, "C:\\Old\\a.mp3");
    EXPECT_EQ(view.fileCaption, "C:\\Old\\a.mp3");

    view.chooserAnswer = "D:\\New Music\\b.wav";
    rules.OnFileButtonClick();
    EXPECT_EQ(music.file, "D:\\New Music\\b.wav");
    EXPECT_EQ(view.fileCaption, "D:\\New Music\\b.wav");
    EXPECT_EQ(music.folder, "D:\\New Music");
    EXPECT_EQ(music.kind, 2);
}

// A chosen file is kept only when its path loads back whole at the next
// start; a longer one is refused with a word. The chooser then opens in the
// chosen file's folder, found character by character in the code page.
struct ChosenCase {
    const char* label;
    unsigned codePage;
    std::string path;
    bool kept;
    std::string folder;
};

class ChosenFile : public Dialog, public ::testing::WithParamInterface<ChosenCase> {};

// `count` times "表" in code page 932: 95 5C, the second byte a backslash.
std::string Kanji(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "\x95\x5C";
    return text;
}

TEST_P(ChosenFile, IsKeptWholeOrRefusedWithAWord)
{
    const ChosenCase& c = GetParam();
    services.codePage = c.codePage;
    music.kind = 2;
    music.file = "C:\\Old\\a.mp3";
    music.folder = "C:\\Old";
    view.chooserAnswer = c.path;
    rules.OnFileButtonClick();
    if (!c.kept) {
        EXPECT_EQ(view.refused, std::vector<std::string>{c.path + "|" + std::to_string(kLongestMusicPath)});
        EXPECT_EQ(music.file, "C:\\Old\\a.mp3");
        EXPECT_EQ(music.folder, "C:\\Old");
        return;
    }
    EXPECT_TRUE(view.refused.empty());
    EXPECT_EQ(music.folder, c.folder);
    rules.OnSaveClick();
    services.readable.insert(c.path);
    MusicSettings loaded;
    LoadSettings(loaded, profile, services);
    EXPECT_EQ(loaded.kind, 2) << "what was saved loads back";
    EXPECT_EQ(loaded.file, c.path);
    EXPECT_EQ(loaded.folder, c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChosenFile,
    ::testing::Values(
        ChosenCase{"Longest1252", 1252, "C:\\" + std::string(252, 'a') + ".mp3", true, "C:\\"},
        ChosenCase{"TooLong1252", 1252, "C:\\" + std::string(253, 'a') + ".mp3", false, ""},
        ChosenCase{"Longest932", 932, "C:\\" + Kanji(126) + ".mp3", true, "C:\\"},
        ChosenCase{"TooLong932", 932, "C:\\M\\" + Kanji(128) + ".mp3", false, ""},
        ChosenCase{"Kanji134Chars261Bytes932", 932, "C:\\" + Kanji(127) + ".mp3", false, ""},
        ChosenCase{"TrailByteBackslash932", 932, "C:\\Music\\\x95\x5C.mp3", true, "C:\\Music"},
        ChosenCase{"FolderOfKanji932", 932, "C:\\\x95\x5C\\\x95\x5C.mp3", true, "C:\\\x95\x5C"},
        ChosenCase{"SameBytes1252", 1252, "C:\\Music\\\x95\x5C.mp3", true, "C:\\Music\\\x95"},
        ChosenCase{"RootStaysARoot", 1252, "C:\\a.mp3", true, "C:\\"},
        ChosenCase{"ShareFolder", 1252, "\\\\server\\share\\a.mp3", true, "\\\\server\\share"}),
    [](const ::testing::TestParamInfo<ChosenCase>& info) { return std::string(info.param.label); });

TEST_F(Dialog, AddressLabelOpensTheAddressUnderTheHourglass)
{
    rules.OnAddressClick();
    EXPECT_EQ(view.log, (std::vector<std::string>{"pointer:H", std::string("shell:") + kMakerAddress, "pointer:D"}));
}

TEST_F(Dialog, SavingWhereTheProgramFolderRefusesWritesReachesTheUserCopy)
{
    services.userFolder = "C:\\Users\\me\\AppData\\Roaming\\Quorvellanto";
    profile.refusing.insert(ini);
    music.kind = 0;
    view.trackText = "5";
    rules.OnSaveClick();
    const std::string userIni = services.userFolder + "\\Quorvellanto.ini";
    EXPECT_EQ(profile.files[userIni]["Section"][kKeyBgmRepeat], " 5");
    EXPECT_EQ(view.log, std::vector<std::string>{"close"});
}

}  // namespace
