// The settings dialog's drawn parts: its font, its labels (drawn in Unicode,
// so the Japanese texts read correctly on any system), the shaded backdrop of
// its window, the panel with the option marks and the file name, and the
// track box. Where each part stands is one placement table, kDialogPlaces,
// which placing, drawing and hit-testing all read. What the dialog does with
// the parts is SettingsDialog (win32_settings_dialog.h).
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "dialog_look.h"
#include "forms/control.h"
#include "forms/picture_box.h"
#include "forms/text_drawing.h"

namespace settings_ui {

// A rectangle in twips from a container's inner top-left corner.
struct TwipRect {
    int left, top, width, height;
    RECT Pixels() const;
    // The rectangle moved in by `twips` on every side.
    constexpr TwipRect Inset(int twips) const { return {left + twips, top + twips, width - 2 * twips, height - 2 * twips}; }
};

// The option marks and labels, in the order of the music kinds.
constexpr int kOptionCount = 3;  // none, audio CD, MP3 or WAV file

// Where every part of the dialog stands.
struct DialogPlaces {
    // The form's client area, and the parts on the form.
    TwipRect client;
    TwipRect panel;
    TwipRect saveButton;
    TwipRect cancelButton;
    TwipRect versionLabel;
    TwipRect addressLabel;
    // The parts in the panel.
    TwipRect headingFrame;
    TwipRect heading;
    std::array<TwipRect, kOptionCount> optionMarks;
    std::array<TwipRect, kOptionCount> optionLabels;
    TwipRect repeatLabel;
    TwipRect trackBox;
    TwipRect fileButton;
    TwipRect fileFrame;
};

inline constexpr DialogPlaces kDialogPlaces = {
    .client = {0, 0, 7440, 3645},
    .panel = {180, 240, 7035, 2475},
    .saveButton = {4860, 2940, 1155, 375},
    .cancelButton = {6060, 2940, 1155, 375},
    .versionLabel = {180, 2880, 2475, 195},
    .addressLabel = {180, 3120, 3105, 195},
    .headingFrame = {300, 300, 1695, 315},
    .heading = {300, 360, 1665, 195},
    .optionMarks = {{{420, 1140, 195, 195}, {420, 840, 195, 195}, {420, 1440, 195, 195}}},
    .optionLabels = {{{660, 1140, 330, 195}, {660, 840, 645, 195}, {660, 1440, 900, 195}}},
    .repeatLabel = {2340, 840, 990, 195},
    .trackBox = {1680, 780, 615, 300},
    .fileButton = {600, 1740, 435, 375},
    .fileFrame = {1080, 1740, 5595, 495},
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
// "ＭＳ Ｐゴシック", 9.75 points, Shift-JIS character set.
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
    // Placed with room for the dropped list; the font follows the scale.
    void Resized() override;

private:
    HFONT font_ = nullptr;
    int fontDpi_ = 0;
};

// The panel: its kept image holds the shading, the heading's frame, the
// labels, the option marks and the chosen file's name in its frame. A press
// (any mouse button) on a mark or an option label reports that option.
class Panel : public forms::PictureBox {
public:
    explicit Panel(forms::Container& container);
    std::function<void(int option)> OptionPressed;

    void SetMark(int option, bool on) { marks_.at(static_cast<size_t>(option)) = on; }
    bool Marked(int option) const { return marks_.at(static_cast<size_t>(option)); }
    void SetFileCaption(const std::string& path) { fileCaption_ = path; }
    const std::string& FileCaption() const { return fileCaption_; }
    // From the first show on, the panel is drawn shaded.
    void SetShaded() { shaded_ = true; }
    // Draws the kept image anew and shows it.
    void Compose();

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawContents(HDC dc) const;

    std::array<bool, kOptionCount> marks_{};
    std::string fileCaption_;
    bool shaded_ = false;
};

}  // namespace settings_ui
