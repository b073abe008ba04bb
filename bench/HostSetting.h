#pragma once
// A host's everyday setting, the one every cost comparison runs in: the default program at
// 44.1 kHz (delays of 1 s and 0.25 s) with the low-pass on, feedback 0.7 and cross-feedback,
// 256-frame blocks, time information in every block. Both delays stay put, so the engine spends
// its time in idle low-pass stretches.

#include "description/EffectDescription.h"
#include "effect_base/VstInterface.h"

#include <cmath>
#include <cstdint>

namespace HostSetting {

constexpr int32_t kBlock = 256;
constexpr float kRate = 44100.0f;
constexpr float kFeedback = 0.7f; // in display units; the VST 2 parameter is its square root
constexpr float kPan = 1.0f;
constexpr float kFilter = 1.0f;
constexpr float kLowPass = 0.0f;

// Readies an opened VST 2 effect for the setting and switches it on.
inline void Prepare(AEffect* effect)
{
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, kRate);
    effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, MorlentDelay::kFeedbackLevel, std::sqrt(kFeedback));
    effect->setParameter(effect, MorlentDelay::kPan, kPan);
    effect->setParameter(effect, MorlentDelay::kFilter, kFilter);
    effect->setParameter(effect, MorlentDelay::kFilterType, kLowPass);
}

} // namespace HostSetting
