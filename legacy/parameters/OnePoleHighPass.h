#pragma once

#include <cmath>

namespace VovezEdeduvo {
namespace Effects {

// One-pole, one-zero high-pass with its pole at exp(-2π fc / fs) and unit gain at half the rate.
struct OnePoleHighPass {
    static constexpr float kTwoPi = 6.283185f;
    static constexpr float kDenormalOffset = 1e-25f;

    OnePoleHighPass(float hz, float cutoffHz) : sampleRate(hz), cutoff(cutoffHz) { UpdateCoefficients(); }

    // Lowers a cutoff above half the new rate.
    void SetSampleRate(float hz)
    {
        sampleRate = hz;
        if (cutoff > hz * 0.5f)
            cutoff = hz * 0.5f;
        UpdateCoefficients();
    }
    void SetCutoff(float hz)
    {
        cutoff = hz;
        UpdateCoefficients();
    }
    void UpdateCoefficients()
    {
        coefficient = std::exp(-kTwoPi * cutoff / sampleRate);
        gain = (1.0f + coefficient) / 2.0f;
    }

    float Process(float x)
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
};

} // namespace Effects
} // namespace VovezEdeduvo
