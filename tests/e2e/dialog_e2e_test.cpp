// The settings dialog of the shipped screen saver ("/c") under Wine on the
// suite's Xvfb, driven with real input: its size, shading and captions as the
// screen shows them, the option marks, saving, cancelling, the file chooser,
// the address label, the instance marker and a program folder that refuses
// writes.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <sys/mount.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "saver_stage.h"

using namespace support;
namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = kDialogTitle;
constexpr int kClientWidth = 496, kClientHeight = 243;
constexpr int kPanelX = 12, kPanelY = 16, kPanelWidth = 469, kPanelHeight = 165;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

class Dialog : public StageTest {
protected:
    std::string folder;        // Unix path of the program folder
    std::string windowsFolder;  // the same as Windows sees it
    WindowInfo window;
    ScreenShot screen;

    void SetUp() override
    {
        StageTest::SetUp();
        ASSERT_TRUE(NoWindowTitled(kTitle, Millis(15000))) << "a dialog of an earlier test is still up";
        windowsFolder = "C:\\Program Files\\Quorvellanto Dialog";
        folder = InstallPair("Quorvellanto Dialog");
        fs::remove(UserCopy());
        stage.x.MovePointerTo(900, 700);
    }

    // The user's own copy in the prefix's profile folder (named after the Unix user).
    // The other suites share the prefix: no user's copy may outlive a test.
    void TearDown() override { fs::remove(UserCopy()); }

    std::string UserCopy() const
    {
        const auto folders = AppDataFolders();
        return (folders.empty() ? stage.wine.DriveC() + "/users/unknown" : folders.front()) + "/Quorvellanto/Quorvellanto.ini";
    }

    static std::string Ini(int kind, int repeat, const std::string& file) { return SettingsText(kind, repeat, file); }
    // What Wine's profile writer leaves: the values without their leading blank.
    static std::string Written(int kind, int repeat, const std::string& file) { return SettingsText(kind, repeat, file, "="); }

    Process Start(const std::string& sw = "/c", const std::map<std::string, std::string>& env = {})
    {
        return stage.wine.Run({windowsFolder + "\\Quorvellanto.scr", sw}, "dialog.log", env);
    }

    // Waits for the dialog to be shown and painted, then grabs the screen.
    bool WaitShown(Process& saver, int dpi = 96)
    {
        const bool shown = WaitForDialog(saver, window, dpi);
        Grab();
        return shown;
    }

    void Grab() { screen = stage.x.Grab(); }

    // A pixel of the dialog's client area, from the last grab.
    Rgb At(int x, int y) const
    {
        const unsigned long p = screen.At(window.x + x, window.y + y);
        if (p > 0xFFFFFF) return {-1, -1, -1};
        return {static_cast<int>(p >> 16), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
    }

    void Click(int x, int y, unsigned button = 1)
    {
        stage.x.MovePointerTo(window.x + x, window.y + y);
        std::this_thread::sleep_for(Millis(150));
        stage.x.PressButton(button);
        std::this_thread::sleep_for(Millis(300));
    }
    void ClickPanel(int x, int y, unsigned button = 1) { Click(kPanelX + x, kPanelY + y, button); }
    // Set saves, closes the dialog and ends the program.
    void SetAndEnd(Process& saver)
    {
        Click(324 + 38, 196 + 12);
        ASSERT_EQ(saver.WaitExit(Millis(15000)), 0) << "Set closes the dialog and ends the program";
    }

    bool MarkOn(int index)
    {
        static const int rows[3] = {76, 56, 96};  // none, CD, file
        const Rgb inside = At(kPanelX + 28 + 6, kPanelY + rows[index] + 6);
        return inside.b > inside.r + 100;
    }

    // Share of the text's ink (drawn by Windows in the dialog's font) found
    // at the best offset near (x, y) on screen; ink is what lies nearer the
    // text colour than the row's background colour, taken at `bgX`.
    // With `centreIn` > 0 the text is centred in that many pixels from x.
    double InkMatch(const std::string& utf8, bool underline, int x, int y, Rgb ink, int bgX, int centreIn = 0)
    {
        static std::map<std::string, std::string> masks;  // Windows' rendering of each text, asked once
        std::string& out = masks[utf8 + (underline ? "\n_" : "\n")];
        if (out.empty() && !QvTool({"textmask", HexBytes(utf8), underline ? "1" : "0"}, &out)) return -1;
        std::istringstream lines(out);
        std::string word;
        int w = 0, h = 0;
        while (lines >> word && word != "mask") {}
        lines >> w >> h;
        std::vector<std::string> mask(static_cast<size_t>(h));
        for (auto& row : mask) lines >> row;
        if (w <= 0 || h <= 0) return -1;
        if (centreIn > 0) x += (centreIn - w) / 2;
        auto isInk = [&](int sx, int sy) {
            const Rgb p = At(sx, sy), bg = At(bgX, sy);
            auto dist = [](Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); };
            return dist(p, ink) < dist(p, bg);
        };
        double best = 0;
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                int both = 0, either = 0;
                for (int my = 0; my < h; ++my) {
                    for (int mx = 0; mx < w; ++mx) {
                        const bool want = mask[my].size() > static_cast<size_t>(mx) && mask[my][mx] == '#';
                        const bool got = isInk(x + dx + mx, y + dy + my);
                        both += want && got;
                        either += want || got;
                    }
                }
                if (either > 0) best = std::max(best, static_cast<double>(both) / either);
            }
        }
        return best;
    }
};

