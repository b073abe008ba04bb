#pragma once

#include "delay/DelayLine.h"
#include "delay/DelayTimeSmoother.h"
#include "delay/FirstOrderFilter.h"
#include "description/EffectDescription.h"
#include "dsp/FilterKind.h"

#include <cstdint>
#include <memory>

// The stereo signal path: two delay lines with gliding delay times, a low-pass or high-pass
// filter in the delayed path, soft-limited feedback (optionally crossed between the channels)
// and a linear wet/dry mix.
//
// Process hands each call to one of the render paths (RenderPaths.h), built on the stereo
// kernels (StereoKernels.h, FeedbackLimiter.h) and lane operations (StereoLanes.h). The plain
// frame-by-frame path is the reference: every other path renders exactly its bits, whatever the
// settings, block sizes and glides. DelayEngine.MatchesThePlainReferenceLoopBitForBit,
// GlidesMatchThePlainReferenceLoopBitForBit, LongGlideStallsNearTheTargetThenCreepsOntoItBitForBit,
// FilterFadingIntoSilenceMidStretchMatchesThePlainLoopBitForBit and
// FeedbackAroundTheLimiterKneeMatchesThePlainLoopBitForBit hold the engine to a plain loop of
// their own; BitIdentity.EveryBuildRendersTheSameBits holds the whole plug-in to one hash in
// every build.
//
// Threads: a plain single-threaded DSP object. Its owner calls every member from one thread at
// a time; MorlentDelayModel makes that the audio thread for everything but the set-up.
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
    static constexpr float kMinSampleRate = MorlentDelay::kMinSampleRate;
    static constexpr float kMaxSampleRate = MorlentDelay::kMaxSampleRate;

    // What the next calls render with, handed over whole and read once per Process call.
    struct Settings {
        float feedback = 0.75f;
        float mix = 0.5f;
        bool crossFeedback = true;
        Dsp::FilterKind filter = Dsp::FilterKind::None;
    };

    // --- Set-up: may allocate; never on the audio thread ---

    DelayEngine();
    // Empties both lines (sized for hz), moves both delays at once to their lengths at the new
    // rate, rescales the glide time and lowers cutoffs above half the rate.
    void Prepare(float hz);
    // The state a new engine at this rate and these settings is in. Empty lines written from
    // their start, filters at rest, delays at their targets, the first write offset.
    void Restart();
    static int32_t LineLength(float hz) noexcept;
    // A finite rate from kMinSampleRate to kMaxSampleRate.
    static bool IsUsableSampleRate(float hz) noexcept;

    // --- Settings: allocation-free, between Process calls ---

    // Prepare's change of rate without the allocation: takes over zeroed arrays of
    // LineLength(hz) samples and hands the previous arrays back through the same pointers.
    void SetSampleRate(float hz, std::unique_ptr<float[]>& leftSamples,
                       std::unique_ptr<float[]>& rightSamples) noexcept;
    void SetSettings(const Settings& newSettings) noexcept { settings = newSettings; }
    void SetCutoff(float hz) noexcept;
    // Seconds are kept within 0..kMaxDelaySeconds (a NaN counts as 0); the delay glides there.
    void SetLeftDelayTime(float seconds) noexcept;
    void SetRightDelayTime(float seconds) noexcept;

    // --- Reset ---

    // Empties both lines; the write positions stay.
    void Clear() noexcept;

    // --- Process ---

    // Renders count frames; the outputs may be the inputs.
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count) noexcept;

    const Settings& GetSettings() const noexcept { return settings; }
    float GetSampleRate() const noexcept { return sampleRate; }
    float GetMaxDelaySeconds() const noexcept { return maxDelaySeconds; }
    float GetCutoff() const noexcept { return cutoff; }
    float GetLeftDelaySeconds() const noexcept { return leftDelaySeconds; }
    float GetRightDelaySeconds() const noexcept { return rightDelaySeconds; }
    float GetLeftDelaySamples() const noexcept { return leftDelaySamples; }
    float GetRightDelaySamples() const noexcept { return rightDelaySamples; }
    float GetWriteOffset() const noexcept { return writeOffset; }
    const DelayLine& GetLeftLine() const noexcept { return leftLine; }
    const DelayLine& GetRightLine() const noexcept { return rightLine; }
    const DelayTimeSmoother& GetLeftSmoother() const noexcept { return leftSmoother; }
    const DelayTimeSmoother& GetRightSmoother() const noexcept { return rightSmoother; }
    const FirstOrderFilter& GetLeftLowPass() const noexcept { return leftLowPass; }
    const FirstOrderFilter& GetRightLowPass() const noexcept { return rightLowPass; }
    const FirstOrderFilter& GetLeftHighPass() const noexcept { return leftHighPass; }
    const FirstOrderFilter& GetRightHighPass() const noexcept { return rightHighPass; }

private:
    // Set-up: sizes both lines for kMaxDelaySeconds at the rate and empties them.
    void Resize();
    void ApplySampleRate(float hz) noexcept;
    void FinishSampleRate(float hz) noexcept;
    void UpdateDelayTargets() noexcept;
    static float ClampDelaySeconds(float seconds) noexcept;

    DelayLine leftLine;
    DelayLine rightLine;
    DelayTimeSmoother leftSmoother;
    DelayTimeSmoother rightSmoother;
    FirstOrderFilter leftLowPass;
    FirstOrderFilter rightLowPass;
    FirstOrderFilter leftHighPass;
    FirstOrderFilter rightHighPass;
    Settings settings;
    float sampleRate = kDefaultSampleRate;
    const float maxDelaySeconds = kMaxDelaySeconds;
    float leftDelaySeconds = 0.0f;
    float leftDelaySamples = 0.0f;
    float rightDelaySeconds = 0.0f;
    float rightDelaySamples = 0.0f;
    float cutoff = 0.0f;
    // Added to every sample written into the lines, so that a silent loop holds values of this
    // size instead of decaying through denormals. Its sign flips after every Process call: fed
    // back at a gain of up to 1 (the limiter passes values this small unchanged), an offset of
    // one sign would pile up in the lines as a growing DC offset; alternating, it cancels out.
    float writeOffset = kWriteOffset;
};
