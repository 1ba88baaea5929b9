#include "ring_rules.h"

float ringRed[4];
float ringGreen[4];
float ringBlue[4];
std::int32_t extraRings = 0;
std::int32_t framesSinceShuffle = 0;
std::int32_t rasterX = -200;
std::int32_t rasterY = -150;
std::int32_t rasterStep = -1;
std::uint32_t randomState = 1;

void ResetAnimationState()
{
    for (int i = 0; i < 4; ++i) ringRed[i] = ringGreen[i] = ringBlue[i] = 0.0f;
    extraRings = 0;
    framesSinceShuffle = 0;
    rasterX = -200;
    rasterY = -150;
    rasterStep = -1;
    randomState = 1;
}

int NextRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 32767u);
}

static float DrawComponent()
{
    return static_cast<float>((NextRandom() % 100 + 1) / 100.0);
}

void ShuffleRingColours()
{
    for (int ring = 0; ring < 4; ++ring) {
        ringRed[ring] = DrawComponent();
        ringGreen[ring] = DrawComponent();
        ringBlue[ring] = DrawComponent();
    }
    framesSinceShuffle = 0;
    extraRings = NextRandom() % 4;
}

bool CountFrameForShuffle()
{
    framesSinceShuffle += 1;
    if (framesSinceShuffle > 100) {
        ShuffleRingColours();
        return true;
    }
    return false;
}

int VisibleRingCount()
{
    return 1 + extraRings;
}

RasterStepResult TakeRasterStep()
{
    RasterStepResult step{};
    step.colour.blue = static_cast<std::uint8_t>(NextRandom() % 255);
    step.colour.green = static_cast<std::uint8_t>(NextRandom() % 255);
    step.colour.red = static_cast<std::uint8_t>(NextRandom() % 255);
    step.x = rasterX;
    step.y = rasterY;
    rasterX += rasterStep;
    if (rasterX > -180 || rasterX < -215) rasterStep = -rasterStep;
    return step;
}

std::int32_t NextFrameAngle(std::int32_t angle)
{
    angle += 1;
    if (angle > 360) angle = 1;
    return angle;
}