TEST_F(Dialog, ShowsItsSizeShadingAndEveryCaption)
{
    WriteWholeFile(folder + "/Quorvellanto.ini", Ini(1, 5, ""));
    Process saver = Start();
    ASSERT_TRUE(WaitShown(saver));
    EXPECT_EQ(window.width, kClientWidth);
    EXPECT_EQ(window.height, kClientHeight);

    // Window rows: navy at the top, blue-grey in the middle, navy again at the foot.
    const Rgb top = At(250, 0), middle = At(4, 121), last = At(250, kClientHeight - 1);
    EXPECT_EQ(top.r, 0); EXPECT_EQ(top.g, 0); EXPECT_EQ(top.b, 30);
    EXPECT_EQ(middle.r, 220); EXPECT_EQ(middle.g, 220); EXPECT_EQ(middle.b, 250);
    EXPECT_LE(last.r, 3) << "the last row inside the client area has level 3";
    EXPECT_EQ(last.b, last.r + 30);
    // Panel rows: grey 30 at the top, 250 in the middle.
    const Rgb panelTop = At(kPanelX + 200, kPanelY), panelMiddle = At(kPanelX + 460, kPanelY + 82);
    EXPECT_EQ(panelTop.r, 30); EXPECT_EQ(panelTop.b, 30);
    EXPECT_EQ(panelMiddle.r, 250); EXPECT_EQ(panelMiddle.g, 250);

    struct Caption {
        const char* text;
        int x, y;
        bool underline;
        Rgb ink;
        int bgX;
        int centreIn = 0;
    };
    const int px = kPanelX, py = kPanelY;
    const Caption captions[] = {
        {"BGM", px + 20, py + 24, false, {0, 0, 0}, px + 466, 111},
        {"\xE9\x9F\xB3\xE6\xA5\xBD" "CD", px + 44, py + 56, false, {0, 0, 0}, px + 466},                    // 音楽CD
        {"\xE3\x81\xAA\xE3\x81\x97", px + 44, py + 76, false, {0, 0, 0}, px + 466},                            // なし
        {"MP3\xE3\x80\x81WAV", px + 44, py + 96, false, {0, 0, 0}, px + 466},                                  // MP3、WAV
        {"\xE6\x9B\xB2\xE7\x9B\xAE\xE3\x82\x92\xEF\xBE\x98\xEF\xBE\x8B\xEF\xBE\x9F\xEF\xBD\xB0\xEF\xBE\x84",  // 曲目をﾘﾋﾟｰﾄ
         px + 156, py + 56, false, {0, 0, 0}, px + 466},
        {"Designed by Ombrix Ver.1.0.0", 12, 192, false, {255, 255, 255}, 494},
        {"https://quorvellanto.example/", 12, 208, true, {255, 255, 255}, 494},
    };
    // The panel's labels are painted after its shading: the screen is read
    // again until every caption is there, for at most 5 seconds.
    WaitUntil(
        [&] {
            Grab();
            for (const Caption& c : captions)
                if (InkMatch(c.text, c.underline, c.x, c.y, c.ink, c.bgX, c.centreIn) <= 0.8) return false;
            return true;
        },
        Millis(5000), Millis(100));
    for (const Caption& c : captions) {
        EXPECT_GT(InkMatch(c.text, c.underline, c.x, c.y, c.ink, c.bgX, c.centreIn), 0.8) << "caption " << c.text;
    }
    // The same bytes read through a Western code page would show this instead; the check tells them apart.
    EXPECT_LT(InkMatch("\xE2\x80\x9A\xC3\x88\xE2\x80\x9A\xC2\xB5", false, px + 44, py + 76, {0, 0, 0}, px + 466), 0.5);
    EXPECT_TRUE(MarkOn(1)) << "audio CD chosen";
    EXPECT_FALSE(MarkOn(0));
    EXPECT_FALSE(MarkOn(2));
    CancelDialog(saver, window);
}

