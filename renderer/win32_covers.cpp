#include "win32_covers.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

static constexpr const char* kCoverClass = "QuorvellantoCover";
static constexpr UINT kCheckMilliseconds = 500;

static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<MonitorRect>*>(list)->push_back(
            {r.left, r.top, r.right - r.left, r.bottom - r.top, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

std::vector<MonitorRect> ListMonitors()
{
    std::vector<MonitorRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// Each cover knows the window its input goes to: attached at WM_NCCREATE.
LRESULT CALLBACK MonitorCovers::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto owner = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    const HWND inputOwner = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
        // The owner measures moves by the cursor's screen position, so the
        // message's window-relative coordinates do not matter.
        if (inputOwner != nullptr) SendMessageA(inputOwner, message, wParam, lParam);
        return 0;
    case WM_SYSCOMMAND:
        return 0;  // as on the renderer's window: only the user's input ends the run
    case WM_DPICHANGED:
        return 0;  // sized to its monitor in physical pixels; a re-arrangement re-covers it
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static bool SameMonitors(const std::vector<MonitorRect>& a, const std::vector<MonitorRect>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] || a[i].primary != b[i].primary) return false;
    return true;
}

void MonitorCovers::CheckMonitors() const
{
    if (SameMonitors(ListMonitors(), lastMonitors_)) return;
    HDC screen = GetDC(nullptr);
    const int bitsPerPixel = screen != nullptr ? GetDeviceCaps(screen, BITSPIXEL) : 32;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    SendMessageA(inputOwner_, WM_DISPLAYCHANGE, static_cast<WPARAM>(bitsPerPixel),
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
}

bool MonitorCovers::Start(HINSTANCE instance, HWND inputOwner)
{
    instance_ = instance;
    inputOwner_ = inputOwner;
    WNDCLASSA coverClass = {};
    coverClass.lpfnWndProc = WindowProc;
    coverClass.hInstance = instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = kCoverClass;
    if (RegisterClassA(&coverClass) == 0) return false;
    SetTimer(inputOwner, kCheckTimer, kCheckMilliseconds, nullptr);
    return true;
}

HWND MonitorCovers::CreateCover(const MonitorRect& rect) const
{
    // No title, a tool window (not in the taskbar or Alt+Tab), above other
    // windows, and not taking the focus from the renderer's window.
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, "", WS_POPUP,
                                  rect.x, rect.y, rect.width, rect.height, nullptr, nullptr, instance_, inputOwner_);
    if (window != nullptr) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void MonitorCovers::Update()
{
    if (instance_ == nullptr) return;
    lastMonitors_ = ListMonitors();
    covers_.Update(
        CoverRects(lastMonitors_),
        [this](const MonitorRect& rect) {
            const HWND window = CreateCover(rect);
            return window != nullptr ? std::optional<HWND>(window) : std::nullopt;
        },
        [](HWND window) { DestroyWindow(window); });
}
