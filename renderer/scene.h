// The scene of the renderer: fixed OpenGL state, projection, and one frame of
// the ring animation. Knows nothing of the window system; the platform
// provides PresentFrame, which shows the frame just drawn.
#pragma once

void InitScene();
void ResizeScene(int width, int height);
// One frame of the rings at `angle`; `cornerText`, when given, is drawn over
// it in the bottom left corner (the frame rate, with -fps).
void DrawFrame(float angle, const char* cornerText = nullptr);

// Implemented by the platform layer (buffer swap on the renderer's window).
void PresentFrame();

// One ring of the animation: its base orientation about an axis.
struct RingOrientation {
    float degrees, x, y, z;
};
extern const RingOrientation ringOrientations[4];
