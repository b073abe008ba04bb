#pragma once

#include <cmath>

namespace VovezEdeduvo {
namespace Effects {

// One-pole exponential smoother: state moves toward each input by coefficient.
struct OnePoleLowPass {
    // 2π as the coefficients have always been computed with it.
    static constexpr float kTwoPi = 6.283185f;
    static constexpr float kDenormalOffset = 1e-25f;

    OnePoleLowPass(float hz, float cutoffHz) : sampleRate(hz), cutoff(cutoffHz) { UpdateCoefficient(); }

    // Lowers a cutoff above half the new rate.
    void SetSampleRate(float hz)
    {
        sampleRate = hz;
        if (cutoff > hz * 0.5f)
            cutoff = hz * 0.5f;
        UpdateCoefficient();
    }
    void SetCutoff(float hz)
    {
        cutoff = hz;
        UpdateCoefficient();
    }
    void UpdateCoefficient() { coefficient = 1.0f - std::exp(-kTwoPi * cutoff / sampleRate); }

    float Process(float x)
    {
        state = state + (x - state) * coefficient + kDenormalOffset;
        return state;
    }

    float sampleRate;
    float cutoff;
    float coefficient = 0.0f;
    float state = 0.0f;
};

} // namespace Effects
} // namespace VovezEdeduvo
