// The frames a renderer draws per second, measured over stretches of about a
// second, as the text it shows with -fps. Needs neither OpenGL nor a window.
#pragma once
#include <cstdint>
#include <string>

class FrameRateMeter {
public:
    // Counts a frame finished at `nowMicroseconds` (a steady clock's time).
    // The first frame starts a stretch; the first frame a second or more
    // after the stretch's start ends it, and the rate over it is the reading.
    void CountFrame(std::int64_t nowMicroseconds);
    // "FPS: 59.9" once a stretch has been measured; "FPS:" until then.
    const std::string& Text() const { return text_; }

private:
    std::int64_t stretchStart_ = -1;
    long framesInStretch_ = 0;
    std::string text_ = "FPS:";
};
