#include "command_rules.h"

const char* const kDefaultCaptionOnWrite = "Command";
const char* const kDefaultCaptionOnRead = "Command1";

const char* FacePictureName(FacePicture picture)
{
    switch (picture) {
    case FacePicture::Normal: return "Normal";
    case FacePicture::HighLight: return "HighLight";
    case FacePicture::Pressed: return "Pressed";
    case FacePicture::Disable: return "Disable";
    case FacePicture::HighLightSelect: return "HighLightSelect";
    case FacePicture::Selected: return "Selected";
    }
    return "?";
}

void CommandRules::Initialize()
{
    buttonState_ = kStateNormal;
    parts_.StartPollTimer(kPollIntervalMs);
}

std::uint8_t CommandRules::Visible()
{
    if (!parts_.Opaque()) return 0;
    ResetFace();
    return 255;
}

void CommandRules::SetVisible(std::uint8_t visible)
{
    if (visible != 0) {
        parts_.SetOpaque(true);
        ResetFace();
    } else {
        parts_.SetOpaque(false);
    }
    parts_.PropertyChanged("Visible");
}

std::uint32_t CommandRules::FontColour()
{
    std::uint32_t colour = 0;
    if (const auto read = parts_.CaptionColour()) {
        colour = *read;
    } else {
        ResetFace();
    }
    ResetFace();
    return colour;
}

void CommandRules::SetFontColour(std::uint32_t colour)
{
    if (!parts_.SetCaptionColour(colour)) {
        ResetFace();
        return;
    }
    ResetFace();
    parts_.PropertyChanged("FontColour");
}

bool CommandRules::Enabled()
{
    if (firstRunValue_ == 0) {
        ResetFace();
        firstRunValue_ = 1;
        enabledValue_ = true;
    }
    const bool result = enabledValue_;
    ShowEnabledState();
    return result;
}

void CommandRules::SetEnabled(bool enabled)
{
    enabledValue_ = enabled;
    parts_.PropertyChanged("Enabled");
    ShowEnabledState();
}

void CommandRules::SetCaption(std::string caption)
{
    parts_.SetCaption(caption);
    parts_.PropertyChanged("Caption");
}

void CommandRules::SetFont(std::shared_ptr<forms::Font> font)
{
    if (font) parts_.SetCaptionFont(std::move(font));
    parts_.PropertyChanged("Font");
}

void CommandRules::OnSetFocus()
{
    if (!enabledValue_) return;
    if (buttonState_ != kStateHighLight) {
        buttonState_ = kStateSelected;
        PaintFace(FacePicture::Selected);
    } else {
        buttonState_ = kStateHighLightSelect;
        PaintFace(FacePicture::Pressed);
    }
}

void CommandRules::OnKillFocus()
{
    if (!enabledValue_) return;
    if (buttonState_ != kStateNormal) {
        buttonState_ = kStateNormal;
        PaintFace(FacePicture::Normal);
    }
}

void CommandRules::OnMouseDown(int button)
{
    if (!enabledValue_) return;
    if (button == kLeftButton) {
        leftButtonDown_ = true;
        PaintFace(FacePicture::Pressed);
    }
}

void CommandRules::OnMouseMove()
{
    if (!enabledValue_) return;
    if (buttonState_ == kStateNormal) {
        buttonState_ = kStateHighLight;
        PaintFace(FacePicture::HighLight);
    }
    if (buttonState_ == kStateSelected && !leftButtonDown_) {
        buttonState_ = kStateHighLightSelect;
        PaintFace(FacePicture::HighLightSelect);
    }
}

void CommandRules::OnMouseUp(int button)
{
    if (!enabledValue_) return;
    if (button == kLeftButton) {
        leftButtonDown_ = false;
        if (buttonState_ == kStateHighLight) PaintFace(FacePicture::Normal);
        if (buttonState_ == kStateHighLightSelect) PaintFace(FacePicture::HighLightSelect);
    }
    // The Click handler may disable the control; it is raised last.
    if (buttonState_ != kStateSelected && enabledValue_) parts_.RaiseClick();
}

