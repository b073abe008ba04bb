#pragma once
// What the 64-bit fuzz targets share: the real effect on a quiet stand-in host, built as the
// entry point builds it (FuzzEffect), or one instance for the whole run (SixtyFourBit()).

#include "FuzzInstance.h"
#include "delay/MorlentDelayModel.h"
#include "framework/Controller.h"
#include "support/EffectCalls.h"
#include "support/StandInHost.h"

// The effect as the entry point builds it; closing goes through the record like a host's.
// The host records nothing, so a long run does not grow.
struct FuzzEffect : TestSupport::EffectCalls {
    AEffect* record = nullptr;
    FuzzEffect() : EffectCalls(record)
    {
        TestSupport::StandInHost::Reset().records = false;
        record = (new VstToolkit::Controller(TestSupport::StandInHost::Callback, new MorlentDelayModel))->getAeffect();
    }
    ~FuzzEffect() { Dispatch(effClose); }
    FuzzEffect(const FuzzEffect&) = delete;
    FuzzEffect& operator=(const FuzzEffect&) = delete;
};

namespace FuzzSupport {

inline MorlentDelayModel& SixtyFourBitModel(AEffect* record)
{
    auto* controller = static_cast<VstToolkit::Controller*>(static_cast<AudioEffect*>(record->object));
    return *static_cast<MorlentDelayModel*>(controller->GetModel());
}

inline Generation SixtyFourBit()
{
    Generation generation{
        []() -> AEffect* {
            return (new VstToolkit::Controller(TestSupport::StandInHost::Callback, new MorlentDelayModel))->getAeffect();
        },
        [](AEffect* record) { return SixtyFourBitModel(record).PendingMidiEventCount(); }};
    generation.settle = [](AEffect* record) {
        // A rate change hands the engine new zeroed lines and brings its delays to their targets,
        // as building it does; the block takes them over now.
        TestSupport::Dispatch(record, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        TestSupport::Dispatch(record, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        float silence[2][1] = {{0.0f}, {0.0f}};
        float* channels[2] = {silence[0], silence[1]};
        record->processReplacing(record, channels, channels, 1);
        // The host's transport as a new model assumes it.
        MorlentDelayModel& model = SixtyFourBitModel(record);
        model.StoreTempo(120.0);
        model.StorePpqPosition(0.0);
        model.StorePlaying(true);
        model.StoreTimeSignature(4, 4);
    };
    return generation;
}

} // namespace FuzzSupport
