#pragma once

// One-pole, one-zero filter from the bilinear transform, in low-pass or high-pass form.
// Plain single-threaded DSP state: its owner calls every member from one thread at a time.
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

    FirstOrderFilter(Kind kind, float sampleRate, float cutoff);

    // Set-up. Lowers a cutoff that no longer fits below half the rate; the lowered value stays
    // when the rate rises again.
    void SetSampleRate(float hz);
    // Set-up. Cutoff in Hz, kept at or below half the rate; a NaN changes nothing.
    void SetCutoff(float hz);
    void Reset();

    float Process(float x)
    {
        return kind == Kind::LowPass ? StepLowPass(x, gain, coefficient, previousInput, previousOutput)
                                     : StepHighPass(x, gain, coefficient, previousInput, previousOutput);
    }

    // The per-sample recursions, shared with the engine's loops, which keep the states in locals.
    static float StepLowPass(float x, float g, float k, float& previousInput, float& previousOutput)
    {
        const float y = g * (x + previousInput) + k * previousOutput;
        previousOutput = y + kDenormalOffset;
        previousInput = x + kDenormalOffset;
        return y;
    }
    static float StepHighPass(float x, float g, float k, float& previousInput, float& previousOutput)
    {
        const float y = g * (x - previousInput) + k * previousOutput;
        previousOutput = y + kDenormalOffset;
        previousInput = x + kDenormalOffset;
        return y;
    }

    Kind GetKind() const { return kind; }
    float GetSampleRate() const { return sampleRate; }
    float GetCutoff() const { return cutoff; }
    float GetGain() const { return gain; }
    float GetCoefficient() const { return coefficient; }
    float GetPreviousInput() const { return previousInput; }
    float GetPreviousOutput() const { return previousOutput; }
    // Takes over the states left by StepLowPass or StepHighPass run elsewhere.
    void SetStates(float newPreviousInput, float newPreviousOutput)
    {
        previousInput = newPreviousInput;
        previousOutput = newPreviousOutput;
    }

private:

    float HighestCutoff() const { return sampleRate * kHighestCutoffRatio; }
    void UpdateCoefficients();

    Kind kind;
    float sampleRate;
    float cutoff;
    float gain = 0.0f;
    float coefficient = 0.0f;
    float previousInput = 0.0f;
    float previousOutput = 0.0f;
};
