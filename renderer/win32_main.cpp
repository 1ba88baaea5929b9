// The renderer program on Win32: window class, full-screen popup, WGL context,
// the polling message loop and the input rules that end it; black covers on
// the other monitors.
#include "gl_includes.h"
#include "extension_list.h"
#include "input_rules.h"
#include "ring_rules.h"
#include "scene.h"
#include "win32_covers.h"
#include "win32_opengl.h"
#include "win32_system_library.h"
#include "windows_up_signal.h"

#include <cstring>

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel format record has one size on every Windows");

static HDC windowDC = nullptr;
static HGLRC glContext = nullptr;
static int isActive = 0;

// The window as other programs see it: its class name, and the title the
// saver watches for.
static const char* const kWindowClass = "MyClass";
static const char* const kWindowTitle = "Quorvellanto_VC";
// A borderless popup. The low bit 8 is a class-defined style bit, which means
// nothing to this class; it is kept so the window's style reads as it always has.
static constexpr DWORD kWindowStyle = WS_POPUP | 0x8;

void PresentFrame()
{
    SwapBuffers(windowDC);
}

static void SetupPixelFormat()
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 16;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(windowDC, &pfd);
    // A failed choice is caught by the context creation that follows.
    if (format != 0) SetPixelFormat(windowDC, format, &pfd);
}

// One degree per displayed frame: ask the driver to sync swaps to the display
// where it lets us choose (it is WGL's default, but drivers may override it).
static void RequestSwapInterval()
{
    using GetExtensionsEXT = const char*(WINAPI*)();
    using SwapIntervalEXT = BOOL(WINAPI*)(int);
    auto getExtensions = reinterpret_cast<GetExtensionsEXT>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")));
    const char* extensions = getExtensions != nullptr
        ? getExtensions()
        : reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!HasExtension(extensions, "WGL_EXT_swap_control")) return;
    auto swapInterval = reinterpret_cast<SwapIntervalEXT>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (swapInterval != nullptr) swapInterval(1);
}

// Returns false when the window cannot get a current OpenGL context: the
// creation is then refused and the program ends.
static bool CreateContext(HWND window)
{
    windowDC = GetDC(window);
    if (windowDC == nullptr) return false;
    SetupPixelFormat();
    glContext = wglCreateContext(windowDC);
    if (glContext == nullptr) return false;
    if (!wglMakeCurrent(windowDC, glContext)) return false;
    RequestSwapInterval();
    return true;
}

static void ReleaseContext(HWND window)
{
    wglMakeCurrent(windowDC, nullptr);
    wglDeleteContext(glContext);
    ReleaseDC(window, windowDC);
}

// After a change of the displays the window keeps the primary display's
// size, and every other monitor is covered again.
static void FollowDisplays(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateCovers();
}

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateContext(window) ? 1 : -1;
    case WM_DESTROY:
        isActive = 0;
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        ResizeScene(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETCURSOR:
        if (isActive == 1) return reinterpret_cast<LRESULT>(SetCursor(nullptr));
        return reinterpret_cast<LRESULT>(SetCursor(LoadCursorA(nullptr, IDC_ARROW)));
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (isActive == 1) {
            ReleaseContext(window);
            isActive = 0;
            PostQuitMessage(0);
        }
        return 0;
    case WM_DISPLAYCHANGE:
        FollowDisplays(window);
        return 0;
    case WM_SYSCOMMAND:
        // Close, screen-saver activation, monitor power and every other system
        // command are dropped: only the user's input ends the animation.
        return 0;
    case WM_MOUSEMOVE:
        if (isActive == 1) {
            POINT cursor = {};
            GetCursorPos(&cursor);
            if (MouseMoveEndsRun({cursor.x, cursor.y})) PostQuitMessage(0);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int RunMessageLoop()
{
    std::int32_t frameAngle = 0;
    MSG msg = {};
    bool done = false;
    while (!done) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                done = true;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        } else {
            DrawFrame(static_cast<float>(frameAngle));
            frameAngle = NextFrameAngle(frameAngle);
        }
    }
    return static_cast<int>(msg.wParam);
}

// The event stays set, and open, until the process ends.
static void AnnounceWindowsUp()
{
    HANDLE up = CreateEventA(nullptr, TRUE, FALSE, WindowsUpEventName(GetCurrentProcessId()).c_str());
    if (up != nullptr) SetEvent(up);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    RestrictLibrarySearch();
    // No OpenGL from the system folder: nothing could draw.
    if (!LoadOpenGl()) return 0;
    if (previous == nullptr) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = RendererWndProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kWindowClass;
        if (RegisterClassA(&windowClass) == 0) return 0;
    }
    HWND window = nullptr;
    if (isActive == 0) {
        isActive = 1;
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, kWindowStyle, 0, 0, width, height,
                                 nullptr, nullptr, instance, nullptr);
    }
    // Without a window and a current context nothing could draw or end the run.
    if (window == nullptr) return 0;
    ShowWindow(window, showCommand);
    InitScene();
    mouseMoveCount = 1;
    if (StartCovers(instance, window)) UpdateCovers();
    AnnounceWindowsUp();
    return RunMessageLoop();
}
