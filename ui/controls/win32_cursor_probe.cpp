#include "win32_cursor_probe.h"

std::optional<HWND> WindowUnderCursor()
{
    POINT cursor;
    if (!GetCursorPos(&cursor)) return std::nullopt;
    return WindowFromPoint(cursor);
}
