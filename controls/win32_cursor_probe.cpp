#include "win32_cursor_probe.h"

namespace {

using GetCursorPosFunction = BOOL(WINAPI*)(LPPOINT);
using WindowFromPointFunction = HWND(WINAPI*)(POINT);

template <typename Function>
Function Bind(const char* name)
{
    HMODULE user32 = LoadLibraryA("user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

std::optional<HWND> WindowUnderCursor()
{
    static const auto getCursorPos = Bind<GetCursorPosFunction>("GetCursorPos");
    static const auto windowFromPoint = Bind<WindowFromPointFunction>("WindowFromPoint");
    if (getCursorPos == nullptr || windowFromPoint == nullptr) return std::nullopt;
    POINT cursor;
    if (!getCursorPos(&cursor)) return std::nullopt;
    return windowFromPoint(cursor);
}
