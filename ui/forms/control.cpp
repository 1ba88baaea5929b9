#include "control.h"

#include <algorithm>

#include "form.h"

namespace forms {

Control::Control(Form& owner) : owner_(owner) { owner_.Parts().Join(*this); }

Control::~Control() { owner_.Parts().Leave(*this); }

void Control::MovePixels(int left, int top, int width, int height)
{
    Invalidate();
    bounds_ = {left, top, left + width, top + height};
    Invalidate();
}

void Control::SetLeft(int pixels) { MovePixels(pixels, bounds_.top, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top); }
void Control::SetTop(int pixels) { MovePixels(bounds_.left, pixels, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top); }
void Control::SetWidth(int pixels) { MovePixels(bounds_.left, bounds_.top, pixels, bounds_.bottom - bounds_.top); }
void Control::SetHeight(int pixels) { MovePixels(bounds_.left, bounds_.top, bounds_.right - bounds_.left, pixels); }

void Control::Invalidate()
{
    if (owner_.hwnd() != nullptr) InvalidateRect(owner_.hwnd(), &bounds_, TRUE);
}

Image::~Image()
{
    if (picture_ != nullptr) DeleteObject(picture_);
}

void Image::SetPicture(HBITMAP picture)
{
    if (picture_ != nullptr) DeleteObject(picture_);
    picture_ = picture;
    Invalidate();
}

void Image::Paint(HDC dc)
{
    if (picture_ == nullptr) return;
    BITMAP info;
    if (GetObjectW(picture_, sizeof info, &info) == 0) return;
    const RECT b = Bounds();
    const int width = std::min<int>(info.bmWidth, b.right - b.left);
    const int height = std::min<int>(info.bmHeight, b.bottom - b.top);
    if (width <= 0 || height <= 0) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, picture_);
    BitBlt(dc, b.left, b.top, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace forms
