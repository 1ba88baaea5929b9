// The forms layer's child-window controls on the real window manager:
// placement in a form and in a picture box, tab order, focus on a press,
// mouse capture, resize events, the ambient font, the property store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/picture_box.h"
#include "forms/user_control.h"
#include "pump.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

class Recorder : public forms::UserControl {
public:
    Recorder(forms::Container& container, std::string name, std::vector<std::string>& log)
        : UserControl(container, std::move(name)), log_(log)
    {
    }
    bool willing = true;
    const forms::PropertyBag* lastRead = nullptr;
    int readCount = 0;

protected:
    void GotFocus() override { log_.push_back(Name() + " focus"); }
    void LostFocus() override { log_.push_back(Name() + " blur"); }
    void Resized() override { log_.push_back(Name() + " resize"); }
    void MouseDown(int b, int, int, int) override { log_.push_back(Name() + " down " + std::to_string(b)); }
    void MouseMove(int b, int, int, int) override { log_.push_back(Name() + " move " + std::to_string(b)); }
    void MouseUp(int b, int, int, int) override { log_.push_back(Name() + " up " + std::to_string(b)); }
    bool TakesFocus() const override { return willing; }
    void ReadProperties(const forms::PropertyBag& bag) override
    {
        ++readCount;
        log_.push_back(Name() + " read " + std::to_string(bag.size()));
    }
    void WriteProperties(forms::PropertyBag& bag) override
    {
        bag.WriteProperty("Caption", std::string(Name() + "!"), std::string(""));
    }

private:
    std::vector<std::string>& log_;
};

class TestForm : public forms::Form {
public:
    std::vector<std::string> log;
    forms::PictureBox Pic_C;
    Recorder One, Two, Three;
    TestForm()
        : Form("Quorvellanto_ChildTest", forms::FormStyle{WS_POPUP, 0, RGB(128, 128, 128)}),
          Pic_C(*this, "Pic_C", RGB(224, 224, 224)),
          One(*this, "One", log),
          Two(Pic_C, "Two", log),
          Three(*this, "Three", log)
    {
        Pic_C.Move(180 * 1, 240, 7035, 2475);
        One.Move(4860, 2940, 1155, 375);
        Two.Move(600, 1740, 435, 375);
        Three.Move(6060, 2940, 1155, 375);
    }

private:
    void OnLoad() override { log.push_back("OnLoad"); }
};

using win::Pump;

std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

POINT ClientOrigin(HWND window)
{
    POINT p = {0, 0};
    ClientToScreen(window, &p);
    return p;
}

TEST(ChildControls, PlacedInTwipsFromTheirContainersInnerCorner)
{
    TestForm form;
    ASSERT_TRUE(form.Load());
    form.Move(0, 0, 7440, 3645);
    ASSERT_NE(form.Two.hwnd(), nullptr);
    EXPECT_EQ(GetParent(form.Two.hwnd()), form.Pic_C.hwnd());
    EXPECT_EQ(GetParent(form.One.hwnd()), form.hwnd());
    const POINT formOrigin = ClientOrigin(form.hwnd());
    const POINT panel = ClientOrigin(form.Pic_C.hwnd());
    const POINT two = ClientOrigin(form.Two.hwnd());
    EXPECT_EQ(panel.x - formOrigin.x, 12);
    EXPECT_EQ(panel.y - formOrigin.y, 16);
    EXPECT_EQ(two.x - panel.x, 40) << "600 twips from the panel's inner corner";
    EXPECT_EQ(two.y - panel.y, 116);
    RECT r;
    GetClientRect(form.Two.hwnd(), &r);
    EXPECT_EQ(r.right, 29);
    EXPECT_EQ(r.bottom, 25);
    // Sited in order: a control without a bag reads nothing, then its resize.
    EXPECT_EQ(Joined(form.log), "Two resize, One resize, Three resize, OnLoad");
    form.Unload();
    EXPECT_EQ(form.One.hwnd(), nullptr) << "gone with the form's window";
}

TEST(ChildControls, OnAMonitorOfAnotherScaleEveryControlIsPlacedAgain)
{
    TestForm form;
    ASSERT_TRUE(form.Load());
    const int systemDpi = forms::LayoutDpi();
    // Each scale: the window at the suggested place, Two (435 x 375 twips,
    // 600 and 1740 twips into the panel) at that scale, a resize event each.
    const struct { int dpi, width, height, x, y; } scales[] = {
        {144, 43, 37, 60, 174}, {192, 58, 50, 80, 232}, {120, 36, 31, 50, 145}, {96, 29, 25, 40, 116}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(std::to_string(scale.dpi) + " dpi");
        form.log.clear();
        RECT suggested = {10, 20, 10 + 7440 * scale.dpi / 1440, 20 + 3645 * scale.dpi / 1440};
        SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(scale.dpi, scale.dpi), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(forms::LayoutDpi(), scale.dpi);
        RECT window = {};
        GetWindowRect(form.hwnd(), &window);
        EXPECT_EQ(window.left, 10);
        EXPECT_EQ(window.bottom, suggested.bottom);
        RECT two = {};
        GetClientRect(form.Two.hwnd(), &two);
        EXPECT_EQ(two.right, scale.width);
        EXPECT_EQ(two.bottom, scale.height);
        EXPECT_EQ(ClientOrigin(form.Two.hwnd()).x - ClientOrigin(form.Pic_C.hwnd()).x, scale.x);
        EXPECT_EQ(ClientOrigin(form.Two.hwnd()).y - ClientOrigin(form.Pic_C.hwnd()).y, scale.y);
        EXPECT_EQ(Joined(form.log), "One resize, Two resize, Three resize");
    }
    forms::SetLayoutDpi(systemDpi);
    form.Unload();
}

