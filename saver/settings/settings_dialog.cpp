#include "settings_dialog.h"

#include <algorithm>

#include "conversions.h"

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

SettingsDialogRules::SettingsDialogRules(SettingsDialogView& view, MusicSettings& music, ProfileStore& profile,
                                         ProgramServices& services)
    : view_(view), music_(music), profile_(profile), services_(services)
{
}

void SettingsDialogRules::ShowKind(int kind)
{
    for (int i = 0; i < kOptionCount; ++i) view_.SetOptionMark(i, false);
    if (kind >= 0 && kind < kOptionCount) view_.SetOptionMark(kind, true);
}

void SettingsDialogRules::OnLoad()
{
    const ScreenPoint place = DialogPlacement(view_.ScreenWidthTwips(), view_.ScreenHeightTwips(),
                                              view_.DialogWidthTwips(), view_.DialogHeightTwips());
    view_.MoveDialog(place.x, place.y);
    view_.InitCommandButtons();
    view_.SetTrackBoxEnabled(false);
    ShowKind(music_.kind);
    if (music_.kind == BGM_CD) view_.SetTrackBoxEnabled(true);
    view_.SetFileButtonEnabled(music_.kind == BGM_FILE);
    view_.SetTrackText(conv::FormatDigits(music_.repeatTrack));
    for (int track = 0; track < kTrackEntries; ++track) view_.AddTrackEntry(conv::FormatDigits(track));
    view_.SetFileCaption(music_.file);
    cursorAtLoad_ = {0, 0};
    if (const auto cursor = view_.CursorPosition()) {
        const auto x = conv::RoundToInt16(cursor->x), y = conv::RoundToInt16(cursor->y);
        if (x && y) cursorAtLoad_ = {*x, *y};
    }
    view_.AnimateOpen(cursorAtLoad_);
    view_.SetPointer(DialogPointer::Default);
}

void SettingsDialogRules::OnOptionMouseDown(int index)
{
    if (index < 0 || index >= kOptionCount) return;
    music_.kind = static_cast<std::int16_t>(index);
    view_.SetFileButtonEnabled(false);
    view_.SetTrackBoxEnabled(false);
    ShowKind(index);
    if (index == BGM_CD) view_.SetTrackBoxEnabled(true);
    if (index == BGM_FILE) view_.SetFileButtonEnabled(true);
}

void SettingsDialogRules::OnFileButtonClick()
{
    const auto chosen = view_.ChooseMusicFile(music_.folder);
    if (!chosen) return;
    // A path that could not be loaded again is refused now, with a word,
    // rather than saved and silently forgotten at the next start.
    if (chosen->size() > kLongestMusicPath) {
        view_.RefuseMusicFile(*chosen, kLongestMusicPath);
        return;
    }
    music_.file = *chosen;
    view_.SetFileCaption(music_.file);
    music_.folder = FolderOf(music_.file, services_);
}

// The three keys go out in the order kind, track, file; when the program's
// folder refuses the write they go to the user's own copy instead.
void SettingsDialogRules::OnSaveClick()
{
    music_.repeatTrack = TrackNumberOf(view_.TrackText());
    SaveSettings(music_, profile_, services_);
    view_.CloseDialog();
}

void SettingsDialogRules::OnCancelClick()
{
    view_.CloseDialog();
}

void SettingsDialogRules::OnAddressClick()
{
    view_.SetPointer(DialogPointer::Hourglass);
    view_.OpenAddress(kMakerAddress);
    view_.SetPointer(DialogPointer::Default);
}

void SettingsDialogRules::OnUnload()
{
    view_.AnimateClose(cursorAtLoad_);
}
