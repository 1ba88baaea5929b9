// The settings dialog's rules: what loading, choosing the music kind, choosing
// a file, saving, cancelling, closing and the address label do, over a small
// view of the dialog's controls and the platform calls it makes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "profile_store.h"
#include "program_services.h"
#include "screen_point.h"
#include "settings_file.h"

// The address the URL label shows and opens.
extern const char* const kMakerAddress;
// Entries of the track box: "" and "1" to "30".
constexpr int kTrackEntries = 31;

enum class DialogPointer { Default, Hourglass };

// What the rules need of the dialog's window, its controls and the platform.
class SettingsDialogView {
public:
    virtual ~SettingsDialogView() = default;
    // Sizes in twips.
    virtual int ScreenWidthTwips() const = 0;
    virtual int ScreenHeightTwips() const = 0;
    virtual int DialogWidthTwips() const = 0;
    virtual int DialogHeightTwips() const = 0;
    virtual void MoveDialog(int leftTwips, int topTwips) = 0;
    // Calls Initialize on every Command button of the dialog.
    virtual void InitCommandButtons() = 0;
    virtual void SetTrackBoxEnabled(bool enabled) = 0;
    virtual void SetFileButtonEnabled(bool enabled) = 0;
    virtual void SetOptionMark(int index, bool on) = 0;
    virtual void SetTrackText(const std::string& text) = 0;
    virtual std::string TrackText() const = 0;
    virtual void AddTrackEntry(const std::string& text) = 0;
    virtual void SetFileCaption(const std::string& path) = 0;
    virtual std::optional<ScreenPoint> CursorPosition() const = 0;
    // Zoom between the cursor's point and the dialog's window rectangle.
    virtual void AnimateOpen(ScreenPoint from) = 0;
    virtual void AnimateClose(ScreenPoint to) = 0;
    virtual void SetPointer(DialogPointer pointer) = 0;
    // The file chooser opened in `folder`: the chosen path in the system's
    // ANSI code page, or nothing when cancelled, failed, or when the path
    // cannot be written in that code page.
    virtual std::optional<std::string> ChooseMusicFile(const std::string& folder) = 0;
    // Tells the user that the chosen file cannot be kept: its path is longer
    // than `longest` bytes in the system's code page.
    virtual void RefuseMusicFile(const std::string& path, std::size_t longest) = 0;
    // Opens the address with the shell; the result is not looked at.
    virtual void OpenAddress(const std::string& address) = 0;
    // Closes the dialog; OnUnload follows.
    virtual void CloseDialog() = 0;
};

// The track text as the saved track number: a numeric text rounded half to
// even; letters, an empty box and numbers beyond the 16-bit range give 0.
std::int16_t TrackNumberOf(const std::string& text);

// Where the dialog goes: centred across, a third of the free height down;
// never above or left of the screen.
ScreenPoint DialogPlacement(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight);

class SettingsDialogRules {
public:
    // The dialog shows and changes `music`, and saves it when asked to.
    SettingsDialogRules(SettingsDialogView& view, MusicSettings& music, ProfileStore& profile,
                        ProgramServices& services);

    void OnLoad();
    // A mouse button (any) went down on option mark or label `index`.
    void OnOptionMouseDown(int index);
    void OnFileButtonClick();
    void OnSaveClick();
    void OnCancelClick();
    void OnAddressClick();
    void OnUnload();

private:
    void ShowKind(int kind);

    SettingsDialogView& view_;
    MusicSettings& music_;
    ProfileStore& profile_;
    ProgramServices& services_;
    // Where the cursor stood when the dialog loaded (the corner when it could
    // not be told): the dialog zooms out of it and back into it.
    ScreenPoint cursorAtLoad_{0, 0};
};
