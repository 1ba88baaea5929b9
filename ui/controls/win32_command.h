// The Command push button: a user control that draws its own skinned face
// from six state pictures, follows the mouse (and its 100 ms cursor poll) and
// the focus, and raises Click. Its rules are CommandRules; this is the
// control on the window manager: the caption label LblMsg, the poll timer
// TmrMouse, the picture holders and the kept face.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "button_pictures.h"
#include "command_rules.h"
#include "forms/timer.h"
#include "forms/user_control.h"

class Command : public forms::UserControl {
public:
    Command(forms::Container& container, std::string name);
    ~Command() override;

    // Public members.
    void Initialize() { rules_.Initialize(); }
    std::uint8_t Visible() { return rules_.Visible(); }
    void LetVisible(std::uint8_t& New_Visible) { rules_.LetVisible(New_Visible); }
    std::uint32_t FontColour() { return rules_.FontColour(); }
    void LetFontColour(std::uint32_t& New_FontColour) { rules_.LetFontColour(New_FontColour); }
    bool Enabled() { return rules_.Enabled(); }
    void LetEnabled(bool New_Enabled) { rules_.LetEnabled(New_Enabled); }
    std::string Caption() const { return rules_.Caption(); }
    void LetCaption(const std::string& New_Caption) { rules_.LetCaption(New_Caption); }
    std::shared_ptr<forms::Font> Font() const { return rules_.Font(); }
    void SetFont(std::shared_ptr<forms::Font> New_Font) { rules_.SetFont(std::move(New_Font)); }
    // Event, raised on a mouse release over the button (see CommandRules).
    std::function<void()> Click;

    // What the control is in now: state, fields, the caption's place.
    const CommandRules& Rules() const { return rules_; }
    double CaptionTopTwips() const { return lblMsg_.topTwips; }
    RECT CaptionPixels() const;
    bool PollRunning() const { return TmrMouse.Enabled(); }

protected:
    void Resized() override { rules_.UserControl_Resize(); }
    void GotFocus() override { rules_.UserControl_GotFocus(); }
    void LostFocus() override { rules_.UserControl_LostFocus(); }
    // A control shown disabled takes the focus neither by Tab nor by a press.
    bool TakesFocus() const override { return rules_.EnabledValue(); }
    void MouseDown(int button, int shift, int x, int y) override;
    void MouseMove(int button, int shift, int x, int y) override;
    void MouseUp(int button, int shift, int x, int y) override;
    void ReadProperties(const forms::PropertyBag& bag) override { rules_.UserControl_ReadProperties(bag); }
    void WriteProperties(forms::PropertyBag& bag) override { rules_.UserControl_WriteProperties(bag); }
    void Paint(HDC dc, const RECT& area) override;

private:
    class Parts;
    // The caption label: windowless, transparent, centred, 195 twips high.
    struct CaptionLabel {
        std::string caption = "Command";
        std::shared_ptr<forms::Font> font;
        int fontSubscription = 0;
        COLORREF colour = RGB(0, 0, 0);
        bool enabled = true;
        double topTwips = 0;
        int heightTwips = kCaptionHeightTwips;
        bool Contains(int x, int y, int widthTwips) const;
    };
    void LblMsg_MouseDown(int button, int shift, int x, int y) { UserControl_MouseDown(button, shift, x, y); }
    void LblMsg_MouseMove(int button, int shift, int x, int y) { UserControl_MouseMove(button, shift, x, y); }
    void LblMsg_MouseUp(int button, int shift, int x, int y) { UserControl_MouseUp(button, shift, x, y); }
    void UserControl_MouseDown(int button, int, int, int) { rules_.UserControl_MouseDown(button); }
    void UserControl_MouseMove(int, int, int, int) { rules_.UserControl_MouseMove(); }
    void UserControl_MouseUp(int button, int, int, int) { rules_.UserControl_MouseUp(button); }

    void DrawFace(FacePicture picture, bool invertGradient);
    void UseCaptionFont(std::shared_ptr<forms::Font> font);

    std::unique_ptr<Parts> parts_;
    CommandRules rules_;
    CaptionLabel lblMsg_;
    forms::Timer TmrMouse;
    // The picture holders Normal, HighLight, Pressed, Disable, HighLightSelect, Selected.
    std::array<HBITMAP, 6> pictures_{};
    bool opaque_ = true;
    forms::DrawingSurface composed_;
};
