#include "x11_glx.h"
#include "extension_list.h"

#include <cstring>

XVisualInfo* ChooseRendererVisual(Display* display, int screen, std::string& error)
{
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(display, &errorBase, &eventBase)) {
        error = "the X server offers no OpenGL (GLX extension missing)";
        return nullptr;
    }
    int attributes[] = {GLX_RGBA,     GLX_DOUBLEBUFFER, GLX_RED_SIZE,   5, GLX_GREEN_SIZE, 5,
                        GLX_BLUE_SIZE, 5,               GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (visual == nullptr) error = "no double-buffered RGBA OpenGL visual with a 16-bit depth buffer";
    return visual;
}

GLXContext MakeRendererContext(Display* display, XVisualInfo* visual, Window window, std::string& error)
{
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    if (context == nullptr) context = glXCreateContext(display, visual, nullptr, False);
    if (context == nullptr) {
        error = "no OpenGL context could be created";
        return nullptr;
    }
    if (!glXMakeCurrent(display, window, context)) {
        glXDestroyContext(display, context);
        error = "the OpenGL context could not be made current";
        return nullptr;
    }
    return context;
}

void RequestSwapInterval(Display* display, int screen, Window window)
{
    const char* extensions = glXQueryExtensionsString(display, screen);
    const auto address = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        using SwapIntervalEXT = void (*)(Display*, GLXDrawable, int);
        if (auto set = reinterpret_cast<SwapIntervalEXT>(address("glXSwapIntervalEXT"))) {
            set(display, window, 1);
            return;
        }
    }
    if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        using SwapIntervalMESA = int (*)(unsigned);
        if (auto set = reinterpret_cast<SwapIntervalMESA>(address("glXSwapIntervalMESA"))) {
            set(1);
            return;
        }
    }
    if (HasExtension(extensions, "GLX_SGI_swap_control")) {
        using SwapIntervalSGI = int (*)(int);
        if (auto set = reinterpret_cast<SwapIntervalSGI>(address("glXSwapIntervalSGI"))) set(1);
    }
}
