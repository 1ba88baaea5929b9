// Windows-side helper of the end-to-end tests and benchmarks: reaches the
// shipped programs' windows from another process, as the system would.
//   qvtool find <title>                 exit 0 when a window with that title exists
//   qvtool post <title> <msg> <wParam> <lParam>   posts a message to it
//   qvtool close <title>                posts WM_CLOSE
//   qvtool startfind <program> <title> <runs>     times CreateProcess until FindWindow sees the title
//   qvtool host <x> <y> <width> <height> [title]   a window titled "QV Preview Host" (or the title); prints its handle
//   qvtool startpreview <program> <runs>           times "<program> /p <host>" until its child window shows in a
//                                                  new host (152x112); then closes the host and waits for the end
//   qvtool children <title>             prints each child window: its title and size
//   qvtool findw <hex UTF-8 title>      exit 0 when a window with that (Unicode) title exists
//   qvtool textmask <hex UTF-8 text> <underline 0|1>
//                                       prints the ink of the text in the settings dialog's font
//                                       ("mask W H", then H rows of '#' and '.')
//   qvtool lock <path> <ms>             holds the file open, shared with no one, for that long;
//                                       prints "locked" once it holds it
//   qvtool monitors                     prints each monitor: "monitor X Y W H" and " primary" for the primary,
//                                       then "cursor X Y"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

static unsigned long Number(const char* text)
{
    return std::strtoul(text, nullptr, 0);
}

static int Post(const char* title, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = FindWindowA(nullptr, title);
    if (window == nullptr) return 2;
    return PostMessageA(window, message, wParam, lParam) ? 0 : 3;
}

static double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts `commandLine` and polls `found` (handling this thread's messages
// between polls) for at most 20 s. The milliseconds from the start to a
// window found, or a negative number; the process in `info` either way
// (none when it could not be started).
static double TimedStart(const char* program, std::string commandLine, const std::function<HWND()>& found,
                         PROCESS_INFORMATION& info, HWND& window)
{
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    info = {};
    window = nullptr;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("cannot start %s\n", program);
        return -1;
    }
    for (double elapsed = 0; elapsed < 20000;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        window = found();
        QueryPerformanceCounter(&now);
        elapsed = Milliseconds(start, now, frequency);
        if (window != nullptr) return elapsed;
        Sleep(1);
    }
    return -1;
}

