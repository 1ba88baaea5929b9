// The Command button on the real window manager and GDI: faces painted and
// read back (gradient, frame pieces, caption), the state pictures in the
// resources, and the control on a form: focus, hover, transparency,
// properties and the property store.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "button_pictures.h"
#include "face_layout.h"
#include "forms/application.h"
#include "forms/drawing_surface.h"
#include "forms/form.h"
#include "forms/picture_box.h"
#include "pump.h"
#include "win32_command.h"
#include "win32_face_painter.h"
#include "files.h"

namespace {

Rgb ToRgb(COLORREF c) { return static_cast<Rgb>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); }

using support::HexColour;

int Channel(Rgb c, int shift) { return (c >> shift) & 0xFF; }

using win::Pump;

// --- Faces painted into a bitmap -------------------------------------------

class Painted {
public:
    Painted(int w, int h) { surface_.Resize(w, h); }
    HDC dc() const { return surface_.dc(); }
    Rgb At(int x, int y) const { return ToRgb(surface_.Pixel(x, y)); }

private:
    forms::DrawingSurface surface_;
};

TEST(ButtonFace, GradientTopAndBottomRowsByDirectionWithTheLastRowAndColumnLeftClear)
{
    for (bool invert : {false, true}) {
        SCOPED_TRACE(invert ? "inverted" : "normal");
        const int w = 77, h = 25;
        Painted face(w, h);
        ClearFace(face.dc(), w, h);
        ASSERT_TRUE(FillGradient(face.dc(), w, h, invert)) << "msimg32's GradientFill bound by name";
        const Rgb top = invert ? 0xC6C5D7 : 0xFFFFFF, bottom = invert ? 0xFFFFFF : 0xC6C5D7;
        for (int x : {0, 38, w - 2}) {
            EXPECT_EQ(HexColour(face.At(x, 0)), HexColour(top)) << "row 0 has vertex 0's colour, x " << x;
            for (int shift : {0, 8, 16})
                EXPECT_NEAR(Channel(face.At(x, h - 2), shift), Channel(bottom, shift), 3) << "row h-2, x " << x;
        }
        for (int y = 0; y < h; ++y) EXPECT_EQ(face.At(w - 1, y), ToRgb(kFaceClearColour)) << "last column, y " << y;
        for (int x = 0; x < w; ++x) EXPECT_EQ(face.At(x, h - 1), ToRgb(kFaceClearColour)) << "last row, x " << x;
        for (int y = 0; y < h - 1; ++y) EXPECT_EQ(face.At(3, y), face.At(60, y)) << "one colour per row, y " << y;
    }
}

// The pixels of a state picture as the resources hold them.
StatePicture FromResources(PictureFile file)
{
    StatePicture picture;
    HBITMAP bitmap = LoadStatePicture(file);
    EXPECT_NE(bitmap, nullptr) << PictureFileName(file);
    if (bitmap == nullptr) return picture;
    Painted copy(kPictureWidth, kPictureHeight);
    HDC source = CreateCompatibleDC(copy.dc());
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(copy.dc(), 0, 0, kPictureWidth, kPictureHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) picture.Set(x, y, copy.At(x, y));
    return picture;
}

TEST(ButtonFace, ShippedPicturesMatchTheColourTable)
{
    for (int i = 0; i < kPictureFileCount; ++i) {
        const auto file = static_cast<PictureFile>(i);
        const StatePicture shipped = FromResources(file);
        const StatePicture table = DrawStatePicture(file);
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                ASSERT_EQ(HexColour(shipped.At(x, y)), HexColour(table.At(x, y))) << PictureFileName(file) << " " << x << "," << y;
    }
}

