// The program around the forms: the message loop, which lasts while any form
// is loaded, and the screen's measures.
#pragma once
#include <windows.h>

#include <string>

namespace forms {

// Runs the user-interface thread's messages until the last loaded form has
// unloaded. Returns at once when no form is loaded.
int RunMessageLoop();
// Handles every message waiting now (Tab keys included) and returns.
void DoEvents();

// Ends the process at once: no further form procedure runs.
[[noreturn]] void EndProgram();

// Called by the forms as they load and unload.
void FormLoaded();
void FormUnloaded();
int LoadedFormCount();

// Twips per pixel of the screen (1440 per inch; 15 at 96 dots per inch), as
// a whole number.
int TwipsPerPixelX();
int TwipsPerPixelY();
// The dots per inch the forms are laid out at: the system's at first, then
// whatever a form moved to a monitor of another scale was told (SetLayoutDpi).
int LayoutDpi();
void SetLayoutDpi(int dpi);
// Twips and pixels at the layout's scale (see scale.h for the rounding).
int ToPixels(int twips);
int ToTwips(int pixels);
// Size of the primary screen in twips.
int ScreenWidthTwips();
int ScreenHeightTwips();

// The program-wide mouse pointer: over every form of the program it replaces
// each form's own cursor while it is not Default.
enum class MousePointer { Default, Arrow, Hourglass, Hand };
void SetMousePointer(MousePointer pointer);
MousePointer CurrentMousePointer();
// The cursor the program-wide pointer stands for; none for Default.
HCURSOR MousePointerCursor();
// WM_SETCURSOR for a window of the forms: the program-wide pointer's cursor
// while it is not Default, else the window's own (its class cursor).
LRESULT SetCursorMessage(HWND window, WPARAM wParam, LPARAM lParam);

std::wstring Widen(const std::string& utf8);

}  // namespace forms
