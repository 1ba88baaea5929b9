#include "user_control.h"

#include "application.h"
#include "form.h"

namespace forms {

namespace {

int ShiftState()
{
    int shift = 0;
    if (GetKeyState(VK_SHIFT) & 0x8000) shift |= 1;
    if (GetKeyState(VK_CONTROL) & 0x8000) shift |= 2;
    if (GetKeyState(VK_MENU) & 0x8000) shift |= 4;
    return shift;
}

// The buttons held, as a button code, from a mouse message's key flags.
int HeldButtons(WPARAM keys)
{
    int held = 0;
    if (keys & MK_LBUTTON) held |= kMouseLeft;
    if (keys & MK_RBUTTON) held |= kMouseRight;
    if (keys & MK_MBUTTON) held |= kMouseMiddle;
    return held;
}

}  // namespace

HWND UserControl::ParentHwnd() const { return ParentForm().hwnd(); }

void UserControl::Present()
{
    if (hwnd() == nullptr) return;
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
}

void UserControl::Paint(HDC dc, const RECT&) { surface_.CopyTo(dc, 0, 0); }

LRESULT UserControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = ToTwips(static_cast<short>(LOWORD(lParam)));
    const int y = ToTwips(static_cast<short>(HIWORD(lParam)));
    int button = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        button = message == WM_LBUTTONDOWN ? kMouseLeft : message == WM_RBUTTONDOWN ? kMouseRight : kMouseMiddle;
        if (button == kMouseLeft && CanTakeFocus() && !HasFocus()) SetFocus();
        if (hwnd() == nullptr) return 0;
        SetCapture(hwnd());
        MouseDown(button, ShiftState(), x, y);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(HeldButtons(wParam), ShiftState(), x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        button = message == WM_LBUTTONUP ? kMouseLeft : message == WM_RBUTTONUP ? kMouseRight : kMouseMiddle;
        if (HeldButtons(wParam) == 0 && GetCapture() == hwnd()) ReleaseCapture();
        MouseUp(button, ShiftState(), x, y);
        return 0;
    default:
        return ChildControl::Handle(message, wParam, lParam);
    }
}

}  // namespace forms