// Waits for the process to end (20 s at most, then ends it) and lets it go.
static bool Ended(PROCESS_INFORMATION& info)
{
    if (info.hProcess == nullptr) return false;
    const bool ended = WaitForSingleObject(info.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ended;
}

// Starts the program `runs` times; each time waits for the title, then closes
// that window and waits for the process to end. Prints one line per run.
static int StartFind(const char* program, const char* title, int runs)
{
    for (int run = 0; run < runs; ++run) {
        PROCESS_INFORMATION info;
        HWND window;
        const double elapsed = TimedStart(program, program, [&] { return FindWindowA(nullptr, title); }, info, window);
        if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
        Ended(info);
        if (elapsed < 0) {
            std::printf("run %d: no window\n", run + 1);
            return 1;
        }
        std::printf("startfind %.1f\n", elapsed);
        std::fflush(stdout);
    }
    return 0;
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window like the display settings' preview area: white, titled "QV
// Preview Host"; its thread's message loop ends when it goes.
static HWND MakeHostWindow(int x, int y, int width, int height, const char* title = "QV Preview Host")
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "QvPreviewHost";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowExA(0, "QvPreviewHost", title, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The host in a process of its own: prints its handle, runs until closed.
// Another title makes it stand in for another program's window.
static int Host(int x, int y, int width, int height, const char* title)
{
    HWND window = MakeHostWindow(x, y, width, height, title);
    if (window == nullptr) return 1;
    std::printf("hwnd %lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

// Each run: a new host, the program started with "/p <host>", timed until a
// visible child window appears in the host; then the host goes (as the
// display settings close it) and the program must end within 20 s.
static int StartPreview(const char* program, int runs)
{
    for (int run = 0; run < runs; ++run) {
        HWND host = MakeHostWindow(200, 150, 152, 112);
        if (host == nullptr) return 1;
        const std::string commandLine = std::string("\"") + program + "\" /p " +
                                        std::to_string(static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(host)));
        auto shownChild = [host]() -> HWND {
            HWND child = FindWindowExA(host, nullptr, nullptr, nullptr);
            return child != nullptr && IsWindowVisible(child) ? child : nullptr;
        };
        PROCESS_INFORMATION info;
        HWND child;
        const double elapsed = TimedStart(program, commandLine, shownChild, info, child);
        DestroyWindow(host);
        const bool ended = Ended(info);
        if (elapsed < 0 || !ended) {
            std::printf("run %d: %s\n", run + 1, elapsed < 0 ? "no preview window" : "did not end with its host");
            return 1;
        }
        std::printf("startpreview %.1f\n", elapsed);
        std::fflush(stdout);
    }
    return 0;
}

static BOOL CALLBACK PrintChild(HWND child, LPARAM)
{
    char title[256] = {};
    GetWindowTextA(child, title, sizeof title);
    RECT rect = {};
    GetWindowRect(child, &rect);
    std::printf("child \"%s\" %ldx%ld visible %d\n", title, rect.right - rect.left, rect.bottom - rect.top,
                IsWindowVisible(child) ? 1 : 0);
    return TRUE;
}

static int Children(const char* title)
{
    HWND window = FindWindowA(nullptr, title);
    if (window == nullptr) return 2;
    EnumChildWindows(window, PrintChild, 0);
    std::fflush(stdout);
    return 0;
}

// Text given as hexadecimal UTF-8 (the command line would pass it through the ANSI code page).
static std::wstring FromHexUtf8(const char* hex)
{
    std::string bytes;
    for (const char* p = hex; p[0] != '\0' && p[1] != '\0'; p += 2) {
        const char pair[3] = {p[0], p[1], '\0'};
        bytes += static_cast<char>(std::strtoul(pair, nullptr, 16));
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

static int TextMask(const std::wstring& text, bool underline)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HFONT font = CreateFontW(-MulDiv(975, dpi, 7200), 0, 0, 0, 400, FALSE, underline, FALSE, 128, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             L"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return 1;
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT box = {0, 0, size.cx, size.cy};
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    GdiFlush();
    std::printf("mask %ld %ld\n", size.cx, size.cy);
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < size.cy; ++y) {
        std::string row;
        for (int x = 0; x < size.cx; ++x) {
            const unsigned char* p = pixels + (static_cast<size_t>(y) * size.cx + x) * 4;
            row += (p[0] + p[1] + p[2]) < 3 * 128 ? '#' : '.';
        }
        std::printf("%s\n", row.c_str());
    }
    std::fflush(stdout);
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    return 0;
}

// Another program holding the file: every open of it by others fails with a
// sharing violation meanwhile, whoever runs them (root included).
static int Lock(const char* path, DWORD ms)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    std::printf("locked\n");
    std::fflush(stdout);
    Sleep(ms);
    CloseHandle(file);
    return 0;
}

static BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    std::printf("monitor %ld %ld %ld %ld%s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? " primary" : "");
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "monitors") {
        const BOOL listed = EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
        POINT cursor = {};
        GetCursorPos(&cursor);
        std::printf("cursor %ld %ld\n", cursor.x, cursor.y);
        std::fflush(stdout);
        return listed ? 0 : 1;
    }
    // As a renderer that says nothing of its windows (started in its place,
    // with an unquoted path for its command line): stays up QVTOOL_LINGER_MS.
    if (const char* linger = std::getenv("QVTOOL_LINGER_MS")) {
        Sleep(std::atoi(linger));
        return 64;
    }
    if (argc < 3) return 64;
    const std::string verb = argv[1];
    if (verb == "find") return FindWindowA(nullptr, argv[2]) != nullptr ? 0 : 1;
    if (verb == "close") return Post(argv[2], WM_CLOSE, 0, 0);
    if (verb == "post" && argc >= 6) return Post(argv[2], Number(argv[3]), Number(argv[4]), Number(argv[5]));
    if (verb == "startfind" && argc >= 5) return StartFind(argv[2], argv[3], std::atoi(argv[4]));
    if (verb == "host" && argc >= 6)
        return Host(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                    argc >= 7 ? argv[6] : "QV Preview Host");
    if (verb == "startpreview" && argc >= 4) return StartPreview(argv[2], std::atoi(argv[3]));
    if (verb == "children") return Children(argv[2]);
    if (verb == "findw") return FindWindowW(nullptr, FromHexUtf8(argv[2]).c_str()) != nullptr ? 0 : 1;
    if (verb == "textmask" && argc >= 4) return TextMask(FromHexUtf8(argv[2]), std::atoi(argv[3]) != 0);
    if (verb == "lock" && argc >= 4) return Lock(argv[2], Number(argv[3]));
    return 64;
}
