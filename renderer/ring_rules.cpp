#include "ring_rules.h"

int RingAnimation::NextRandom()
{
    randomState_ = randomState_ * 214013u + 2531011u;
    return static_cast<int>((randomState_ >> 16) & 32767u);
}

float RingAnimation::DrawComponent()
{
    return static_cast<float>((NextRandom() % 100 + 1) / 100.0);
}

void RingAnimation::ShuffleRingColours()
{
    for (RingColour& colour : colours_) {
        colour.red = DrawComponent();
        colour.green = DrawComponent();
        colour.blue = DrawComponent();
    }
    framesSinceShuffle_ = 0;
    extraRings_ = NextRandom() % 4;
}

bool RingAnimation::CountFrameForShuffle()
{
    framesSinceShuffle_ += 1;
    if (framesSinceShuffle_ > 100) {
        ShuffleRingColours();
        return true;
    }
    return false;
}

RasterStepResult RingAnimation::TakeRasterStep()
{
    RasterStepResult step{};
    step.colour.blue = static_cast<std::uint8_t>(NextRandom() % 255);
    step.colour.green = static_cast<std::uint8_t>(NextRandom() % 255);
    step.colour.red = static_cast<std::uint8_t>(NextRandom() % 255);
    step.x = rasterX_;
    step.y = rasterY_;
    rasterX_ += rasterStep_;
    if (rasterX_ > -180 || rasterX_ < -215) rasterStep_ = -rasterStep_;
    return step;
}

std::int32_t NextFrameAngle(std::int32_t angle)
{
    angle += 1;
    if (angle > 360) angle = 1;
    return angle;
}
