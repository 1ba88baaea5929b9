#include "win32_command.h"

#include <cmath>
#include <cstdio>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/scale.h"
#include "forms/text_drawing.h"
#include "win32_cursor_probe.h"
#include "win32_face_painter.h"

class Command::Parts : public CommandParts {
public:
    explicit Parts(Command& control) : c_(control) {}

    void DrawFace(FacePicture picture, bool invertGradient) override { c_.DrawFace(picture, invertGradient); }
    void SetCaptionEnabled(bool enabled) override
    {
        if (c_.caption_.enabled == enabled) return;
        c_.caption_.enabled = enabled;
        c_.Present();
    }
    bool SetCaptionColour(std::uint32_t colour) override
    {
        c_.caption_.colour = static_cast<COLORREF>(colour & 0xFFFFFF);
        c_.Present();
        return true;
    }
    std::optional<std::uint32_t> CaptionColour() const override { return c_.caption_.colour; }
    std::string Caption() const override { return c_.caption_.caption; }
    void SetCaption(const std::string& caption) override
    {
        c_.caption_.caption = caption;
        c_.Present();
    }
    std::shared_ptr<forms::Font> CaptionFont() const override { return c_.caption_.font; }
    void SetCaptionFont(std::shared_ptr<forms::Font> font) override { c_.UseCaptionFont(std::move(font)); }
    void SetOpaque(bool opaque) override
    {
        c_.opaque_ = opaque;
        c_.Present();
    }
    bool Opaque() const override { return c_.opaque_; }
    forms::FontSpec AmbientFont() const override
    {
        const auto font = c_.AmbientFont();
        return font ? font->Spec() : forms::FontSpec{};
    }
    void StartPollTimer(unsigned intervalMs) override
    {
        c_.pollTimer_.SetEnabled(true);
        c_.pollTimer_.SetInterval(intervalMs);
    }
    void PropertyChanged(const char* name) override { c_.PropertyChanged(name); }
    void RaiseClick() override
    {
        if (auto click = c_.Click) click();
    }
    std::optional<WindowId> WindowUnderCursor() override
    {
        const auto under = ::WindowUnderCursor();
        if (!under) return std::nullopt;
        return reinterpret_cast<WindowId>(*under);
    }
    std::optional<WindowId> ContainerWindow() override
    {
        const HWND parent = c_.ParentHwnd();
        if (parent == nullptr) return std::nullopt;
        return reinterpret_cast<WindowId>(parent);
    }
    WindowId OwnWindow() const override { return reinterpret_cast<WindowId>(c_.hwnd()); }

private:
    Command& c_;
};

Command::Command(forms::Container& container, std::string name)
    : forms::UserControl(container, std::move(name)),
      parts_(std::make_unique<Parts>(*this)),
      rules_(*parts_),
      pollTimer_(ParentForm(), kPollIntervalMs, false, [this] { rules_.OnPollTimer(); })
{
    const FacePicture order[6] = {FacePicture::Normal,  FacePicture::HighLight,       FacePicture::Pressed,
                                  FacePicture::Disable, FacePicture::HighLightSelect, FacePicture::Selected};
    for (int i = 0; i < 6; ++i) pictures_[static_cast<size_t>(i)] = LoadStatePicture(FileOf(order[i]));
    UseCaptionFont(std::make_shared<forms::Font>(forms::FontSpec{}));
}

Command::~Command()
{
    if (caption_.font) caption_.font->Unsubscribe(caption_.fontSubscription);
    for (HBITMAP picture : pictures_) {
        if (picture != nullptr) DeleteObject(picture);
    }
}

void Command::UseCaptionFont(std::shared_ptr<forms::Font> font)
{
    if (!font) return;
    if (caption_.font) caption_.font->Unsubscribe(caption_.fontSubscription);
    caption_.font = std::move(font);
    // The live font object: a change of its attributes shows at once.
    caption_.fontSubscription = caption_.font->Subscribe([this] { Present(); });
    Present();
}

RECT Command::CaptionPixels() const
{
    const int dpi = forms::LayoutDpi();
    const int top = static_cast<int>(std::lround(caption_.topTwips * dpi / forms::kTwipsPerInch));
    return {0, top, PixelWidth(), top + forms::TwipsToPixels(caption_.heightTwips, dpi)};
}

void Command::DrawFace(FacePicture picture, bool invertGradient)
{
    if (hwnd() == nullptr) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    forms::DrawingSurface& face = Surface();
    if (face.Resize(w, h)) {
        HBITMAP holder = pictures_[static_cast<size_t>(picture)];
        DrawFaceImage(face.dc(), w, h, holder, invertGradient, forms::ScaledPixels(kCorner, forms::LayoutDpi()));
    }
    Present();
    caption_.topTwips = ::CaptionTopTwips(Height(), caption_.heightTwips);
    Present();
}

void Command::Paint(HDC dc, const RECT&)
{
    RECT client;
    GetClientRect(hwnd(), &client);
    if (!composed_.Resize(client.right, client.bottom)) return;
    HDC canvas = composed_.dc();
    if (opaque_) {
        Surface().CopyTo(canvas, 0, 0);
    } else {
        // Transparent: what the container shows beneath the control.
        RECT place;
        GetWindowRect(hwnd(), &place);
        MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&place), 2);
        POINT origin;
        SetViewportOrgEx(canvas, -place.left, -place.top, &origin);
        SendMessageW(GetParent(hwnd()), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas), PRF_CLIENT);
        SetViewportOrgEx(canvas, origin.x, origin.y, nullptr);
    }
    forms::LabelText text;
    text.text = forms::Widen(caption_.caption);
    text.font = caption_.font ? caption_.font->Spec() : forms::FontSpec{};
    text.colour = caption_.colour;
    text.enabled = caption_.enabled;
    forms::DrawLabelText(canvas, CaptionPixels(), text);
    composed_.CopyTo(dc, 0, 0);
}
