// Start-up decisions of the screen-saver program: the argument text, the
// mode letter, and the preview's host handle and size.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Window titles that mark a running instance (the renderer's own is in
// renderer_contract.h).
extern const char* const kRunFormCaption;        // "Quorvellanto_Main"
extern const char* const kSettingsDialogCaption; // "<Quorvellanto>"

// The command line without the program's own name (quoted or not) and the
// blanks after it.
std::string ArgumentTextOf(const std::string& commandLine);

// The character at position 2, upper-cased; empty for a shorter text.
std::string ModeLetter(const std::string& argumentText);

enum class StartupMode {
    Preview,      // "P"
    Settings,     // "C"
    RunHidden,    // "S": cursor hidden
    RunVisible,   // empty argument text: cursor stays visible
    End,          // any other letter, or one character
};
StartupMode ModeOf(const std::string& argumentText);

// The host window handle: the number at the start of the text from position 4
// on, rounded to 32 bits; 0 when there is none or it does not fit.
std::int32_t PreviewHostHandle(const std::string& argumentText);

// One side of the preview in twips, for a host side in pixels at `dpi` dots
// per inch, as a 16-bit integer; nothing when it does not fit (the side then
// stays 0).
std::optional<std::int16_t> PreviewSideTwips(int dpi, std::int64_t pixels);
