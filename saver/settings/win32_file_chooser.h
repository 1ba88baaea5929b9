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
// when cancelled or failed, or when the chosen path cannot be written in the
// ANSI code page. Its buffer holds paths far longer than the settings keep,
// so that a path too long to keep comes back and is refused with a word
// rather than failing the chooser without one.
std::optional<std::string> ChooseMusicFile(HWND owner, const std::string& folder);

// The record handed to the chooser (exposed for the tests). Its buffers are
// owned by the caller and must outlive the call.
constexpr DWORD kChooserPathCapacity = 1024;   // characters with the closing NUL
constexpr DWORD kChooserTitleCapacity = MAX_PATH;
struct ChooserBuffers {
    wchar_t file[kChooserPathCapacity] = {};
    wchar_t fileTitle[kChooserTitleCapacity] = {};
    std::wstring folder;
};
OPENFILENAMEW ChooserRecord(HWND owner, ChooserBuffers& buffers);
extern const wchar_t kChooserTitle[];   // "ﾌｧｲﾙを開く"
extern const wchar_t kChooserFilter[];  // "BGMﾌｧｲﾙ (MP3 WAV)" NUL "*.MP3;*.WAV" NUL NUL
