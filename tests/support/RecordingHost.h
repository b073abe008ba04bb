#pragma once
// A stand-in host: answers the callback opcodes the effect relies on and records every call.

#include "effect_base/VstInterface.h"

#include <vector>

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

struct RecordingHost {
    VstIntPtr version = 2400;
    VstTimeInfo time{};
    bool answerTime = true;
    std::vector<HostCall> calls;

    static RecordingHost& Instance()
    {
        static RecordingHost host;
        return host;
    }
    static void Reset()
    {
        Instance() = RecordingHost();
        Instance().time.tempo = 120.0;
        Instance().time.flags = kVstTransportPlaying | kVstTempoValid;
    }
    static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                          float opt)
    {
        RecordingHost& host = Instance();
        host.calls.push_back({effect, opcode, index, value, opt});
        switch (opcode) {
        case audioMasterVersion:
            return host.version;
        case audioMasterGetTime:
            return host.answerTime ? reinterpret_cast<VstIntPtr>(&host.time) : 0;
        default:
            return 0;
        }
    }
    std::vector<HostCall> CallsOf(VstInt32 opcode) const
    {
        std::vector<HostCall> found;
        for (const HostCall& call : calls)
            if (call.opcode == opcode)
                found.push_back(call);
        return found;
    }
};
