#pragma once
// What both fuzz targets share: a quiet host and a fresh instance of the real effect.

#include "delay/MorlentDelayModel.h"
#include "framework/Controller.h"

#include <memory>

inline VstIntPtr VSTCALLBACK FuzzHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    static VstTimeInfo time{};
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterGetTime) {
        time.tempo = 120.0;
        time.flags = kVstTransportPlaying | kVstTempoValid;
        return reinterpret_cast<VstIntPtr>(&time);
    }
    return 0;
}

// The effect as the entry point builds it; closing goes through the record like a host's.
struct FuzzEffect {
    AEffect* record;
    FuzzEffect() : record((new VstToolkit::Controller(FuzzHostCallback, new MorlentDelayModel))->getAeffect()) {}
    ~FuzzEffect() { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
};