void CommandRules::OnPollTimer()
{
    const auto under = parts_.WindowUnderCursor();
    if (!under) {
        EndHover();
        return;
    }
    const auto container = parts_.ContainerWindow();
    if (!container || *under == *container) {
        EndHover();
        return;
    }
    if (*under != parts_.OwnWindow()) EndHover();
}

void CommandRules::EndHover()
{
    if (!enabledValue_) return;
    if (buttonState_ == kStateHighLight) {
        buttonState_ = kStateNormal;
        PaintFace(FacePicture::Normal);
    }
    if (buttonState_ == kStateHighLightSelect) {
        buttonState_ = kStateSelected;
        PaintFace(FacePicture::Selected);
    }
}

void CommandRules::ShowEnabledState()
{
    if (enabledValue_) {
        PaintFace(FacePicture::Normal);
        parts_.SetCaptionEnabled(true);
    } else {
        PaintFace(FacePicture::Disable);
        parts_.SetCaptionEnabled(false);
    }
}

void CommandRules::ResetFace()
{
    if (!enabledValue_) return;
    parts_.SetCaptionEnabled(true);
    if (firstRunValue_ == 0 && !parts_.SetCaptionColour(0)) {
        parts_.SetCaptionColour(0);  // a failing step turns the caption black and goes on
    }
    PaintFace(FacePicture::Normal);
}

void CommandRules::PaintFace(FacePicture picture)
{
    if (buttonState_ == kStateNormal) invertGradient_ = false;
    else if (buttonState_ == kStateHighLight) invertGradient_ = true;
    else if (buttonState_ == kStateSelected) invertGradient_ = false;
    parts_.DrawFace(picture, invertGradient_);
}

void CommandRules::ReadProperties(const forms::PropertyBag& bag)
{
    // A value of the wrong kind or range fails its own step only.
    const auto enabled = bag.ReadProperty("Enabled", true);
    if (const bool* value = std::get_if<bool>(&enabled)) enabledValue_ = *value;
    const auto caption = bag.ReadProperty("Caption", std::string(kDefaultCaptionOnRead));
    if (const std::string* value = std::get_if<std::string>(&caption)) parts_.SetCaption(*value);
    const auto font = bag.ReadProperty("Font", parts_.AmbientFont());
    if (const forms::FontSpec* value = std::get_if<forms::FontSpec>(&font))
        parts_.SetCaptionFont(std::make_shared<forms::Font>(*value));
    const auto firstRun = bag.ReadProperty("FirstRun", std::int32_t{1});
    if (const std::int32_t* value = std::get_if<std::int32_t>(&firstRun)) {
        if (*value >= 0 && *value <= 255) firstRunValue_ = static_cast<std::uint8_t>(*value);
    }
    const auto colour = bag.ReadProperty("FontColour", std::int32_t{0});
    if (const std::int32_t* value = std::get_if<std::int32_t>(&colour)) {
        if (*value >= 0 && *value <= 0xFFFFFF) parts_.SetCaptionColour(static_cast<std::uint32_t>(*value));
    }
    const auto visible = bag.ReadProperty("Visible", std::int32_t{1});
    if (const std::int32_t* value = std::get_if<std::int32_t>(&visible)) {
        if (*value == 0 || *value == 1) parts_.SetOpaque(*value == 1);
    }
    ResetFace();
}

void CommandRules::WriteProperties(forms::PropertyBag& bag)
{
    bag.WriteProperty("Enabled", enabledValue_, true);
    bag.WriteProperty("Caption", parts_.Caption(), std::string(kDefaultCaptionOnWrite));
    bag.WriteProperty("FirstRun", std::int32_t{firstRunValue_}, std::int32_t{1});
    if (const auto font = parts_.CaptionFont()) bag.WriteProperty("Font", font->Spec(), parts_.AmbientFont());
    if (const auto colour = parts_.CaptionColour())
        bag.WriteProperty("FontColour", static_cast<std::int32_t>(*colour), std::int32_t{0});
    bag.WriteProperty("Visible", std::int32_t{parts_.Opaque() ? 1 : 0}, std::int32_t{1});
    ResetFace();
}
