// The music file chooser: the common dialog given its Japanese title and
// filter in Unicode (they read correctly on any system), its answer handed
// back in the system's ANSI code page, as the settings file and the music
// player take paths.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The text in the ANSI code page, or nothing when a character has no exact
// form there (no best-fit look-alikes, no question marks).
std::optional<std::string> ToAnsiExactly(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

// The chooser as the settings record sets it up, opened in `folder`. Nothing
// when cancelled or failed (a path longer than its 255-character buffer
// too), or when the chosen path cannot be written in the ANSI code page.
std::optional<std::string> ChooseMusicFile(HWND owner, const std::string& folder);

// The record handed to the chooser (exposed for the tests). Its buffers are
// owned by the caller and must outlive the call.
struct ChooserBuffers {
    wchar_t file[255] = {};
    wchar_t fileTitle[255] = {};
    std::wstring folder;
};
OPENFILENAMEW ChooserRecord(HWND owner, ChooserBuffers& buffers);
extern const wchar_t kChooserTitle[];   // "ﾌｧｲﾙを開く"
extern const wchar_t kChooserFilter[];  // "BGMﾌｧｲﾙ (MP3 WAV)" NUL "*.MP3;*.WAV" NUL NUL
