// The window under the cursor (user32's GetCursorPos and WindowFromPoint).
#pragma once
#include <windows.h>

#include <optional>

std::optional<HWND> WindowUnderCursor();
