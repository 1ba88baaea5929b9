// The rule by which mouse movement ends the renderer: the first handled move
// records the cursor as the origin, every later one is measured against it,
// and more than two pixels on either axis ends the run.
#pragma once
#include <cstdint>

struct ScreenPoint {
    std::int32_t x, y;
};

extern std::int32_t mouseMoveCount;
extern ScreenPoint mouseOrigin;

// Start values (count 0, origin 0,0); the message loop sets the count to 1.
void ResetMouseRule();

// One mouse move while the renderer is active, with the cursor position in
// screen pixels. Returns true when the move ends the run.
bool MouseMoveEndsRun(ScreenPoint cursor);
