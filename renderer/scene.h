// The scene of the renderer: fixed OpenGL state, projection, and one frame of
// the ring animation. Knows nothing of the window system; the platform
// provides PresentFrame, which shows the frame just drawn.
#pragma once
#include "ring_rules.h"
#include "shape_cache.h"

// Implemented by the platform layer (buffer swap on the renderer's window).
void PresentFrame();

// One ring of the animation: its base orientation about an axis.
struct RingOrientation {
    float degrees, x, y, z;
};
extern const RingOrientation ringOrientations[RingAnimation::kRings];

// The scene of one OpenGL context, made and drawn while it is current.
class Scene {
public:
    // Sets the fixed state and draws the first ring colours.
    void Init();
    void Resize(int width, int height);
    // One frame of the rings at `angle`; `cornerText`, when given, is drawn
    // over it in the bottom left corner (the frame rate, with -fps).
    void DrawFrame(float angle, const char* cornerText = nullptr);

    const RingAnimation& Animation() const { return animation_; }

private:
    void DrawRings(float angle);
    void RasterStep();

    RingAnimation animation_;
    ShapeCache shapes_;
    int viewportWidth_ = 1;
    int viewportHeight_ = 1;
};
