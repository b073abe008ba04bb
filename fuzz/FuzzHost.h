#pragma once
// What the fuzz targets share: a fresh instance of the real effect on a quiet stand-in host.

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
