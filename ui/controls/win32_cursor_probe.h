// The window under the cursor, through user32's GetCursorPos and
// WindowFromPoint bound by name at first use.
#pragma once
#include <windows.h>

#include <optional>

std::optional<HWND> WindowUnderCursor();