// The whole dialog at each display scale (Wine's LogPixels), measured on the
// screen: its client area, an option mark's side and outline, the Save
// button's frame band; and the preview still fills its host. One row opens
// the dialog at 96 dpi and then tells it, as Windows does when it is moved to
// a monitor of another scale (Wine has one scale for all), that it is at 144.
TEST_F(Dialog, ScalesAsAWholeAtEveryDisplayScale)
{
    const struct {
        int dpi, width, height, markSide, markOutline, band;
        bool moved = false;  // opened at 96 dpi, then WM_DPICHANGED
    } scales[] = {{120, 620, 303, 15, 1, 5}, {144, 744, 364, 18, 2, 6}, {192, 992, 486, 24, 2, 8},
                  {144, 744, 364, 18, 2, 6, true}, {96, 496, 243, 12, 1, 4}};
    struct BackToDesignScale {
        WinePrefix& wine;
        ~BackToDesignScale() { wine.SetDisplayScale(96); }
    } restore{stage.wine};
    WriteWholeFile(folder + "/Quorvellanto.ini", Ini(1, 5, ""));
    const Rgb grey{128, 128, 128};
    auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
    // The button's white-to-lavender gradient, which the frame's colours are not.
    auto gradient = [](Rgb c) { return std::abs(c.r - c.g) <= 2 && c.b >= c.r && c.r >= 0xC0; };
    for (const auto& scale : scales) {
        SCOPED_TRACE(std::to_string(scale.dpi) + " dpi" + (scale.moved ? ", moved there" : ""));
        ASSERT_TRUE(stage.wine.SetDisplayScale(scale.moved ? 96 : scale.dpi));
        auto px = [&](int twips) { return twips * scale.dpi / 1440; };
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver, scale.moved ? 96 : scale.dpi));
        if (scale.moved) {
            EXPECT_TRUE(QvTool({"post", kTitle, "736" /* WM_DPICHANGED */, std::to_string(scale.dpi * 0x10001), "0"}));
            EXPECT_TRUE(WaitUntil([&] { return WaitShown(saver, scale.dpi) && window.width == scale.width; },
                                  Millis(10000), Millis(200)));
        }
        EXPECT_EQ(window.width, scale.width);
        EXPECT_EQ(window.height, scale.height);
        // The buttons paint their faces after the shading: measured once the
        // Save button's middle shows its gradient.
        const int saveX = px(4860), saveY = px(2940), saveW = px(1155), saveH = px(375);
        EXPECT_TRUE(WaitUntil([&] { Grab(); return gradient(At(saveX + saveW / 4, saveY + saveH / 2)); },
                              Millis(10000), Millis(100)));
        // The "none" mark (off) at 420 x 1140 twips in the panel; the audio CD mark (on) above it.
        const int markX = px(180) + px(420), markY = px(240) + px(1140), cdY = px(240) + px(840);
        int side = 0, outline = 0;
        while (side < 40 && same(At(markX + side, markY), grey)) ++side;
        while (outline < 10 && same(At(markX + side / 2, markY + outline), grey)) ++outline;
        EXPECT_EQ(side, scale.markSide);
        EXPECT_EQ(outline, scale.markOutline);
        const Rgb cdInside = At(markX + side / 2, cdY + side / 2), noneInside = At(markX + side / 2, markY + side / 2);
        EXPECT_GT(cdInside.b, cdInside.r + 100) << "filled";
        EXPECT_GT(noneInside.r, 240) << "empty";
        // The Save button's frame: rows from its top and columns from its left
        // edge up to where the gradient shows.
        int rows = 0, columns = 0;
        while (rows < saveH / 2 && !gradient(At(saveX + saveW / 4, saveY + rows))) ++rows;
        while (columns < saveW / 4 && !gradient(At(saveX + columns, saveY + saveH / 2))) ++columns;
        EXPECT_EQ(rows, scale.band);
        EXPECT_EQ(columns, scale.band);
        Click(px(6060) + px(1155) / 2, px(2940) + px(375) / 2);  // Cancel, where it is at this scale
        ExpectExit(saver, 0, Millis(15000));

        std::string handle, children;
        Process host = StartPreviewHost(handle);
        ASSERT_FALSE(handle.empty()) << "the host window did not come up";
        Process preview = stage.wine.Run({windowsFolder + "\\Quorvellanto.scr", "/p", handle}, "preview.log");
        EXPECT_TRUE(PreviewFillsHost(children)) << children;
        EXPECT_TRUE(QvTool({"close", "QV Preview Host"}));
        ExpectExit(host);
        ExpectExit(preview);
    }
}

