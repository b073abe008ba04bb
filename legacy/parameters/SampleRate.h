#pragma once

#include "description/EffectDescription.h"

namespace VovezEdeduvo {

// Listener base for the host's sample rate. The model's sample-rate provider calls SetSampleRate
// on every registered listener when the rate changes.
class SampleRate {
public:
    static constexpr float kDefaultSampleRate = 44100.0f;
    static constexpr float kMinSampleRate = MorlentDelay::kMinSampleRate;
    static constexpr float kMaxSampleRate = MorlentDelay::kMaxSampleRate;

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
    static bool IsUsableSampleRate(float hz) { return MorlentDelay::IsUsableSampleRate(hz); }

private:
    float sampleRate = kDefaultSampleRate;
};

} // namespace VovezEdeduvo
