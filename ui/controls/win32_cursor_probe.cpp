#include "win32_cursor_probe.h"

#include <type_traits>

namespace {

using GetCursorPosFunction = BOOL(WINAPI*)(LPPOINT);
using WindowFromPointFunction = HWND(WINAPI*)(POINT);
// Bound by name, so the compiler checks nothing at the call: the types must
// be the system's own, calling convention included (it matters on 32-bit).
static_assert(std::is_same_v<GetCursorPosFunction, decltype(&::GetCursorPos)>);
static_assert(std::is_same_v<WindowFromPointFunction, decltype(&::WindowFromPoint)>);

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
