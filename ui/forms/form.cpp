#include "form.h"

#include <algorithm>

#include "application.h"
#include "child_control.h"
#include "window_owner.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace forms {

namespace {
const wchar_t* const kFormClass = L"QuorvellantoForm";

bool RegisterFormClass(WNDPROC procedure)
{
    static bool registered = false;
    if (registered) return true;
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kFormClass;
    registered = RegisterClassW(&windowClass) != 0;
    return registered;
}
}  // namespace

Form::Form(std::string caption, FormStyle style) : caption_(std::move(caption)), style_(style) {}

Form::~Form()
{
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool Form::Load()
{
    if (window_ != nullptr) return true;
    if (!RegisterFormClass(&Form::WindowProc)) return false;
    const std::wstring title = Widen(caption_);
    window_ = CreateWindowExW(style_.exStyle, kFormClass, title.c_str(), (style_.style & ~WS_VISIBLE) | WS_CLIPCHILDREN,
                              0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return false;
    FormLoaded();
    parts_.ForgetFocus();
    CreateChildWindows();
    for (FormTimer* timer : parts_.Timers()) timer->FormWindowMade();
    OnLoad();
    return true;
}

void Form::Show()
{
    if (!Load()) return;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

void Form::ShowModal()
{
    Show();
    MSG msg;
    while (Loaded()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (HandleTabKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Form::Unload(QueryUnloadReason reason)
{
    if (window_ == nullptr || unloading_) return;
    bool cancel = false;
    OnQueryUnload(cancel, reason);
    if (cancel || window_ == nullptr) return;
    unloading_ = true;
    OnUnload();
    HWND window = window_;
    Unloaded();
    DestroyWindow(window);
    unloading_ = false;
}

// The window has gone, by Unload or from outside (a parent destroyed with its children).
void Form::Unloaded()
{
    if (window_ == nullptr) return;
    for (FormTimer* timer : parts_.Timers()) timer->FormWindowGoing();
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    parts_.ForgetFocus();
    FormUnloaded();
}

void Form::Move(int left, int top, int width, int height)
{
    if (window_ == nullptr) return;
    MoveWindow(window_, ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height), TRUE);
}

void Form::SetFont(std::shared_ptr<forms::Font> font)
{
    if (font) font_ = std::move(font);
}

void Form::SaveProperties()
{
    for (ChildControl* control : parts_.TabOrder()) control->SaveProperties(properties_);
}

Form* Form::FromWindow(HWND window)
{
    if (window == nullptr) return nullptr;
    wchar_t className[64] = {};
    if (GetClassNameW(window, className, 64) == 0 || std::wstring(className) != kFormClass) return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool Form::HandleTabKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    Form* form = FromWindow(GetAncestor(msg.hwnd, GA_ROOT));
    if (form == nullptr || form->TabOrder().empty()) return false;
    form->TabFocus((GetKeyState(VK_SHIFT) & 0x8000) != 0);
    return true;
}

void Form::SetBackColour(COLORREF colour)
{
    style_.backColour = colour;
    Refresh();
}

void Form::Refresh()
{
    if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

void Form::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    PaintClient(dc);
    EndPaint(window_, &paint);
}

void Form::PaintClient(HDC dc)
{
    if (window_ == nullptr) return;
    RECT client;
    GetClientRect(window_, &client);
    HBRUSH background = CreateSolidBrush(style_.backColour);
    FillRect(dc, &client, background);
    DeleteObject(background);
    for (FormPainting* control : parts_.Painted()) control->Paint(dc);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = WindowOwner<Form>(window, message, lParam, [window](Form& owner) { owner.window_ = window; });
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(message, wParam, lParam);
}

LRESULT Form::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_PRINTCLIENT:
        PaintClient(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SIZE:
        OnResize();
        return 0;
    case WM_DPICHANGED:
        SetLayoutDpi(HIWORD(wParam));
        if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        for (ChildControl* control : parts_.TabOrder()) control->Rescale();
        OnDpiChanged();
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the focus goes back to the control that had it,
        // or to the first in tab order, not to the form itself.
        if (LOWORD(wParam) == WA_INACTIVE || parts_.RestoreFocus()) return 0;
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_TIMER:
        for (FormTimer* timer : parts_.Timers()) {
            if (timer->TimerId() == wParam) timer->Tick();
        }
        return 0;
    case WM_CLOSE:
        Unload(QueryUnloadReason::FormControlMenu);
        return 0;
    case WM_SETCURSOR:
        return SetCursorMessage(window_, wParam, lParam);
    case WM_DESTROY:
        if (!unloading_ && window_ != nullptr) {
            unloading_ = true;
            OnUnload();
            Unloaded();
            unloading_ = false;
        }
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace forms