TEST(ButtonFace, CornersUnscaledEdgesStretchedWithoutSmoothing)
{
    const StatePicture normal = DrawStatePicture(PictureFile::Normal);
    HBITMAP picture = LoadStatePicture(PictureFile::Normal);
    ASSERT_NE(picture, nullptr);
    for (int w : {77, 29}) {
        SCOPED_TRACE(std::to_string(w) + " x 25");
        const int h = 25;
        Painted face(w, h);
        DrawFaceImage(face.dc(), w, h, picture, false);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(HexColour(face.At(x, y)), HexColour(normal.At(x, y))) << "top-left " << x << "," << y;
                EXPECT_EQ(HexColour(face.At(w - 4 + x, y)), HexColour(normal.At(60 + x, y))) << "top-right";
                EXPECT_EQ(HexColour(face.At(x, h - 4 + y)), HexColour(normal.At(x, 21 + y))) << "bottom-left";
                EXPECT_EQ(HexColour(face.At(w - 4 + x, h - 4 + y)), HexColour(normal.At(60 + x, 21 + y))) << "bottom-right";
            }
        }
        // As high as the pictures: the side strips copied pixel for pixel.
        for (int y = 4; y < 21; ++y) {
            for (int x = 0; x < 4; ++x) {
                ASSERT_EQ(HexColour(face.At(x, y)), HexColour(normal.At(x, y))) << "left " << x << "," << y;
                ASSERT_EQ(HexColour(face.At(w - 4 + x, y)), HexColour(normal.At(60 + x, y))) << "right " << x << "," << y;
            }
        }
        // Top row 0: only the strip's own two colours, the middle run where it
        // falls proportionally (source columns 32 to 56 of the 56 from 4).
        int runStart = -1, runEnd = -1;
        for (int x = 4; x < w - 4; ++x) {
            const Rgb c = face.At(x, 0);
            ASSERT_TRUE(c == 0xE0DCC9 || c == 0xDCD6C2) << "smoothed pixel " << HexColour(c) << " at " << x;
            if (c == 0xDCD6C2) {
                if (runStart < 0) runStart = x;
                runEnd = x;
            }
        }
        const double scale = (w - 8) / 56.0;
        EXPECT_NEAR(runStart, 4 + 28 * scale, 1.0);
        EXPECT_NEAR(runEnd + 1, 4 + 53 * scale, 1.0);
        // Every edge row and column keeps its strip colour across its stretched length.
        for (int x = 4; x < w - 4; ++x) {
            EXPECT_EQ(face.At(x, 1), 0x003C74u);
            EXPECT_EQ(face.At(x, 2), 0xF3F3EEu);
            EXPECT_EQ(face.At(x, 22), 0xD6D0C5u);
        }
        // The gradient fills the inside.
        EXPECT_EQ(HexColour(face.At(w / 2, 4)), HexColour(MixColour(0xFFFFFF, 0xC6C5D7, 4 / 23.0))) ;
    }
    DeleteObject(picture);
}

// --- The control on a form ---------------------------------------------------

class ButtonForm : public forms::Form {
public:
    forms::PictureBox Pic_C;
    Command Cmd_A, Cmd_B;
    int clicksA = 0, clicksB = 0;

    ButtonForm()
        : Form("Quorvellanto_ButtonTest", forms::FormStyle{WS_POPUP, 0, RGB(128, 128, 128)}),
          Pic_C(*this, "Pic_C", RGB(224, 224, 224)),
          Cmd_A(*this, "Cmd_A"),
          Cmd_B(Pic_C, "Cmd_B")
    {
        Pic_C.Move(1500, 1500, 3000, 1200);
        Cmd_A.Move(300, 300, 1155, 375);
        Cmd_B.Move(600, 150, 435, 375);
        const forms::FontSpec gothic{"ＭＳ Ｐゴシック", 9.75, 400, 128, false, false};
        Properties().Bag("Cmd_A").WriteProperty("Caption", std::string("設定"), std::string("Command"));
        Properties().Bag("Cmd_A").WriteProperty("Font", gothic, forms::FontSpec{});
        Properties().Bag("Cmd_B").WriteProperty("Caption", std::string("..."), std::string("Command"));
        Properties().Bag("Cmd_B").WriteProperty("Font", gothic, forms::FontSpec{});
        Cmd_A.Click = [this] { ++clicksA; };
        Cmd_B.Click = [this] { ++clicksB; };
    }

private:
    void OnLoad() override
    {
        Cmd_A.Rules().Initialize();
        Cmd_B.Rules().Initialize();
    }
};

