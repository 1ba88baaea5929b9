// The Command push button: a user control that draws its own skinned face
// from six state pictures, follows the mouse (and its 100 ms cursor poll) and
// the focus, and raises Click. Its rules are CommandRules; this is the
// control on the window manager: the caption label, the poll timer, the
// picture holders and the kept face.
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

    // The control's properties and state (Caption, Enabled, Visible, ...)
    // are its rules'; this class adds the window, the caption label, the
    // poll timer and the pictures.
    CommandRules& Rules() { return rules_; }
    const CommandRules& Rules() const { return rules_; }
    // Event, raised on a mouse release over the button (see CommandRules).
    std::function<void()> Click;

    // Where the caption stands, and whether the cursor poll runs.
    double CaptionTopTwips() const { return caption_.topTwips; }
    RECT CaptionPixels() const;
    bool PollRunning() const { return pollTimer_.Enabled(); }

protected:
    void Resized() override { rules_.OnResize(); }
    void GotFocus() override { rules_.OnSetFocus(); }
    void LostFocus() override { rules_.OnKillFocus(); }
    // A control shown disabled takes the focus neither by Tab nor by a press.
    bool TakesFocus() const override { return rules_.IsEnabled(); }
    // The caption label passes its mouse events on: over it or beside it,
    // the button reacts the same.
    void MouseDown(int button, int, int, int) override { rules_.OnMouseDown(button); }
    void MouseMove(int, int, int, int) override { rules_.OnMouseMove(); }
    void MouseUp(int button, int, int, int) override { rules_.OnMouseUp(button); }
    void ReadProperties(const forms::PropertyBag& bag) override { rules_.ReadProperties(bag); }
    void WriteProperties(forms::PropertyBag& bag) override { rules_.WriteProperties(bag); }
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
    };

    void DrawFace(FacePicture picture, bool invertGradient);
    void UseCaptionFont(std::shared_ptr<forms::Font> font);

    std::unique_ptr<Parts> parts_;
    CommandRules rules_;
    CaptionLabel caption_;
    forms::Timer pollTimer_;
    // The picture holders Normal, HighLight, Pressed, Disable, HighLightSelect, Selected.
    std::array<HBITMAP, 6> pictures_{};
    bool opaque_ = true;
    forms::DrawingSurface composed_;
};
