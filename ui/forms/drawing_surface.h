// A kept drawn image: an off-screen 24-bit bitmap that a control draws on and
// shows on every repaint, so nothing has to be redrawn from state.
#pragma once
#include <windows.h>

namespace forms {

class DrawingSurface {
public:
    DrawingSurface() = default;
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    // Makes the image w x h pixels (its content is then undefined); false when none can be had.
    bool Resize(int width, int height);
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Clear(COLORREF colour);
    // Copies the image to (x, y) of `target`.
    void CopyTo(HDC target, int x, int y) const;
    COLORREF Pixel(int x, int y) const;

private:
    void Release();
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace forms
