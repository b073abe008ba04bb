#pragma once

#include "legacy/parameters/ParameterGroup.h"
#include "legacy/parameters/ParameterSmoother.h"
#include "legacy/parameters/SampleRate.h"

#include <map>
#include <memory>
#include <vector>

namespace VovezEdeduvo {
namespace ParameterHandling {

// A parameter group whose chosen parameters also become per-sample ramps for the audio code,
// computed a block at a time by Advance.
class SmoothableParameterGroup : public ParameterGroup, public SampleRate {
public:
    SmoothableParameterGroup(int32_t parameterCount, int32_t programCount);

    // Set-up: allocates. An index that already has a smoother keeps it.
    void AddSmoother(int32_t index);
    // The ramp of an index's smoother; it stays in place for the group's lifetime. An index
    // without a smoother reads as zeros.
    const float* GetSmoothedValues(int32_t index) const;
    const ParameterSmoother* GetSmoother(int32_t index) const;
    void SetSmootherTarget(int32_t index, float value);

    // Audio thread. Fills every smoother's ramp for the next count samples. A count beyond
    // the ramps' length moves the smoothers over the whole count in pieces and leaves the last
    // piece in the ramps.
    void Advance(int32_t count);
    // Every smoother jumps to its target.
    void ResetSmoothers();

    // Every smoother's coefficient for the new rate.
    void OnSampleRateChanged(float hz) override;

private:
    void AdvancePiece(int32_t count);

    std::map<int32_t, std::unique_ptr<ParameterSmoother>> smoothers;
    // The same smoothers in index order, for the audio thread's walk through them.
    std::vector<ParameterSmoother*> inOrder;
};

} // namespace ParameterHandling
} // namespace VovezEdeduvo