// What the control's window shows, read back through its own painting.
class Shot {
public:
    explicit Shot(const forms::ChildControl& control)
    {
        RECT r;
        GetClientRect(control.hwnd(), &r);
        surface_.Resize(r.right, r.bottom);
        SendMessageW(control.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface_.dc()), PRF_CLIENT);
    }
    Rgb At(int x, int y) const { return ToRgb(surface_.Pixel(x, y)); }
    int width() const { return surface_.width(); }
    // The face: the top inner band tells the picture apart.
    std::string Face() const
    {
        switch (At(width() / 2, 2)) {
        case 0xF3F3EE: return "Normal";
        case 0xFFF0CF: return "HighLight";
        case 0xCEE7FF: return "Selected";
        case 0x003C74: return "Pressed";
        case 0xF5F4EA: return "Disable";
        default: return HexColour(At(width() / 2, 2));
        }
    }
    // Lighter at the top of the inside than at its bottom: white on top.
    bool WhiteOnTop() const { return Channel(At(5, 5), 0) > Channel(At(5, 19), 0); }

private:
    forms::DrawingSurface surface_;
};

class ButtonOnForm : public ::testing::Test {
protected:
    ButtonForm form;
    void SetUp() override
    {
        form.Show();
        form.Move(0, 0, 6000, 3000);
        Pump(150);
    }
    void TearDown() override { form.Unload(); }
    void Hover(Command& c) { SendMessageW(c.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); }
};

TEST_F(ButtonOnForm, StoredBagsMakeEnabledButtonsAndTheFirstInTabOrderHasTheFocus)
{
    EXPECT_EQ(form.Cmd_A.Rules().Caption(), "設定");
    EXPECT_EQ(form.Cmd_A.Rules().Font()->Spec().charset, 128);
    EXPECT_TRUE(form.Cmd_A.Rules().IsEnabled());
    EXPECT_TRUE(form.Cmd_A.PollRunning());
    EXPECT_EQ(form.Cmd_A.Rules().State(), 3);
    EXPECT_EQ(Shot(form.Cmd_A).Face(), "Selected");
    EXPECT_EQ(form.Cmd_B.Rules().State(), 1);
    EXPECT_EQ(Shot(form.Cmd_B).Face(), "Normal");
    EXPECT_TRUE(Shot(form.Cmd_B).WhiteOnTop());
}