TEST_F(Dialog, MarksFollowClicksOfEveryButtonAndSetWritesTheThreeKeys)
{
    WriteWholeFile(folder + "/Quorvellanto.ini", Ini(1, 5, ""));
    Process saver = Start();
    ASSERT_TRUE(WaitShown(saver));
    ClickPanel(28 + 6, 96 + 6);  // the file option's mark, left button
    Grab();
    EXPECT_TRUE(MarkOn(2));
    EXPECT_FALSE(MarkOn(1));
    ClickPanel(44 + 10, 56 + 6, 3);  // the audio CD label, right button
    Grab();
    EXPECT_TRUE(MarkOn(1));
    EXPECT_FALSE(MarkOn(2));
    // The track box: replace "5" by "12" with the keyboard.
    ClickPanel(112 + 15, 52 + 9);
    stage.x.TapKey({"End", "BackSpace", "BackSpace", "1", "2"});
    SetAndEnd(saver);
    EXPECT_EQ(ReadWholeFile(folder + "/Quorvellanto.ini"), Written(1, 12, ""));
    EXPECT_TRUE(stage.x.FindWindows(kTitle).empty());
}

TEST_F(Dialog, MiddleButtonChoosesNoMusicAndLettersSaveTrackZero)
{
    WriteWholeFile(folder + "/Quorvellanto.ini", Ini(1, 5, ""));
    Process saver = Start();
    ASSERT_TRUE(WaitShown(saver));
    // Letters in the track box (enabled while the audio CD is chosen), then
    // no music: the box keeps its text and is read all the same.
    ClickPanel(112 + 15, 52 + 9);
    stage.x.TapKey({"End", "BackSpace", "x"});
    ClickPanel(44 + 6, 76 + 6, 2);
    Grab();
    EXPECT_TRUE(MarkOn(0));
    EXPECT_FALSE(MarkOn(1));
    SetAndEnd(saver);
    EXPECT_EQ(ReadWholeFile(folder + "/Quorvellanto.ini"), Written(0, 0, ""));
}

TEST_F(Dialog, CancelAndACloseRequestLeaveTheFileAsItWas)
{
    const std::string before = Ini(1, 5, "");
    WriteWholeFile(folder + "/Quorvellanto.ini", before);
    {
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver));
        ClickPanel(28 + 6, 76 + 6);
        CancelDialog(saver, window);
    }
    EXPECT_EQ(ReadWholeFile(folder + "/Quorvellanto.ini"), before);
    {
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver));
        ClickPanel(28 + 6, 96 + 6);
        EXPECT_TRUE(QvTool({"close", kTitle})) << "a close request from another process";
        EXPECT_EQ(saver.WaitExit(Millis(15000)), 0);
    }
    EXPECT_EQ(ReadWholeFile(folder + "/Quorvellanto.ini"), before);
}

