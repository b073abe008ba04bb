#include "delay/DelayTimeSmoother.h"

#include <cmath>

void DelayTimeSmoother::SetTimeConstant(int32_t samples) noexcept
{
    timeConstant = samples;
    coefficient = std::exp(-1.0f / static_cast<float>(samples));
    oneMinusCoefficient = 1.0f - coefficient;
}

void DelayTimeSmoother::SetTarget(float samples) noexcept
{
    target = samples;
    if (samples > current) {
        falling = false;
        aim = samples + kOvershoot;
    } else {
        falling = true;
        aim = samples - kOvershoot;
    }
}

void DelayTimeSmoother::JumpToTarget() noexcept
{
    current = target;
    state = target;
}

float DelayTimeSmoother::Creep(float from, bool falling) noexcept
{
    return std::nextafter(from, falling ? -HUGE_VALF : HUGE_VALF);
}
