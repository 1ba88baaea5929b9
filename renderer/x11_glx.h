// The renderer's OpenGL context on X11 (GLX): the visual it asks for and the
// context made current on the drawing window.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <GL/glx.h>

#include <string>

// A double-buffered RGBA visual with at least 16 bits of colour and of depth,
// or null (with `error` filled in) when the display has none or no GLX.
XVisualInfo* ChooseRendererVisual(Display* display, int screen, std::string& error);

// Creates a context for `visual` and makes it current on `window`; null (with
// `error` filled in) when either step fails.
GLXContext MakeRendererContext(Display* display, XVisualInfo* visual, Window window, std::string& error);

// One frame per display refresh where the driver lets the program choose.
void RequestSwapInterval(Display* display, int screen, Window window);
