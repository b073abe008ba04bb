#pragma once

namespace VovezEdeduvo {

// Listener base for the host's sample rate. The model's sample-rate provider calls SetSampleRate
// on every registered listener when the rate changes.
class SampleRate {
public:
    static constexpr float kDefaultSampleRate = 44100.0f;
    // Rates no host runs at; they would only turn delays and coefficients into nonsense.
    static constexpr float kMinSampleRate = 1000.0f;
    static constexpr float kMaxSampleRate = 768000.0f;

    virtual ~SampleRate() = default;
    // Called with the stored value already changed; empty in the base.
    virtual void OnSampleRateChanged(float) {}

    // Stores a usable rate and runs the hook; a rate outside kMinSampleRate..kMaxSampleRate or
    // a NaN is ignored and the last usable rate stays.
    void SetSampleRate(float hz)
    {
        if (!IsUsableSampleRate(hz))
            return;
        sampleRate = hz;
        OnSampleRateChanged(hz);
    }
    float GetSampleRate() const { return sampleRate; }
    static bool IsUsableSampleRate(float hz) { return hz >= kMinSampleRate && hz <= kMaxSampleRate; }

private:
    float sampleRate = kDefaultSampleRate;
};

} // namespace VovezEdeduvo
