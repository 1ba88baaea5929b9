#include "application.h"

#include "form.h"
#include "scale.h"

namespace forms {

namespace {
int loadedForms = 0;
MousePointer programPointer = MousePointer::Default;

int layoutDpi = 0;  // 0 until first asked: the system's

int TwipsPerPixel(int axis)
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, axis) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? 1440 / dpi : 15;
}
}  // namespace

int RunMessageLoop()
{
    if (loadedForms == 0) return 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Form::HandleTabKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

void DoEvents()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Kept for the message loop when it ends the program; a request
            // left over from forms that have gone while others are loaded now
            // is dropped (it would hold back every timer and repaint).
            if (loadedForms > 0) continue;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (Form::HandleTabKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void EndProgram()
{
    ExitProcess(0);
}

void FormLoaded() { ++loadedForms; }

void FormUnloaded()
{
    if (--loadedForms == 0) PostQuitMessage(0);
}

int LoadedFormCount() { return loadedForms; }

int TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }
int TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }
int LayoutDpi()
{
    if (layoutDpi == 0) {
        HDC screen = GetDC(nullptr);
        const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        layoutDpi = dpi > 0 ? dpi : kDesignDpi;
    }
    return layoutDpi;
}

void SetLayoutDpi(int dpi)
{
    if (dpi > 0) layoutDpi = dpi;
}

int ToPixels(int twips) { return TwipsToPixels(twips, LayoutDpi()); }
int ToTwips(int pixels) { return PixelsToTwips(pixels, LayoutDpi()); }
int ScreenWidthTwips() { return ToTwips(GetSystemMetrics(SM_CXSCREEN)); }
int ScreenHeightTwips() { return ToTwips(GetSystemMetrics(SM_CYSCREEN)); }

void SetMousePointer(MousePointer pointer)
{
    programPointer = pointer;
    if (HCURSOR cursor = MousePointerCursor()) SetCursor(cursor);
}

MousePointer CurrentMousePointer() { return programPointer; }

HCURSOR MousePointerCursor()
{
    switch (programPointer) {
    case MousePointer::Arrow:
        return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    case MousePointer::Hourglass:
        return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    case MousePointer::Hand:
        return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
    case MousePointer::Default:
    default:
        return nullptr;
    }
}

LRESULT SetCursorMessage(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (HCURSOR cursor = MousePointerCursor()) {
        SetCursor(cursor);
        return TRUE;
    }
    return DefWindowProcW(window, WM_SETCURSOR, wParam, lParam);
}

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

}  // namespace forms
