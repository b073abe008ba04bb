#pragma once

#include <cmath>

namespace VovezEdeduvo {
namespace Effects {

// One-pole exponential smoother: state moves toward each input by coefficient. Nothing in it
// allocates; DelayProcessor runs its recursion in its own loops from the public state.
struct OnePoleLowPass {
    // 2π as the coefficients have always been computed with it.
    static constexpr float kTwoPi = 6.283185f;
    static constexpr float kDenormalOffset = 1e-25f;

    OnePoleLowPass(float hz, float cutoffHz) noexcept : sampleRate(hz), cutoff(cutoffHz) { UpdateCoefficient(); }

    // --- Settings ---

    // Lowers a cutoff above half the new rate.
    void SetSampleRate(float hz) noexcept
    {
        sampleRate = hz;
        if (cutoff > hz * 0.5f)
            cutoff = hz * 0.5f;
        UpdateCoefficient();
    }
    void SetCutoff(float hz) noexcept
    {
        cutoff = hz;
        UpdateCoefficient();
    }

    // --- Reset ---

    void Reset() noexcept { state = 0.0f; }

    // --- Process ---

    float Process(float x) noexcept
    {
        state = state + (x - state) * coefficient + kDenormalOffset;
        return state;
    }

    float sampleRate;
    float cutoff;
    float coefficient = 0.0f;
    float state = 0.0f;

private:
    void UpdateCoefficient() noexcept { coefficient = 1.0f - std::exp(-kTwoPi * cutoff / sampleRate); }
};

} // namespace Effects
} // namespace VovezEdeduvo
