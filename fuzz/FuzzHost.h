#pragma once
// What the 64-bit fuzz targets share: the real effect on a quiet stand-in host, built as the
// entry point builds it (FuzzEffect), or one instance for the whole run (SixtyFourBit()).

#include "fuzz/FuzzInstance.h"
#include "delay/MorlentDelayModel.h"
#include "vst2/Controller.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/StandInHost.h"

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
        // The filters' states and the sign of the write offset outlive a program change; no host
        // call brings them back, so the engine itself goes back to how building it leaves it.
        MorlentDelayModel& model = SixtyFourBitModel(record);
        model.RestartEngine();
        // The host's transport as a new model assumes it.
        model.StoreTempo(120.0);
        model.StorePpqPosition(0.0);
        model.StorePlaying(true);
        model.StoreTimeSignature(4, 4);
    };
    return generation;
}

} // namespace FuzzSupport
