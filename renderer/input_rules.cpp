#include "input_rules.h"

std::int32_t mouseMoveCount = 0;
ScreenPoint mouseOrigin = {0, 0};

void ResetMouseRule()
{
    mouseMoveCount = 0;
    mouseOrigin = {0, 0};
}

static std::int64_t Distance(std::int32_t a, std::int32_t b)
{
    std::int64_t d = static_cast<std::int64_t>(a) - b;
    return d < 0 ? -d : d;
}

bool MouseMoveEndsRun(ScreenPoint cursor)
{
    bool ends = false;
    if (mouseMoveCount == 1) {
        mouseOrigin = cursor;
    } else if (Distance(cursor.x, mouseOrigin.x) > 2 || Distance(cursor.y, mouseOrigin.y) > 2) {
        mouseMoveCount = 0;
        ends = true;
    }
    mouseMoveCount += 1;
    return ends;
}

bool PressEndsRun(Press press)
{
    switch (press) {
    case Press::Key:
    case Press::LeftButton:
    case Press::MiddleButton:
    case Press::RightButton:
        return true;
    case Press::SystemKey:
    case Press::OtherButton:
        return false;
    }
    return false;
}

bool IsSystemKey(bool altHeld, bool isAltKey, bool isF10)
{
    return altHeld || isAltKey || isF10;
}
