// The program around the forms: the message loop, which lasts while any form
// is loaded, and the screen's measures.
#pragma once
#include <windows.h>

#include <string>

namespace forms {

// Runs the user-interface thread's messages until the last loaded form has
// unloaded. Returns at once when no form is loaded.
int RunMessageLoop();

// Ends the process at once: no further form procedure runs.
[[noreturn]] void EndProgram();

// Called by the forms as they load and unload.
void FormLoaded();
void FormUnloaded();
int LoadedFormCount();

// Twips per pixel of the screen (1440 per inch; 15 at 96 dots per inch).
int TwipsPerPixelX();
int TwipsPerPixelY();

std::wstring Widen(const std::string& utf8);

}  // namespace forms
