#pragma once

// One-pole, one-zero filter from the bilinear transform, in low-pass or high-pass form.
// Plain single-threaded DSP state: its owner calls every member from one thread at a time.
// Nothing in it allocates.
class FirstOrderFilter {
public:
    enum class Kind { LowPass, HighPass };

    // Added to both stored states every sample so the recursion never decays into denormals.
    static constexpr float kDenormalOffset = 1e-25f;
    // 2 × 3.141593 in single precision, slightly above 2π: the coefficients are defined with it.
    static constexpr float kTwoPi = 6.283186f;
    // At exactly half the rate the rounded pole is -1.00000036, outside the unit circle; this
    // ratio keeps |pole| below 1 for every rate from 1 kHz to 768 kHz.
    static constexpr float kHighestCutoffRatio = 0.4999f;

    FirstOrderFilter(Kind kind, float sampleRate, float cutoff) noexcept;

    // --- Settings ---

    // Lowers a cutoff that no longer fits below half the rate; the lowered value stays when the
    // rate rises again.
    void SetSampleRate(float hz) noexcept;
    // Cutoff in Hz, kept at or below half the rate; a NaN changes nothing.
    void SetCutoff(float hz) noexcept;

    // --- Reset ---

    void Reset() noexcept;

    // --- Process ---

    float Process(float x) noexcept
    {
        return kind == Kind::LowPass ? StepLowPass(x, gain, coefficient, previousInput, previousOutput)
                                     : StepHighPass(x, gain, coefficient, previousInput, previousOutput);
    }

    // The per-sample recursions, shared with the engine's loops, which keep the states in locals.
    static float StepLowPass(float x, float g, float k, float& previousInput, float& previousOutput) noexcept
    {
        const float y = g * (x + previousInput) + k * previousOutput;
        previousOutput = y + kDenormalOffset;
        previousInput = x + kDenormalOffset;
        return y;
    }
    static float StepHighPass(float x, float g, float k, float& previousInput, float& previousOutput) noexcept
    {
        const float y = g * (x - previousInput) + k * previousOutput;
        previousOutput = y + kDenormalOffset;
        previousInput = x + kDenormalOffset;
        return y;
    }

    // Takes over the states left by StepLowPass or StepHighPass run elsewhere.
    void SetStates(float newPreviousInput, float newPreviousOutput) noexcept
    {
        previousInput = newPreviousInput;
        previousOutput = newPreviousOutput;
    }

    Kind GetKind() const noexcept { return kind; }
    float GetSampleRate() const noexcept { return sampleRate; }
    float GetCutoff() const noexcept { return cutoff; }
    float GetGain() const noexcept { return gain; }
    float GetCoefficient() const noexcept { return coefficient; }
    float GetPreviousInput() const noexcept { return previousInput; }
    float GetPreviousOutput() const noexcept { return previousOutput; }

private:
    float HighestCutoff() const noexcept { return sampleRate * kHighestCutoffRatio; }
    void UpdateCoefficients() noexcept;

    Kind kind;
    float sampleRate;
    float cutoff;
    float gain = 0.0f;
    float coefficient = 0.0f;
    float previousInput = 0.0f;
    float previousOutput = 0.0f;
};
