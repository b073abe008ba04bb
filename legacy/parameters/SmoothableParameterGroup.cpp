#include "legacy/parameters/SmoothableParameterGroup.h"

namespace VovezEdeduvo {
namespace ParameterHandling {

SmoothableParameterGroup::SmoothableParameterGroup(int32_t parameterCount, int32_t programCount)
    : ParameterGroup(parameterCount, programCount)
{
}

void SmoothableParameterGroup::AddSmoother(int32_t index)
{
    std::unique_ptr<ParameterSmoother>& smoother = smoothers[index];
    if (smoother)
        return;
    smoother = std::make_unique<ParameterSmoother>();
    smoother->SetSampleRate(GetSampleRate());
    inOrder.clear();
    for (auto& entry : smoothers)
        inOrder.push_back(entry.second.get());
}

const ParameterSmoother* SmoothableParameterGroup::GetSmoother(int32_t index) const
{
    const auto found = smoothers.find(index);
    return found == smoothers.end() ? nullptr : found->second.get();
}

const float* SmoothableParameterGroup::GetSmoothedValues(int32_t index) const
{
    const ParameterSmoother* smoother = GetSmoother(index);
    return smoother != nullptr ? smoother->GetRamp() : ParameterSmoother::ZeroRamp();
}

void SmoothableParameterGroup::SetSmootherTarget(int32_t index, float value)
{
    const auto found = smoothers.find(index);
    if (found != smoothers.end())
        found->second->SetTarget(value);
}

void SmoothableParameterGroup::Advance(int32_t count)
{
    while (count > ParameterSmoother::kRampLength) {
        AdvancePiece(ParameterSmoother::kRampLength);
        count -= ParameterSmoother::kRampLength;
    }
    if (count > 0)
        AdvancePiece(count);
}

void SmoothableParameterGroup::AdvancePiece(int32_t count)
{
    // The moving smoothers run side by side; the others only settle or stay idle. The smoothers
    // are independent, so the order of their work changes no value.
    constexpr int32_t kBatch = 4;
    ParameterSmoother* moving[kBatch];
    int32_t movingCount = 0;
    for (ParameterSmoother* smoother : inOrder) {
        const ParameterSmoother::Mode mode = smoother->GetMode();
        if (mode == ParameterSmoother::kIdle)
            continue;
        if (mode != ParameterSmoother::kMoving) {
            smoother->Advance(count);
            continue;
        }
        moving[movingCount++] = smoother;
        if (movingCount == kBatch) {
            ParameterSmoother::AdvanceTogether(moving, movingCount, count);
            movingCount = 0;
        }
    }
    ParameterSmoother::AdvanceTogether(moving, movingCount, count);
}

void SmoothableParameterGroup::ResetSmoothers()
{
    for (auto& entry : smoothers)
        entry.second->Reset();
}

void SmoothableParameterGroup::OnSampleRateChanged(float hz)
{
    for (auto& entry : smoothers)
        entry.second->SetSampleRate(hz);
}

} // namespace ParameterHandling
} // namespace VovezEdeduvo