TEST(ChildControls, BagsAreReadBeforeFormLoadAndSavedIntoFreshBags)
{
    TestForm form;
    form.Properties().Bag("Two").WriteProperty("Caption", std::string("x"), std::string());
    form.Properties().Bag("One");
    ASSERT_TRUE(form.Load());
    EXPECT_EQ(Joined(form.log), "Two read 1, Two resize, One read 0, One resize, Three resize, OnLoad");
    form.SaveProperties();
    const forms::PropertyStore again = forms::PropertyStore::FromText(form.Properties().ToText());
    ASSERT_NE(again.Find("Three"), nullptr);
    EXPECT_EQ(again.Find("Three")->ReadProperty("Caption", std::string()), forms::PropertyValue(std::string("Three!")));
    EXPECT_EQ(again.Find("Two")->size(), 1u);
    form.Unload();
}

TEST(ChildControls, TabAndShiftTabFollowTheTabOrderSkippingWhatCannotTakeFocus)
{
    TestForm form;
    form.Two.SetTabIndex(0);  // Two, One, Three
    form.Show();
    Pump(100);
    EXPECT_TRUE(form.Two.HasFocus()) << "the first in tab order has the focus when the form shows";
    form.log.clear();
    form.TabFocus(false);
    EXPECT_TRUE(form.One.HasFocus());
    form.One.willing = false;
    form.TabFocus(false);
    EXPECT_TRUE(form.Three.HasFocus());
    form.TabFocus(false);
    EXPECT_TRUE(form.Two.HasFocus()) << "wraps round";
    form.TabFocus(true);
    EXPECT_TRUE(form.Three.HasFocus()) << "Shift+Tab goes back";
    form.Three.SetEnabled(false);
    form.TabFocus(false);
    EXPECT_TRUE(form.Two.HasFocus());
    EXPECT_EQ(Joined(form.log), "Two blur, One focus, One blur, Three focus, Three blur, Two focus, Two blur, "
                                "Three focus, Three blur, Two focus");

    // The key itself, through the program's message handling.
    form.Three.SetEnabled(true);
    form.One.willing = true;
    PostMessageW(form.Two.hwnd(), WM_KEYDOWN, VK_TAB, 0);
    Pump(50);
    EXPECT_TRUE(form.One.HasFocus());
    form.Unload();
}

TEST(ChildControls, LeftPressGivesTheFocusFirstThenTheMouseDownAndCaptures)
{
    TestForm form;
    form.Show();
    Pump(100);
    EXPECT_TRUE(form.One.HasFocus());
    form.log.clear();
    SendMessageW(form.Three.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(form.One.HasFocus()) << "other buttons leave the focus";
    EXPECT_EQ(GetCapture(), form.Three.hwnd()) << "but capture the mouse";
    SendMessageW(form.Three.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(form.Three.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), form.Three.hwnd());
    SendMessageW(form.Three.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-40, 90));
    SendMessageW(form.Three.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(-40, 90));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Joined(form.log), "Three down 2, Three up 2, One blur, Three focus, Three down 1, Three move 1, Three up 1");
    form.Unload();
}

TEST(ChildControls, FocusComesBackToTheControlThatHadItWhenTheFormIsActivatedAgain)
{
    TestForm form;
    form.Show();
    Pump(100);
    form.Three.SetFocus();
    SendMessageW(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetFocus(form.hwnd());
    SendMessageW(form.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(form.Three.HasFocus());
    form.Unload();
}

TEST(ChildControls, ResizeEventsAmbientFontAndEnabling)
{
    TestForm form;
    ASSERT_TRUE(form.Load());
    form.log.clear();
    form.One.Move(4860, 2940, 1500, 375);
    form.One.Move(5000, 2940, 1500, 375);
    EXPECT_EQ(Joined(form.log), "One resize") << "a move without a new size is no resize";
    EXPECT_EQ(form.One.AmbientFont(), form.GetFont());
    EXPECT_EQ(form.Two.AmbientFont(), form.Pic_C.ContainerFont()) << "inside the panel, the panel's font";
    EXPECT_EQ(form.One.ParentHwnd(), form.hwnd());
    EXPECT_EQ(form.Two.ParentHwnd(), form.hwnd()) << "the form, also from inside the panel";
    form.One.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(form.One.hwnd()));
    EXPECT_FALSE(form.One.CanTakeFocus());
    form.Unload();
}

}  // namespace
