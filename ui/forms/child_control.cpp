#include "child_control.h"

#include <algorithm>

#include "application.h"
#include "form.h"
#include "window_owner.h"

namespace forms {

void Container::CreateChildWindows()
{
    const HWND parent = ContainerWindow();
    if (parent == nullptr) return;
    for (ChildControl* child : children_) child->CreateWindowIn(parent);
}

void Container::AddChild(ChildControl& child) { children_.push_back(&child); }

void Container::RemoveChild(ChildControl& child)
{
    children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
}

ChildControl::ChildControl(Container& container, std::string name) : container_(container), name_(std::move(name))
{
    container_.AddChild(*this);
    ParentForm().Parts().Join(*this);
}

ChildControl::~ChildControl()
{
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    container_.RemoveChild(*this);
    ParentForm().Parts().Leave(*this);
}

const wchar_t* ChildControl::WindowClass()
{
    static const wchar_t* const kClass = L"QuorvellantoControl";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &ChildControl::WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kClass;
        registered = RegisterClassW(&windowClass) != 0;
    }
    return kClass;
}

RECT ChildControl::PixelRect() const
{
    const int left = ToPixels(left_), top = ToPixels(top_);
    return {left, top, left + ToPixels(width_), top + ToPixels(height_)};
}

int ChildControl::PixelWidth() const { return ToPixels(width_); }
int ChildControl::PixelHeight() const { return ToPixels(height_); }

bool ChildControl::CreateControlWindow(HWND parent)
{
    const RECT r = PixelRect();
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!enabled_) style |= WS_DISABLED;
    window_ = CreateWindowExW(0, WindowClass(), L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                              nullptr, GetModuleHandleW(nullptr), this);
    return window_ != nullptr;
}

void ChildControl::CreateWindowIn(HWND parent)
{
    if (window_ == nullptr && CreateControlWindow(parent)) Sited();
}

void ChildControl::SaveProperties(PropertyStore& store)
{
    store.Remove(name_);
    WriteProperties(store.Bag(name_));
}

void ChildControl::Sited()
{
    if (const PropertyBag* bag = ParentForm().Properties().Find(name_)) ReadProperties(*bag);
    sited_ = true;
    Resized();
}

void ChildControl::Move(int left, int top, int width, int height)
{
    const bool resized = width != width_ || height != height_;
    left_ = left, top_ = top, width_ = width, height_ = height;
    if (window_ == nullptr) return;
    const RECT r = PixelRect();
    // The window's own size message is ignored in favour of this single event.
    sited_ = false;
    MoveWindow(window_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    sited_ = true;
    if (resized) Resized();
}

void ChildControl::Rescale()
{
    Move(left_, top_, width_, height_);
    if (window_ != nullptr) Resized();
}

int ChildControl::TabIndex() const { return ParentForm().Parts().TabIndex(*this); }
void ChildControl::SetTabIndex(int index) { ParentForm().Parts().SetTabIndex(*this, index); }

bool ChildControl::HasFocus() const
{
    const HWND focus = GetFocus();
    return window_ != nullptr && focus != nullptr && (focus == window_ || IsChild(window_, focus));
}

void ChildControl::SetFocus()
{
    if (window_ != nullptr) ::SetFocus(window_);
}

bool ChildControl::CanTakeFocus() const
{
    return window_ != nullptr && TakesFocus() && IsWindowVisible(window_) && IsWindowEnabled(window_);
}

void ChildControl::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (window_ != nullptr) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void ChildControl::Paint(HDC, const RECT&) {}

LRESULT CALLBACK ChildControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* control =
        WindowOwner<ChildControl>(window, message, lParam, [window](ChildControl& owner) { owner.window_ = window; });
    if (control == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        control->window_ = nullptr;
        control->sited_ = false;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return control->Handle(message, wParam, lParam);
}

LRESULT ChildControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        Paint(dc, paint.rcPaint);
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(window_, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_SIZE:
        if (sited_) Resized();
        return 0;
    case WM_SETFOCUS:
        ParentForm().Parts().FocusTaken(*this);
        GotFocus();
        return 0;
    case WM_KILLFOCUS:
        LostFocus();
        return 0;
    case WM_SETCURSOR:
        return SetCursorMessage(window_, wParam, lParam);
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace forms
