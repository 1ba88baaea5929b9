#include "frame_rate.h"

#include <cstdio>

void FrameRateMeter::CountFrame(std::int64_t nowMicroseconds)
{
    constexpr std::int64_t kStretch = 1000000;
    if (stretchStart_ < 0) {
        stretchStart_ = nowMicroseconds;
        return;
    }
    ++framesInStretch_;
    const std::int64_t elapsed = nowMicroseconds - stretchStart_;
    if (elapsed < kStretch) return;
    char text[32];
    std::snprintf(text, sizeof text, "FPS: %.1f",
                  static_cast<double>(framesInStretch_) * 1e6 / static_cast<double>(elapsed));
    text_ = text;
    stretchStart_ = nowMicroseconds;
    framesInStretch_ = 0;
}
