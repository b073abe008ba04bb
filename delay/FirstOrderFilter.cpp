#include "delay/FirstOrderFilter.h"

#include <cmath>

FirstOrderFilter::FirstOrderFilter(Kind kind, float sampleRate, float cutoff) noexcept
    : kind(kind), sampleRate(sampleRate), cutoff(cutoff)
{
    UpdateCoefficients();
}

void FirstOrderFilter::SetSampleRate(float hz) noexcept
{
    sampleRate = hz;
    if (cutoff > HighestCutoff())
        cutoff = HighestCutoff();
    UpdateCoefficients();
}

void FirstOrderFilter::SetCutoff(float hz) noexcept
{
    // A NaN would poison the states for good; it leaves the filter as it is.
    if (std::isnan(hz))
        return;
    cutoff = hz > HighestCutoff() ? HighestCutoff() : hz;
    UpdateCoefficients();
}

void FirstOrderFilter::Reset() noexcept
{
    previousInput = 0.0f;
    previousOutput = 0.0f;
}

void FirstOrderFilter::UpdateCoefficients() noexcept
{
    const float w = cutoff * kTwoPi / sampleRate;
    // cos(w) / (1 + sin(w)) is (1 - tan(w/2)) / (1 + tan(w/2)) without the pole of tan.
    coefficient = std::cos(w) / (1.0f + std::sin(w));
    gain = kind == Kind::LowPass ? (1.0f - coefficient) / 2.0f : (1.0f + coefficient) / 2.0f;
}
