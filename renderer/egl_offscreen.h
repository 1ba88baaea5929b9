// An offscreen OpenGL compatibility context on the host (EGL, Mesa surfaceless
// platform, pbuffer) for drawing the renderer's scene without a window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class OffscreenGl {
public:
    OffscreenGl(int width, int height);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // RGB bytes of the colour buffer, rows from the bottom up.
    std::vector<std::uint8_t> ReadPixels() const;

private:
    int width_, height_;
    bool ok_ = false;
    std::string error_;
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
};
