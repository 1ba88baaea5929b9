// The settings dialog "<Quorvellanto>" on the window manager: a captioned
// form with the panel of music controls, the three Command buttons, the
// version and address labels, its icon and its hand cursor over the address.
// Its drawn parts and where they stand are in win32_dialog_parts.h; what it
// does is SettingsDialogRules (settings_dialog.h), over the view it gives
// them here.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "forms/form.h"
#include "settings_dialog.h"
#include "win32_command.h"
#include "win32_dialog_parts.h"

class SettingsDialog : public forms::Form, private SettingsDialogView {
public:
    SettingsDialog(MusicSettings& music, ProfileStore& profile, ProgramServices& services);
    ~SettingsDialog() override;

    // The controls, in tab order after the panel (which takes no focus).
    settings_ui::Panel panel;
    settings_ui::TrackBox trackBox;
    Command fileButton;
    Command saveButton;
    Command cancelButton;

    // What the dialog shows now (for the tests).
    bool OptionMarked(int index) const { return panel.Marked(index); }
    const std::string& FileCaption() const { return panel.FileCaption(); }

protected:
    void OnLoad() override;
    void OnUnload() override;
    void OnResize() override;
    void OnDpiChanged() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void PlaceParts();
    bool OverAddress(POINT client) const;
    // The panel is drawn anew on each change, but once only while loading.
    void PanelChanged();

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
    bool shownOnce_ = false;
    bool loading_ = false;  // the panel is composed once, after OnLoad
    bool addressPressed_ = false;
    HCURSOR handCursor_ = nullptr;
    HICON icon_ = nullptr, smallIcon_ = nullptr;
};
