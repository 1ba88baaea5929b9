#include "input_rules.h"

static std::int64_t Distance(std::int32_t a, std::int32_t b)
{
    std::int64_t d = static_cast<std::int64_t>(a) - b;
    return d < 0 ? -d : d;
}

bool MouseRule::MoveEndsRun(ScreenPoint cursor)
{
    bool ends = false;
    if (moves_ == 1) {
        origin_ = cursor;
    } else if (Distance(cursor.x, origin_.x) > 2 || Distance(cursor.y, origin_.y) > 2) {
        moves_ = 0;
        ends = true;
    }
    moves_ += 1;
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
