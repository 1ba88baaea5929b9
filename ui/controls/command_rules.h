// The rules of the Command push button: its states, the faces it paints on
// each trigger, its properties and their persistence, and the Click it raises.
// Everything the rules touch of the real control goes through CommandParts,
// so the rules run the same on the host (with fakes) and in the program.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "forms/font.h"
#include "forms/property_bag.h"

enum class FacePicture : std::uint8_t { Normal, HighLight, Pressed, Disable, HighLightSelect, Selected };
const char* FacePictureName(FacePicture picture);

// ButtonState values.
enum : std::uint8_t {
    kStateNone = 0,        // Initialize not called yet
    kStateNormal = 1,      // no focus, cursor away
    kStateHighLight = 2,   // no focus, cursor over
    kStateSelected = 3,    // focus, cursor away
    kStateHighLightSelect = 4,  // focus, cursor over
};

using WindowId = std::uintptr_t;

// The control's constituent parts and its link to the platform.
class CommandParts {
public:
    virtual ~CommandParts() = default;
    // Redraws the whole face from the picture (gradient in the given direction,
    // the eight frame pieces), shows it at once and lays the caption out.
    virtual void DrawFace(FacePicture picture, bool invertGradient) = 0;

    // The caption label.
    virtual void SetCaptionEnabled(bool enabled) = 0;
    virtual bool SetCaptionColour(std::uint32_t colour) = 0;  // false when it fails
    virtual std::optional<std::uint32_t> CaptionColour() const = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::shared_ptr<forms::Font> CaptionFont() const = 0;
    virtual void SetCaptionFont(std::shared_ptr<forms::Font> font) = 0;

    // Background style: opaque shows the painted face, transparent only the caption.
    virtual void SetOpaque(bool opaque) = 0;
    virtual bool Opaque() const = 0;

    virtual forms::FontSpec AmbientFont() const = 0;
    virtual void StartPollTimer(unsigned intervalMs) = 0;
    virtual void PropertyChanged(const char* name) = 0;
    virtual void RaiseClick() = 0;

    // For the cursor poll; nothing when the platform cannot tell.
    virtual std::optional<WindowId> WindowUnderCursor() = 0;
    virtual std::optional<WindowId> ContainerWindow() = 0;
    virtual WindowId OwnWindow() const = 0;
};

class CommandRules {
public:
    explicit CommandRules(CommandParts& parts) : parts_(parts) {}

    // Properties of the control. Reading FontColour, Visible or Enabled
    // repaints the face as it is (Enabled's first read enables a brand-new
    // control); a setter tells the container which property changed.
    void Initialize();
    std::uint8_t Visible();
    void SetVisible(std::uint8_t visible);
    std::uint32_t FontColour();
    void SetFontColour(std::uint32_t colour);
    bool Enabled();
    void SetEnabled(bool enabled);
    std::string Caption() const { return parts_.Caption(); }
    void SetCaption(std::string caption);
    std::shared_ptr<forms::Font> Font() const { return parts_.CaptionFont(); }
    void SetFont(std::shared_ptr<forms::Font> font);

    // What the control is in now: one of the kState values, and whether it
    // reacts to input (Enabled without the first-read rule or a repaint).
    std::uint8_t State() const { return buttonState_; }
    bool IsEnabled() const { return enabledValue_; }

    // Events of the control's window.
    void OnResize() { ShowEnabledState(); }
    void OnSetFocus();
    void OnKillFocus();
    void OnMouseDown(int button);
    void OnMouseMove();
    void OnMouseUp(int button);
    // The cursor poll: a cursor that has left the button ends its hover.
    void OnPollTimer();
    void ReadProperties(const forms::PropertyBag& bag);
    void WriteProperties(forms::PropertyBag& bag);

private:
    void ShowEnabledState();
    void ResetFace();
    void PaintFace(FacePicture picture);
    void EndHover();

    CommandParts& parts_;
    std::uint8_t buttonState_ = kStateNone;
    bool enabledValue_ = false;
    std::uint8_t firstRunValue_ = 0;
    bool leftButtonDown_ = false;
    bool invertGradient_ = false;
};

// Property-bag defaults.
extern const char* const kDefaultCaptionOnWrite;  // "Command"
extern const char* const kDefaultCaptionOnRead;   // "Command1"
constexpr int kLeftButton = 1;
constexpr unsigned kPollIntervalMs = 100;
