#pragma once
// The soft limiter of the 64-bit engine's feedback path, per sample and on every lane.

#include "delay/StereoLanes.h"

namespace DelayLoops {

// Fed-back magnitudes up to the knee pass unchanged; above it they bend toward 1.
constexpr float kLimiterKnee = 0.72f;
constexpr float kLimiterRange = 1.0f - kLimiterKnee;

// Strictly inside (-1, 1) for finite input.
inline float Limit(float s) noexcept
{
    if (s > kLimiterKnee)
        return kLimiterKnee + (1.0f - kLimiterKnee / s) * kLimiterRange;
    if (s < -kLimiterKnee)
        return -(kLimiterKnee + (1.0f - kLimiterKnee / -s) * kLimiterRange);
    return s;
}

// Limit on every lane of finite values, without branches. Where the bend does not apply,
// dividing by the knee makes it come out at exactly the knee, so the smaller of bend and
// magnitude is the magnitude; above the knee the rounded bend is always the smaller (true of
// every float from the knee to 16, and above that the bend stays below 1).
inline Lanes LimitLanes(Lanes source) noexcept
{
    const Lanes knee = Both(kLimiterKnee);
    const Lanes size = Magnitude(source);
    const Lanes bent = knee + (Both(1.0f) - knee / Larger(size, knee)) * Both(kLimiterRange);
    return WithSign(Smaller(bent, size), source);
}

} // namespace DelayLoops
