#include "egl_offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

OffscreenGl::OffscreenGl(int width, int height) : width_(width), height_(height)
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error_ = "no eglGetPlatformDisplayEXT";
        return;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error_ = "no surfaceless EGL display";
        return;
    }
    display_ = display;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                    EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                    EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &configs) || configs < 1) {
        error_ = "no EGL config with RGB and depth";
        return;
    }
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
    if (surface == EGL_NO_SURFACE) {
        error_ = "no pbuffer";
        return;
    }
    surface_ = surface;
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context)) {
        error_ = "no OpenGL context";
        return;
    }
    context_ = context;
    ok_ = true;
}

OffscreenGl::~OffscreenGl()
{
    if (display_ == nullptr) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
    eglTerminate(display_);
}

std::vector<std::uint8_t> OffscreenGl::ReadPixels() const
{
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width_) * height_ * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
