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
#include "renderer_contract.h"

#include <cstring>

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel format record has one size on every Windows");

// A borderless popup. The low bit 8 is a class-defined style bit, which means
// nothing to this class; it is kept so the window's style reads as it always has.
static constexpr DWORD kWindowStyle = WS_POPUP | 0x8;

// The renderer's one window: its OpenGL context, the scene drawn into it and
// the rules that end the run. Attached to its window at WM_NCCREATE.
class RendererWindow {
public:
    // Creates the full-screen window; nullptr when it cannot have a current
    // OpenGL context.
    HWND Create(HINSTANCE instance);
    // The scene's first frame state, the mouse watched from now on, and the
    // other monitors covered.
    void Start(HINSTANCE instance);
    // Draws whenever no message waits, until the run ends; the exit code.
    int RunMessageLoop();

    // The window whose frame PresentFrame shows: there is one per process.
    static RendererWindow* current;
    void Present() const { SwapBuffers(dc_); }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateContext();
    void ReleaseContext();
    void OnDisplayChange();
    void OnMouseMove();

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    bool active_ = false;
    Scene scene_;
    MouseRule mouse_;
    MonitorCovers covers_;
};

RendererWindow* RendererWindow::current = nullptr;

void PresentFrame()
{
    RendererWindow::current->Present();
}

static void SetupPixelFormat(HDC dc)
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 16;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &pfd);
    // A failed choice is caught by the context creation that follows.
    if (format != 0) SetPixelFormat(dc, format, &pfd);
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
bool RendererWindow::CreateContext()
{
    dc_ = GetDC(window_);
    if (dc_ == nullptr) return false;
    SetupPixelFormat(dc_);
    context_ = wglCreateContext(dc_);
    if (context_ == nullptr) return false;
    if (!wglMakeCurrent(dc_, context_)) return false;
    RequestSwapInterval();
    return true;
}

void RendererWindow::ReleaseContext()
{
    wglMakeCurrent(dc_, nullptr);
    wglDeleteContext(context_);
    ReleaseDC(window_, dc_);
}

// After a change of the displays the window keeps the primary display's
// size, and every other monitor is covered again.
void RendererWindow::OnDisplayChange()
{
    SetWindowPos(window_, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    covers_.Update();
}

void RendererWindow::OnMouseMove()
{
    if (!active_) return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (mouse_.MoveEndsRun({cursor.x, cursor.y})) PostQuitMessage(0);
}

LRESULT CALLBACK RendererWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<RendererWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RendererWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT RendererWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateContext() ? 1 : -1;
    case WM_DESTROY:
        active_ = false;
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        scene_.Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETCURSOR:
        if (active_) return reinterpret_cast<LRESULT>(SetCursor(nullptr));
        return reinterpret_cast<LRESULT>(SetCursor(LoadCursorA(nullptr, IDC_ARROW)));
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (active_) {
            ReleaseContext();
            active_ = false;
            PostQuitMessage(0);
        }
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        return 0;
    case WM_TIMER:
        if (wParam == MonitorCovers::kCheckTimer) covers_.CheckMonitors();
        return 0;
    case WM_SYSCOMMAND:
        // Close, screen-saver activation, monitor power and every other system
        // command are dropped: only the user's input ends the animation.
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove();
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

HWND RendererWindow::Create(HINSTANCE instance)
{
    active_ = true;
    current = this;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (CreateWindowExA(0, kRendererWindowClass, kRendererWindowTitle, kWindowStyle, 0, 0, width, height, nullptr, nullptr, instance,
                        this) == nullptr)
        window_ = nullptr;
    return window_;
}

void RendererWindow::Start(HINSTANCE instance)
{
    scene_.Init();
    mouse_.StartWatching();
    if (covers_.Start(instance, window_)) covers_.Update();
}

int RendererWindow::RunMessageLoop()
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
            scene_.DrawFrame(static_cast<float>(frameAngle));
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
        windowClass.lpfnWndProc = RendererWindow::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kRendererWindowClass;
        if (RegisterClassA(&windowClass) == 0) return 0;
    }
    static RendererWindow renderer;  // lives as long as its window, to the process's end
    HWND window = renderer.Create(instance);
    // Without a window and a current context nothing could draw or end the run.
    if (window == nullptr) return 0;
    ShowWindow(window, showCommand);
    renderer.Start(instance);
    AnnounceWindowsUp();
    return renderer.RunMessageLoop();
}
