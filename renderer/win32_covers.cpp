#include "win32_covers.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

static constexpr const char* kCoverClass = "QuorvellantoCover";

static HINSTANCE coverInstance = nullptr;
static HWND coverInputOwner = nullptr;

struct Cover {
    HWND window;
    MonitorRect rect;
};
static std::vector<Cover> covers;
static std::vector<MonitorRect> lastMonitors;  // as the last check or update found them
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

static LRESULT CALLBACK CoverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
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
        SendMessageA(coverInputOwner, message, wParam, lParam);
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

static void CALLBACK CheckMonitors(HWND, UINT, UINT_PTR, DWORD)
{
    if (SameMonitors(ListMonitors(), lastMonitors)) return;
    HDC screen = GetDC(nullptr);
    const int bitsPerPixel = screen != nullptr ? GetDeviceCaps(screen, BITSPIXEL) : 32;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    SendMessageA(coverInputOwner, WM_DISPLAYCHANGE, static_cast<WPARAM>(bitsPerPixel),
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
}

bool StartCovers(HINSTANCE instance, HWND inputOwner)
{
    coverInstance = instance;
    coverInputOwner = inputOwner;
    WNDCLASSA coverClass = {};
    coverClass.lpfnWndProc = CoverWndProc;
    coverClass.hInstance = instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = kCoverClass;
    if (RegisterClassA(&coverClass) == 0) return false;
    SetTimer(nullptr, 0, kCheckMilliseconds, CheckMonitors);
    return true;
}

static HWND CreateCover(const MonitorRect& rect)
{
    // No title, a tool window (not in the taskbar or Alt+Tab), above other
    // windows, and not taking the focus from the renderer's window.
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, "", WS_POPUP,
                                  rect.x, rect.y, rect.width, rect.height, nullptr, nullptr, coverInstance, nullptr);
    if (window != nullptr) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void UpdateCovers()
{
    if (coverInstance == nullptr) return;
    std::vector<MonitorRect> current;
    for (const Cover& cover : covers) current.push_back(cover.rect);
    lastMonitors = ListMonitors();
    const CoverChanges changes = PlanCoverChanges(current, CoverRects(lastMonitors));
    for (auto it = changes.remove.rbegin(); it != changes.remove.rend(); ++it) {
        DestroyWindow(covers[*it].window);
        covers.erase(covers.begin() + static_cast<std::ptrdiff_t>(*it));
    }
    for (const MonitorRect& rect : changes.add) {
        if (HWND window = CreateCover(rect)) covers.push_back({window, rect});
    }
}
