#pragma once

#include "dsp/FilterKind.h"
#include "legacy/parameters/MaskedDelayLine.h"
#include "legacy/parameters/OnePoleHighPass.h"
#include "legacy/parameters/OnePoleLowPass.h"

#include <cstdint>

namespace VovezEdeduvo {
namespace Effects {

// The first generation's stereo signal path: two masked delay lines read at per-sample delays,
// an optional one-pole low-pass or high-pass in the delayed path, feedback without a limiter
// (optionally crossed between the channels) and a per-sample wet/dry mix. The delays and the
// mix come from ramps its parameters fill before each call.
//
// Threads: a plain DSP object without locks; its owner serialises every call (Process runs on
// the audio thread).
class DelayProcessor {
public:
    // The line length of the 32-bit module.
    static constexpr uint32_t kModuleLineLength = 262144;
    // The most frames one ramp holds, so the most one Process call reads from the ramps.
    static constexpr int32_t kMaxFrames = 16384;
    // The filters' rate, for ever: a later host rate does not recompute them.
    static constexpr float kFilterSampleRate = 44100.0f;
    static constexpr float kWriteOffset = 1e-25f;
    // Input samples beyond this magnitude carry no sound, only the risk that a sum in a filter
    // or the feedback overflows to infinity and poisons the lines for good; they count as
    // silence, as infinities and NaNs do.
    static constexpr float kLargestInput = 1e30f;

    // What the next calls render with, handed over whole and read once per Process call.
    struct Settings {
        // When off, Process copies the inputs and leaves the lines alone.
        bool enabled = true;
        float feedback = 0.0f;
        bool crossFeedback = false;
        Dsp::FilterKind filter = Dsp::FilterKind::None;
    };

    // --- Set-up: may allocate; never on the audio thread ---

    // Allocates both lines (rounded up to a power of two).
    explicit DelayProcessor(uint32_t lineLength = kModuleLineLength);

    // --- Settings: allocation-free, between Process calls ---

    void SetSettings(const Settings& newSettings) noexcept { settings = newSettings; }
    // Cutoff in Hz for all four filters, without a clamp; a NaN or negative cutoff is ignored.
    void SetCutoff(float hz) noexcept;
    // The per-sample delays (samples) and mix the next Process calls read. Each array holds at
    // least kMaxFrames values; the delays are finite, at least 0 and below 2^24.
    void SetRamps(const float* leftDelay, const float* rightDelay, const float* mix) noexcept;
    // True only while each delay ramp holds one value throughout, as an idle smoother's does:
    // the next call then takes the delays from the ramps' first values without surveying them.
    // New ramps are not held until said so.
    void SetDelaysHeld(bool held) noexcept { delaysHeld = held; }

    // --- Reset ---

    // Empties both lines and the filter states; the write positions stay.
    void Reset() noexcept;

    // --- Process ---

    // Renders count frames; the outputs may be the inputs. A call longer than kMaxFrames goes in
    // pieces, each reading the ramps from their start.
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count) noexcept;

    // The input a line and a filter see for a host sample.
    static float Sanitise(float x) noexcept { return x <= kLargestInput && x >= -kLargestInput ? x : 0.0f; }

    const Settings& GetSettings() const noexcept { return settings; }
    float GetCutoff() const noexcept { return leftLowPass.cutoff; }
    const MaskedDelayLine& GetLeftLine() const noexcept { return leftLine; }
    const MaskedDelayLine& GetRightLine() const noexcept { return rightLine; }
    const OnePoleLowPass& GetLeftLowPass() const noexcept { return leftLowPass; }
    const OnePoleLowPass& GetRightLowPass() const noexcept { return rightLowPass; }
    const OnePoleHighPass& GetLeftHighPass() const noexcept { return leftHighPass; }
    const OnePoleHighPass& GetRightHighPass() const noexcept { return rightHighPass; }

private:
    // Stretches of frames rendered a pass at a time; delays too short for the shortest go
    // frame by frame.
    static constexpr int32_t kLongestStretch = 64;
    static constexpr int32_t kShortestStretch = 8;

    // Set-up, once, by the constructor: the filters keep that rate's coefficients for good.
    void SetSampleRate(float hz) noexcept;
    void Render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count) noexcept;
    template <Dsp::FilterKind filter, bool cross>
    void RenderFrames(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                      int32_t count) noexcept;
    template <Dsp::FilterKind filter, bool cross, bool fixedDelay>
    void RenderStretches(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count,
                         int32_t longest) noexcept;

    const float* leftDelayRamp;
    const float* rightDelayRamp;
    const float* mixRamp;
    OnePoleLowPass leftLowPass;
    OnePoleLowPass rightLowPass;
    OnePoleHighPass leftHighPass;
    OnePoleHighPass rightHighPass;
    MaskedDelayLine leftLine;
    MaskedDelayLine rightLine;
    Settings settings;
    bool delaysHeld = false;
};

} // namespace Effects
} // namespace VovezEdeduvo
