#include "drawing_surface.h"

namespace forms {

DrawingSurface::~DrawingSurface() { Release(); }

void DrawingSurface::Release()
{
    if (dc_ != nullptr) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    dc_ = nullptr, bitmap_ = nullptr, previous_ = nullptr, bits_ = nullptr;
    width_ = height_ = 0;
}

bool DrawingSurface::Resize(int width, int height)
{
    if (dc_ != nullptr && width == width_ && height == height_) return true;
    Release();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr) {
        Release();
        return false;
    }
    previous_ = SelectObject(dc_, bitmap_);
    width_ = width, height_ = height;
    return true;
}

void DrawingSurface::Clear(COLORREF colour)
{
    if (dc_ == nullptr) return;
    RECT all = {0, 0, width_, height_};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

void DrawingSurface::CopyTo(HDC target, int x, int y) const
{
    if (dc_ != nullptr) BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

COLORREF DrawingSurface::Pixel(int x, int y) const
{
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    const DWORD p = static_cast<const DWORD*>(bits_)[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
}

}  // namespace forms
