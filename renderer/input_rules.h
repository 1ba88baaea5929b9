// The rule by which mouse movement ends the renderer: the first handled move
// records the cursor as the origin, every later one is measured against it,
// and more than two pixels on either axis ends the run.
#pragma once
#include <cstdint>

#include "screen_point.h"

// The mouse rule of one run. Moves before the run watches them are measured
// from 0,0; the renderer starts watching as its message loop starts.
class MouseRule {
public:
    void StartWatching() { moves_ = 1; }

    // One mouse move while the renderer is active, with the cursor position
    // in screen pixels. Returns true when the move ends the run; the next
    // move then records the origin afresh.
    bool MoveEndsRun(ScreenPoint cursor);

private:
    std::int32_t moves_ = 0;
    ScreenPoint origin_ = {0, 0};
};

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
