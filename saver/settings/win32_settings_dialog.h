// The settings dialog "<Quorvellanto>" on the window manager: its window,
// the panel with the music controls, the labels (drawn in Unicode, so the
// Japanese texts read correctly on any system), the option marks, the track
// box and the three Command buttons. What it does is SettingsDialogRules.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialog_look.h"
#include "forms/control.h"
#include "forms/form.h"
#include "forms/picture_box.h"
#include "forms/text_drawing.h"
#include "settings_dialog.h"
#include "win32_command.h"

class Quorvellanto_P;

namespace settings_ui {

// Rectangles in twips from a container's inner top-left corner.
struct TwipRect {
    int left, top, width, height;
    RECT Pixels() const;
};

// A label: transparent, its text in the dialog's font, left at its place.
struct LabelSpec {
    TwipRect place;
    std::wstring text;
    COLORREF colour;
    bool underline = false;
    UINT format = DT_LEFT | DT_NOPREFIX | DT_SINGLELINE;
};
void DrawLabel(HDC dc, const LabelSpec& label);
forms::FontSpec DialogFont(bool underline = false);

// The window's shading under its windowless labels, kept as rows of colour
// once the dialog has first been shown.
class Backdrop : public forms::Control {
public:
    using forms::Control::Control;
    void SetRows(std::vector<RgbColour> rows);
    std::vector<LabelSpec> labels;

protected:
    void Paint(HDC dc) override;

private:
    std::vector<RgbColour> rows_;
};

// The combo box: a drop-down list of track numbers with a text field.
class TrackBox : public forms::ChildControl {
public:
    using forms::ChildControl::ChildControl;
    ~TrackBox() override;
    void SetText(const std::string& text);
    std::string Text() const;
    void AddItem(const std::string& text);
    int ItemCount() const;

protected:
    bool CreateControlWindow(HWND parent) override;

private:
    HFONT font_ = nullptr;
};

// The panel Pic_C(0): its kept image holds the shading, the heading frame
// Shape3, the labels and the option marks; a press on a mark or an option
// label chooses that option.
class Panel : public forms::PictureBox {
public:
    Panel(::Quorvellanto_P& dialog, forms::Container& container);
    void Compose();
    void SetShaded() { shaded_ = true; }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ::Quorvellanto_P& dialog_;
    bool shaded_ = false;
};

}  // namespace settings_ui

class Quorvellanto_P : public forms::Form, private SettingsDialogView {
public:
    Quorvellanto_P(ProfileStore& profile, ProgramServices& services);
    ~Quorvellanto_P() override;

    // The controls, by their design names.
    settings_ui::Panel Pic_C;
    settings_ui::TrackBox BGM_Repeat;
    Command Cmd_File;
    Command Cmd_Set;
    Command Cmd_Can;

    // What the dialog shows now (for the tests).
    bool OptionMarked(int index) const { return marks_.at(static_cast<size_t>(index)); }
    const std::string& FileCaption() const { return fileCaption_; }
    static const settings_ui::TwipRect kMarkPlaces[3];
    static const settings_ui::TwipRect kOptionLabelPlaces[3];
    static const settings_ui::TwipRect kUrlPlace;

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Resize() override;
    bool Form_Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    friend class settings_ui::Panel;
    void OptionPressed(int index) { rules_.Option_MouseDown(index); }
    void DrawPanelContents(HDC dc);
    bool OverUrl(POINT client) const;

    // SettingsDialogView
    int ScreenWidthTwips() const override;
    int ScreenHeightTwips() const override;
    int DialogWidthTwips() const override;
    int DialogHeightTwips() const override;
    void MoveDialog(int leftTwips, int topTwips) override;
    void InitCommandButtons() override;
    void SetTrackBoxEnabled(bool enabled) override;
    void SetFileButtonEnabled(bool enabled) override;
    void SetOptionMark(int index, bool on) override;
    void SetTrackText(const std::string& text) override;
    std::string TrackText() const override;
    void AddTrackEntry(const std::string& text) override;
    void SetFileCaption(const std::string& path) override;
    std::optional<ScreenPoint> CursorPosition() const override;
    void AnimateOpen(ScreenPoint from) override;
    void AnimateClose(ScreenPoint to) override;
    void SetPointer(DialogPointer pointer) override;
    std::optional<std::string> ChooseMusicFile(const std::string& folder) override;
    void RefuseMusicFile(const std::string& path, std::size_t longest) override;
    void OpenAddress(const std::string& address) override;
    void CloseDialog() override;

    SettingsDialogRules rules_;
    settings_ui::Backdrop backdrop_;
    std::array<bool, 3> marks_{};
    std::string fileCaption_;
    bool shownOnce_ = false;
    bool loading_ = false;  // the panel is composed once, after Form_Load
    bool urlPressed_ = false;
    HCURSOR handCursor_ = nullptr;
    HICON icon_ = nullptr, smallIcon_ = nullptr;
};
