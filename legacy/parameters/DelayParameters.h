#pragma once

#include "legacy/parameters/DelayProcessor.h"
#include "legacy/parameters/SmoothableParameterGroup.h"
#include "legacy/parameters/Tempo.h"

namespace VovezEdeduvo {
namespace Effects {

// The first generation's twelve delay parameters: their names, the mapping of their values onto
// a DelayProcessor, the delay times and the mix as smoothed ramps, and their display strings.
//
// Threads: no locks; the model serialises every call, its audio-thread Advance included.
class DelayParameters : public ParameterHandling::SmoothableParameterGroup, public Tempo {
public:
    // Every delay target stays below this many samples, so the float holding it counts whole
    // samples exactly; longer ones are cut to it (they would wrap through the line anyway).
    static constexpr float kLongestDelaySamples = 16777215.0f; // 2^24 - 1

    // Set-up: allocates. The processor is not owned and must outlive the group.
    DelayParameters(int32_t programCount, DelayProcessor* processor);

    // Values of the current program, each parameter's reaction.
    void OnParameterValueChanged(int32_t index, float value) override;
    void GetParameterDisplay(int32_t index, char* text, int32_t maxLength) override;
    // The delays in samples follow the new rate; then the smoothers' coefficients do.
    void OnSampleRateChanged(float hz) override;
    // Synced delays follow the tempo.
    void OnTempoChanged(float bpm) override;

    enum Channel { kLeft, kRight };
    // The channel's delay in samples from the current settings, as the smoother's new target.
    void UpdateDelayTarget(Channel channel);
    // The delay UpdateDelayTarget asks for, before it becomes a float.
    static long double DelaySamples(bool sync, float seconds, int32_t noteIndex, float tempo, float sampleRate);

    float GetLeftSeconds() const { return leftSeconds; }
    float GetRightSeconds() const { return rightSeconds; }
    bool IsSyncEnabled() const { return syncEnabled; }
    int32_t GetLeftNoteIndex() const { return leftNoteIndex; }
    int32_t GetRightNoteIndex() const { return rightNoteIndex; }
    float GetMix() const { return mix; }
    // Audio thread. The ramps for the next count samples, and whether the processor may take
    // the delays as held throughout.
    void Advance(int32_t count);

private:
    // Whether both delay smoothers are idle, so that their ramps hold one value throughout.
    bool DelaysHeld() const;

    DelayProcessor* processor;
    const ParameterHandling::ParameterSmoother* leftDelaySmoother;
    const ParameterHandling::ParameterSmoother* rightDelaySmoother;
    float leftSeconds = 1.0f;
    float rightSeconds = 0.5f;
    bool syncEnabled = false;
    int32_t leftNoteIndex = 2;
    int32_t rightNoteIndex = 2;
    float mix = 0.5f;
    // The filter switch and the filter type chosen, together the processor's filter.
    bool filterEnabled = false;
    Dsp::FilterKind filterType = Dsp::FilterKind::LowPass;
};

} // namespace Effects
} // namespace VovezEdeduvo