TEST_F(ButtonOnForm, GradientDirectionFollowsTheState)
{
    Hover(form.Cmd_B);
    EXPECT_EQ(form.Cmd_B.Rules().State(), 2);
    EXPECT_EQ(Shot(form.Cmd_B).Face(), "HighLight");
    EXPECT_FALSE(Shot(form.Cmd_B).WhiteOnTop()) << "HighLight shows the gradient upside down";
    form.Cmd_B.SetFocus();  // by keyboard, while hovered
    EXPECT_EQ(form.Cmd_B.Rules().State(), 4);
    EXPECT_EQ(Shot(form.Cmd_B).Face(), "Pressed");
    SendMessageW(form.Cmd_B.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(Shot(form.Cmd_B).Face(), "HighLight") << "HighLightSelect: the HighLight picture";
    EXPECT_FALSE(Shot(form.Cmd_B).WhiteOnTop()) << "state 4 from 2 keeps the inverted gradient";
    EXPECT_EQ(form.clicksB, 1);

    EXPECT_EQ(form.Cmd_A.Rules().State(), 1) << "Cmd_A lost the focus to Cmd_B";
    form.Cmd_A.SetFocus();
    EXPECT_EQ(form.Cmd_A.Rules().State(), 3);
    Hover(form.Cmd_A);
    EXPECT_EQ(form.Cmd_A.Rules().State(), 4);
    EXPECT_TRUE(Shot(form.Cmd_A).WhiteOnTop()) << "state 4 from 3 keeps the normal gradient";
}

TEST_F(ButtonOnForm, CaptionLaidOutEightyTwipsDownOnA375TwipButton)
{
    EXPECT_DOUBLE_EQ(form.Cmd_A.CaptionTopTwips(), 80.0);
    const RECT caption = form.Cmd_A.CaptionPixels();
    EXPECT_EQ(caption.top, 5);
    EXPECT_EQ(caption.bottom - caption.top, 13);
    EXPECT_EQ(caption.right, 77);
    // Black text drawn inside the label's rows only, centred.
    form.Cmd_A.SetFocus();
    const Shot shot(form.Cmd_A);
    int top = 99, bottom = -1, left = 99, right = -1;
    for (int y = 0; y < 25; ++y)
        for (int x = 4; x < 73; ++x)
            if (Channel(shot.At(x, y), 16) < 90 && Channel(shot.At(x, y), 0) < 90 && y > 3 && y < 21) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_GE(bottom, 0) << "no caption drawn";
    EXPECT_GE(top, 5);
    EXPECT_LE(bottom, 18);
    EXPECT_NEAR((left + right) / 2.0, 38.0, 3.0);
}

TEST_F(ButtonOnForm, DisabledLookTransparentBackgroundAndLiveFont)
{
    form.Cmd_B.Rules().SetEnabled(false);
    const Shot disabled(form.Cmd_B);
    EXPECT_EQ(disabled.Face(), "Disable");
    std::set<Rgb> colours;
    for (int y = 5; y < 20; ++y)
        for (int x = 4; x < 25; ++x) colours.insert(disabled.At(x, y));
    EXPECT_TRUE(colours.count(ToRgb(GetSysColor(COLOR_3DSHADOW)))) << "embossed caption: shadow colour";
    EXPECT_TRUE(colours.count(ToRgb(GetSysColor(COLOR_3DHILIGHT)))) << "and highlight";
    EXPECT_FALSE(colours.count(0x000000)) << "not the caption's own colour";
    EXPECT_FALSE(form.Cmd_B.CanTakeFocus());
    SendMessageW(form.Cmd_B.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(form.Cmd_B.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(form.clicksB, 0);
    EXPECT_TRUE(form.Cmd_A.HasFocus()) << "a disabled button does not take the focus";
    form.Cmd_B.Rules().SetEnabled(true);

    std::uint8_t transparent = 0;
    form.Cmd_B.Rules().SetVisible(transparent);
    const Shot seeThrough(form.Cmd_B);
    EXPECT_EQ(HexColour(seeThrough.At(0, 0)), "E0E0E0") << "the panel beneath";
    EXPECT_EQ(HexColour(seeThrough.At(28, 24)), "E0E0E0");
    EXPECT_EQ(form.Cmd_B.Rules().Visible(), 0);
    form.Cmd_A.Rules().SetVisible(transparent);
    EXPECT_EQ(HexColour(Shot(form.Cmd_A).At(1, 1)), "808080") << "the form beneath";

    // Width of the caption's ink over the grey form.
    auto inkWidth = [](const Shot& s) {
        int left = 999, right = -1;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < s.width(); ++x)
                if (Channel(s.At(x, y), 8) < 60) left = std::min(left, x), right = std::max(right, x);
        return right - left;
    };
    const int before = inkWidth(Shot(form.Cmd_A));
    EXPECT_GT(before, 5);
    form.Cmd_A.Rules().Font()->SetSize(14);
    EXPECT_GT(inkWidth(Shot(form.Cmd_A)), before + 3) << "the live font object: larger at once";
}

TEST_F(ButtonOnForm, ResizeRepaintsAtTheNewSize)
{
    form.Cmd_A.Move(300, 300, 435, 375);
    const Shot shot(form.Cmd_A);
    EXPECT_EQ(shot.width(), 29);
    const StatePicture normal = DrawStatePicture(PictureFile::Normal);
    EXPECT_EQ(HexColour(shot.At(28, 0)), HexColour(normal.At(63, 0))) << "the right corner moved in";
    EXPECT_EQ(HexColour(shot.At(25, 10)), HexColour(normal.At(60, 10)));
}

TEST_F(ButtonOnForm, PropertyStoreRoundTrip)
{
    std::uint32_t red = RGB(255, 0, 0);
    form.Cmd_A.Rules().SetFontColour(red);
    form.SaveProperties();
    const std::string text = form.Properties().ToText();
    const forms::PropertyBag* b = form.Properties().Find("Cmd_B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Names(), (std::vector<std::string>{"Caption", "Font"})) << "a dialog button keeps only these";

    ButtonForm again;
    again.Properties() = forms::PropertyStore::FromText(text);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Cmd_A.Rules().Caption(), "設定");
    EXPECT_EQ(again.Cmd_A.Rules().FontColour(), red);
    EXPECT_EQ(again.Cmd_B.Rules().Caption(), "...");
    EXPECT_EQ(again.Cmd_B.Rules().Font()->Spec(), form.Cmd_B.Rules().Font()->Spec());
    again.Unload();
}

}  // namespace
