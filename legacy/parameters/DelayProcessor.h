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
// the audio thread). Members marked "set-up" may allocate.
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

    enum FilterType : int32_t { kLowPass = 0, kHighPass = 1 };

    // Set-up: allocates both lines (rounded up to a power of two).
    explicit DelayProcessor(uint32_t lineLength = kModuleLineLength);

    // Set-up. Called once by the constructor; the filters keep that rate's coefficients.
    void SetSampleRate(float hz);
    // Cutoff in Hz for all four filters, without a clamp; a NaN or negative cutoff is ignored.
    void SetCutoff(float hz);
    // The per-sample delays (samples) and mix the next Process calls read. Each array holds at
    // least kMaxFrames values; the delays are finite, at least 0 and below 2^24.
    void SetRamps(const float* leftDelay, const float* rightDelay, const float* mix);
    // Empties both lines and the filter states; the write positions stay.
    void Reset();

    // Audio thread, allocation-free. Renders count frames; the outputs may be the inputs. When
    // not enabled, copies the inputs and leaves the lines alone. A call longer than kMaxFrames
    // goes in pieces, each reading the ramps from their start.
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count);

    // The input a line and a filter see for a host sample.
    static float Sanitise(float x) { return x <= kLargestInput && x >= -kLargestInput ? x : 0.0f; }

    float GetCutoff() const { return leftLowPass.cutoff; }
    const MaskedDelayLine& GetLeftLine() const { return leftLine; }
    const MaskedDelayLine& GetRightLine() const { return rightLine; }
    const OnePoleLowPass& GetLeftLowPass() const { return leftLowPass; }
    const OnePoleLowPass& GetRightLowPass() const { return rightLowPass; }
    const OnePoleHighPass& GetLeftHighPass() const { return leftHighPass; }
    const OnePoleHighPass& GetRightHighPass() const { return rightHighPass; }

    // Written directly by the owner between calls.
    bool enabled = true;
    float feedback = 0.0f;
    bool crossFeedback = false;
    bool filterEnabled = false;
    int32_t filterType = kLowPass; // any other value: no filter
    // True only while each delay ramp holds one value throughout, as an idle smoother's does:
    // the next call then takes the delays from the ramps' first values without surveying them.
    bool delaysHeld = false;

private:
    // Stretches of frames rendered a pass at a time; delays too short for the shortest go
    // frame by frame.
    static constexpr int32_t kLongestStretch = 64;
    static constexpr int32_t kShortestStretch = 8;

    void Render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count);
    template <Dsp::FilterKind filter, bool cross>
    void RenderFrames(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count);
    template <Dsp::FilterKind filter, bool cross, bool fixedDelay>
    void RenderStretches(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count,
                         int32_t longest);

    const float* leftDelayRamp;
    const float* rightDelayRamp;
    const float* mixRamp;
    OnePoleLowPass leftLowPass;
    OnePoleLowPass rightLowPass;
    OnePoleHighPass leftHighPass;
    OnePoleHighPass rightHighPass;
    MaskedDelayLine leftLine;
    MaskedDelayLine rightLine;
};

} // namespace Effects
} // namespace VovezEdeduvo
