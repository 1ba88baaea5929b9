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

// A press reaching the renderer's window, as the platform layer sees it.
// Windows delivers Alt combinations and F10 as system keys; other platforms
// classify their key presses the same way with IsSystemKey.
enum class Press {
    Key,
    SystemKey,
    LeftButton,
    MiddleButton,
    RightButton,
    OtherButton  // the wheel, side buttons
};

// True when the press ends the run: a plain key, or the left, middle or right button.
bool PressEndsRun(Press press);

// A key press is a system key when Alt is held, when it is Alt itself, or F10.
bool IsSystemKey(bool altHeld, bool isAltKey, bool isF10);
