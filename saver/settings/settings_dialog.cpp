#include "settings_dialog.h"

#include <algorithm>

#include "conversions.h"
#include "settings_file.h"

std::int16_t CursorX = 0;
std::int16_t CursorY = 0;

const char* const kMakerAddress = "https://quorvellanto.example/";

namespace {
constexpr int kOptionCount = 3;
}

std::int16_t TrackNumberOf(const std::string& text)
{
    if (!conv::IsNumeric(text)) return 0;
    const auto number = conv::ParseNumber(text);
    if (!number) return 0;
    return conv::RoundToInt16(*number).value_or(0);
}

ScreenPoint DialogPlacement(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight)
{
    // Never above or left of the screen: a dialog larger than the screen keeps
    // its title bar (to move it by) and its left edge on it.
    return {std::max(0, (screenWidth - dialogWidth) / 2), std::max(0, (screenHeight - dialogHeight) / 3)};
}

SettingsDialogRules::SettingsDialogRules(SettingsDialogView& view, ProfileStore& profile, ProgramServices& services)
    : view_(view), profile_(profile), services_(services)
{
}

void SettingsDialogRules::ShowKind(int kind)
{
    for (int i = 0; i < kOptionCount; ++i) view_.SetOptionMark(i, false);
    if (kind >= 0 && kind < kOptionCount) view_.SetOptionMark(kind, true);
}

void SettingsDialogRules::Form_Load()
{
    const ScreenPoint place = DialogPlacement(view_.ScreenWidthTwips(), view_.ScreenHeightTwips(),
                                              view_.DialogWidthTwips(), view_.DialogHeightTwips());
    view_.MoveDialog(place.x, place.y);
    view_.InitCommandButtons();
    view_.SetTrackBoxEnabled(false);
    ShowKind(BgmKind);
    if (BgmKind == BGM_CD) view_.SetTrackBoxEnabled(true);
    view_.SetFileButtonEnabled(BgmKind == BGM_FILE);
    view_.SetTrackText(conv::FormatDigits(BgmRepeat));
    for (int track = 0; track < kTrackEntries; ++track) view_.AddTrackEntry(conv::FormatDigits(track));
    view_.SetFileCaption(BgmFile);
    CursorX = CursorY = 0;
    if (const auto cursor = view_.CursorPosition()) {
        const auto x = conv::RoundToInt16(cursor->x), y = conv::RoundToInt16(cursor->y);
        if (x && y) {
            CursorX = *x;
            CursorY = *y;
        }
    }
    view_.AnimateOpen({CursorX, CursorY});
    view_.SetPointer(DialogPointer::Default);
}

void SettingsDialogRules::Option_MouseDown(int index)
{
    if (index < 0 || index >= kOptionCount) return;
    BgmKind = static_cast<std::int16_t>(index);
    view_.SetFileButtonEnabled(false);
    view_.SetTrackBoxEnabled(false);
    ShowKind(index);
    if (index == BGM_CD) view_.SetTrackBoxEnabled(true);
    if (index == BGM_FILE) view_.SetFileButtonEnabled(true);
}

void SettingsDialogRules::FileButton_Click()
{
    const auto chosen = view_.ChooseMusicFile(BgmFolder);
    if (!chosen) return;
    // A path that could not be loaded again is refused now, with a word,
    // rather than saved and silently forgotten at the next start.
    if (chosen->size() > kLongestMusicPath) {
        view_.RefuseMusicFile(*chosen, kLongestMusicPath);
        return;
    }
    BgmFile = *chosen;
    view_.SetFileCaption(BgmFile);
    BgmFolder = FolderOf(BgmFile, services_);
}

// The three keys go out in the order kind, track, file; when the program's
// folder refuses the write they go to the user's own copy instead.
void SettingsDialogRules::SaveButton_Click()
{
    BgmRepeat = TrackNumberOf(view_.TrackText());
    SaveSettings(profile_, services_);
    view_.CloseDialog();
}

void SettingsDialogRules::CancelButton_Click()
{
    view_.CloseDialog();
}

void SettingsDialogRules::AddressLabel_Click()
{
    view_.SetPointer(DialogPointer::Hourglass);
    view_.OpenAddress(kMakerAddress);
    view_.SetPointer(DialogPointer::Default);
}

void SettingsDialogRules::Form_Unload()
{
    view_.AnimateClose({CursorX, CursorY});
}