TEST_F(Dialog, FileChooserTakesATypedNameAndItsCancelKeepsTheFile)
{
    const std::string first = WindowsPath(Fixture("tone 500ms.wav")), second = WindowsPath(Fixture("tone 1s.mp3"));
    WriteWholeFile(folder + "/Quorvellanto.ini", Ini(2, 0, first));
    const std::string chooserTitle = HexBytes("\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99\xE3\x82\x92\xE9\x96\x8B\xE3\x81\x8F");
    {
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver));
        EXPECT_TRUE(MarkOn(2));
        ClickPanel(40 + 14, 116 + 12);  // "..."
        ASSERT_TRUE(WaitUntil([&] { return QvTool({"findw", chooserTitle}); }, Millis(20000)))
            << "no chooser titled with its Japanese title";
        std::this_thread::sleep_for(Millis(800));
        // It opens in the current file's folder: the name alone is enough.
        stage.x.TapKey({"t", "o", "n", "e", "space", "1", "s", "period", "m", "p", "3", "Return"});
        ASSERT_TRUE(WaitUntil([&] { return !QvTool({"findw", chooserTitle}); }, Millis(15000)));
        SetAndEnd(saver);
    }
    EXPECT_EQ(ReadWholeFile(folder + "/Quorvellanto.ini"), Written(2, 0, second));
    {
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver));
        const ScreenShot before = screen;
        ClickPanel(40 + 14, 116 + 12);
        ASSERT_TRUE(WaitUntil([&] { return QvTool({"findw", chooserTitle}); }, Millis(20000)));
        std::this_thread::sleep_for(Millis(800));
        stage.x.TapKey("Escape");
        ASSERT_TRUE(WaitUntil([&] { return !QvTool({"findw", chooserTitle}); }, Millis(15000)));
        std::this_thread::sleep_for(Millis(300));
        Grab();
        // The path box shows what it showed before the chooser opened.
        int changed = 0;
        for (int y = kPanelY + 117; y < kPanelY + 148; ++y) {
            for (int x = kPanelX + 73; x < kPanelX + 444; ++x)
                changed += before.At(window.x + x, window.y + y) != screen.At(window.x + x, window.y + y);
        }
        EXPECT_EQ(changed, 0) << "the caption of the path box changed";
        SetAndEnd(saver);
    }
    EXPECT_EQ(ReadWholeFile(folder + "/Quorvellanto.ini"), Written(2, 0, second)) << "cancel kept the file";
}

TEST_F(Dialog, AddressClickReachesTheBrowser)
{
    // A stand-in for the browser: Wine's winebrowser runs xdg-open first.
    const std::string bin = EnsureDir(stage.workDir + "/browser-bin");
    const std::string record = stage.workDir + "/browser-record.txt";
    fs::remove(record);
    WriteWholeFile(bin + "/xdg-open", "#!/bin/sh\necho \"$@\" >> '" + record + "'\n");
    fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
    Process saver = Start("/c", {{"PATH", bin + ":" + std::getenv("PATH")}});
    ASSERT_TRUE(WaitShown(saver));
    // Over the address the pointer is our hand, its hot spot at the fingertip.
    stage.x.MovePointerTo(window.x + 12 + 40, window.y + 208 + 6);
    bool hand = WaitUntil(
        [&] {
            const auto c = stage.x.CursorNow();
            return c && c->width == 32 && c->height == 32 && c->xhot == 12 && c->yhot == 10;
        },
        Millis(5000));
    EXPECT_TRUE(hand) << "the hand cursor over the address";
    Click(12 + 40, 208 + 6);
    EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(record).find("https://quorvellanto.example/") != std::string::npos; },
                          Millis(20000)))
        << "the browser got: " << ReadWholeFile(record);
    EXPECT_TRUE(saver.Running()) << "the dialog stays open";
    CancelDialog(saver, window);
}

TEST_F(Dialog, SecondStartEndsAtOnceWhileTheDialogIsOpen)
{
    Process saver = Start();
    ASSERT_TRUE(WaitShown(saver));
    for (const char* sw : {"/s", "/c", "/p"}) {
        Process again = Start(sw);
        ASSERT_EQ(again.WaitExit(Millis(15000)), 0) << sw << " did not end";
        EXPECT_TRUE(stage.x.FindWindows("Quorvellanto_VC").empty()) << "no run beside the dialog";
        EXPECT_EQ(stage.x.FindWindows(kTitle).size(), 1u);
    }
    CancelDialog(saver, window);
}

// Like a 64-bit System32: the program folder refuses writes; the settings go
// to the user's own copy, and the next start reads them from there.
TEST_F(Dialog, UnwritableProgramFolderSavesToTheUsersCopy)
{
    ASSERT_EQ(mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr), 0) << "bind mount (needs root)";
    const bool readOnly = mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    struct Unmount {
        std::string path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{folder};
    ASSERT_TRUE(readOnly);
    {
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver));
        ClickPanel(28 + 6, 56 + 6);  // audio CD
        SetAndEnd(saver);
    }
    EXPECT_FALSE(fs::exists(folder + "/Quorvellanto.ini"));
    EXPECT_EQ(ReadWholeFile(UserCopy()), Written(1, 0, ""));
    {
        Process saver = Start();
        ASSERT_TRUE(WaitShown(saver));
        EXPECT_TRUE(MarkOn(1)) << "the next start reads the user's copy";
        CancelDialog(saver, window);
    }
}

}  // namespace
