// Benchmark baseline for the native renderer: the same full-screen window,
// visual and context, with a loop that only clears and swaps. Ends on SIGTERM.
#include "x11_glx.h"
#include "x11_window.h"

#include <csignal>
#include <cstdio>

static volatile std::sig_atomic_t stopRequested = 0;

static void RequestStop(int) { stopRequested = 1; }

int main()
{
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGINT, RequestStop);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "glx_bare_loop: cannot open the X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    std::string error;
    XVisualInfo* visual = ChooseRendererVisual(display, screen, error);
    if (visual == nullptr) {
        std::fprintf(stderr, "glx_bare_loop: %s\n", error.c_str());
        return 1;
    }
    Colormap colormap = XCreateColormap(display, RootWindow(display, screen), visual->visual, AllocNone);
    const MonitorRect wholeScreen = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), true};
    Window window = CreateFullScreenWindow(display, screen, visual, colormap, wholeScreen);
    XStoreName(display, window, "Quorvellanto_Bare");
    MapAndWait(display, window);
    GLXContext context = MakeRendererContext(display, visual, window, error);
    if (context == nullptr) {
        std::fprintf(stderr, "glx_bare_loop: %s\n", error.c_str());
        return 1;
    }
    RequestSwapInterval(display, screen, window);
    glViewport(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    XEvent event;
    while (stopRequested == 0) {
        while (XPending(display) > 0) XNextEvent(display, &event);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glXSwapBuffers(display, window);
        glFlush();
    }
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, context);
    XDestroyWindow(display, window);
    XFreeColormap(display, colormap);
    XFree(visual);
    XCloseDisplay(display);
    return 0;
}
