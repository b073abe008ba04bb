#pragma once

#include <cmath>

namespace VovezEdeduvo {
namespace Effects {

// One-pole, one-zero high-pass with its pole at exp(-2π fc / fs) and unit gain at half the rate.
// Nothing in it allocates; DelayProcessor runs its recursion in its own loops from the public
// states.
struct OnePoleHighPass {
    static constexpr float kTwoPi = 6.283185f;
    static constexpr float kDenormalOffset = 1e-25f;

    OnePoleHighPass(float hz, float cutoffHz) noexcept : sampleRate(hz), cutoff(cutoffHz) { UpdateCoefficients(); }

    // --- Settings ---

    // Lowers a cutoff above half the new rate.
    void SetSampleRate(float hz) noexcept
    {
        sampleRate = hz;
        if (cutoff > hz * 0.5f)
            cutoff = hz * 0.5f;
        UpdateCoefficients();
    }
    void SetCutoff(float hz) noexcept
    {
        cutoff = hz;
        UpdateCoefficients();
    }

    // --- Reset ---

    void Reset() noexcept
    {
        previousInput = 0.0f;
        previousOutput = 0.0f;
    }

    // --- Process ---

    float Process(float x) noexcept
    {
        const float y = gain * (x - previousInput) + coefficient * previousOutput;
        previousOutput = y + kDenormalOffset;
        previousInput = x;
        return previousOutput;
    }

    float sampleRate;
    float cutoff;
    float gain = 0.0f;
    float coefficient = 0.0f;
    float previousInput = 0.0f;
    float previousOutput = 0.0f;

private:
    void UpdateCoefficients() noexcept
    {
        coefficient = std::exp(-kTwoPi * cutoff / sampleRate);
        gain = (1.0f + coefficient) / 2.0f;
    }
};

} // namespace Effects
} // namespace VovezEdeduvo
