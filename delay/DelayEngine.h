#pragma once

#include "delay/DelayLine.h"
#include "delay/DelayTimeSmoother.h"
#include "delay/FirstOrderFilter.h"
#include "dsp/FilterKind.h"

#include <cstdint>
#include <memory>

// The stereo signal path: two delay lines with gliding delay times, a low-pass or high-pass
// filter in the delayed path, soft-limited feedback (optionally crossed between the channels)
// and a linear wet/dry mix.
//
// Threads: a plain single-threaded DSP object. Its owner calls every member from one thread at
// a time; MorlentDelayModel makes that the audio thread. Members marked "set-up" may allocate.
class DelayEngine {
public:
    static constexpr float kDefaultSampleRate = 44100.0f;
    static constexpr float kMaxDelaySeconds = 1.0f;
    // 1/44100 in single precision: the glide time constant is 10000 samples at 44.1 kHz and
    // the same duration, about 0.2268 s, at every other rate.
    static constexpr float kInverseReferenceRate = 2.2675737e-05f;
    static constexpr float kTimeConstantAtReferenceRate = 10000.0f;
    static constexpr float kWriteOffset = 1e-25f;
    // Rates outside this range are ignored: the engine keeps the rate it has.
    static constexpr float kMinSampleRate = 1000.0f;
    static constexpr float kMaxSampleRate = 768000.0f;

    enum FilterType : int32_t { kLowPass = 0, kHighPass = 1 };

    DelayEngine();

    // Set-up: may allocate. Empties both lines, moves both delays at once to their lengths at
    // the new rate, rescales the glide time and lowers cutoffs above half the rate.
    void SetSampleRate(float hz);
    // Allocation-free form of SetSampleRate: takes over zeroed arrays of LineLength(hz)
    // samples and hands the previous arrays back through the same pointers.
    void SetSampleRate(float hz, std::unique_ptr<float[]>& leftSamples, std::unique_ptr<float[]>& rightSamples);
    static int32_t LineLength(float hz);
    // A finite rate from kMinSampleRate to kMaxSampleRate.
    static bool IsUsableSampleRate(float hz);

    void SetCutoff(float hz);
    // Seconds are kept within 0..kMaxDelaySeconds (a NaN counts as 0); the delay glides there.
    void SetLeftDelayTime(float seconds);
    void SetRightDelayTime(float seconds);
    void UpdateDelayTargets();
    // Set-up: sizes both lines for kMaxDelaySeconds and empties them.
    void Resize();
    // Empties both lines; the write positions stay.
    void Clear();
    // Set-up: the state a new engine at this rate and these settings is in. Empty lines written
    // from their start, filters at rest, delays at their targets, the first write offset.
    void Restart();

    // Renders count frames; the outputs may be the inputs. Allocation-free.
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count);

    float GetSampleRate() const { return sampleRate; }
    float GetMaxDelaySeconds() const { return maxDelaySeconds; }
    float GetCutoff() const { return cutoff; }
    float GetLeftDelaySeconds() const { return leftDelaySeconds; }
    float GetRightDelaySeconds() const { return rightDelaySeconds; }
    float GetLeftDelaySamples() const { return leftDelaySamples; }
    float GetRightDelaySamples() const { return rightDelaySamples; }
    float GetWriteOffset() const { return writeOffset; }
    const DelayLine& GetLeftLine() const { return leftLine; }
    const DelayLine& GetRightLine() const { return rightLine; }
    const DelayTimeSmoother& GetLeftSmoother() const { return leftSmoother; }
    const DelayTimeSmoother& GetRightSmoother() const { return rightSmoother; }
    const FirstOrderFilter& GetLeftLowPass() const { return leftLowPass; }
    const FirstOrderFilter& GetRightLowPass() const { return rightLowPass; }
    const FirstOrderFilter& GetLeftHighPass() const { return leftHighPass; }
    const FirstOrderFilter& GetRightHighPass() const { return rightHighPass; }

    // Written directly by the owner; read once per Process call (feedback every sample).
    float feedback = 0.75f;
    bool filterEnabled = false;
    int32_t filterType = kLowPass;
    bool crossFeedback = true;
    float mix = 0.5f;

private:
    void ApplySampleRate(float hz);
    void FinishSampleRate(float hz);
    static float ClampDelaySeconds(float seconds);

    DelayLine leftLine;
    DelayLine rightLine;
    DelayTimeSmoother leftSmoother;
    DelayTimeSmoother rightSmoother;
    FirstOrderFilter leftLowPass;
    FirstOrderFilter rightLowPass;
    FirstOrderFilter leftHighPass;
    FirstOrderFilter rightHighPass;
    float sampleRate = kDefaultSampleRate;
    const float maxDelaySeconds = kMaxDelaySeconds;
    float leftDelaySeconds = 0.0f;
    float leftDelaySamples = 0.0f;
    float rightDelaySeconds = 0.0f;
    float rightDelaySamples = 0.0f;
    float cutoff = 0.0f;
    float writeOffset = kWriteOffset;
};
