#pragma once
// The host that tests, benchmarks and fuzzers play: it answers the callback opcodes the effect
// relies on, counts every call and, when asked to, records them.

#include "effect_base/VstInterface.h"

#include <atomic>
#include <vector>

namespace TestSupport {

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

// The callback carries no pointer of the host's own, so a program has one stand-in host.
// Recording appends to a vector: it allocates and belongs to one thread. A quiet host only
// counts, with atomics, so it may run inside allocation counters and be called from a host's
// two threads at once. The time record belongs to the thread that asks for it, which in a real
// host is the audio thread alone; tests change it there or while no audio runs.
class StandInHost {
public:
    static constexpr VstIntPtr kVersion = 2400;
    // Host opcodes below this are counted; the effect uses none above it.
    static constexpr VstInt32 kCountedOpcodes = 64;

    static StandInHost& Instance()
    {
        static StandInHost host;
        return host;
    }
    // A recording host, playing at 120 beats a minute, with nothing else in its time answer.
    static StandInHost& Reset()
    {
        StandInHost& host = Instance();
        host.version.store(kVersion);
        host.answerTime.store(true);
        host.records.store(true);
        host.time = VstTimeInfo{};
        host.time.tempo = 120.0;
        host.time.flags = kVstTransportPlaying | kVstTempoValid;
        host.ppqStep = 0.0;
        host.calls.clear();
        for (std::atomic<long>& count : host.counts)
            count.store(0);
        return host;
    }
    // A quiet host playing at 120 beats a minute in 4/4, its position moving on at every time
    // query as a real host's does between blocks.
    static StandInHost& ResetQuiet()
    {
        StandInHost& host = Reset();
        host.records.store(false);
        host.time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
        host.time.timeSigNumerator = 4;
        host.time.timeSigDenominator = 4;
        host.ppqStep = 0.01;
        return host;
    }

    static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                          float opt)
    {
        StandInHost& host = Instance();
        if (opcode >= 0 && opcode < kCountedOpcodes)
            host.counts[opcode].fetch_add(1, std::memory_order_relaxed);
        if (host.records.load(std::memory_order_relaxed))
            host.calls.push_back({effect, opcode, index, value, opt});
        switch (opcode) {
        case audioMasterVersion:
            return host.version.load(std::memory_order_relaxed);
        case audioMasterGetTime:
            if (!host.answerTime.load(std::memory_order_relaxed))
                return 0;
            host.time.ppqPos += host.ppqStep;
            return reinterpret_cast<VstIntPtr>(&host.time);
        default:
            return 0;
        }
    }

    // How often the host was called with an opcode, recording or not.
    long Count(VstInt32 opcode) const
    {
        return opcode >= 0 && opcode < kCountedOpcodes ? counts[opcode].load(std::memory_order_relaxed) : 0;
    }
    std::vector<HostCall> CallsOf(VstInt32 opcode) const
    {
        std::vector<HostCall> found;
        for (const HostCall& call : calls)
            if (call.opcode == opcode)
                found.push_back(call);
        return found;
    }

    // --- what the host answers ---
    std::atomic<VstIntPtr> version{kVersion}; // 0: a host that gives no version
    std::atomic<bool> answerTime{true};       // false: a host without time information
    std::atomic<bool> records{true};
    VstTimeInfo time{};
    double ppqStep = 0.0; // quarter notes the position moves on at every time query

    // --- what it was told, while recording ---
    std::vector<HostCall> calls;

private:
    StandInHost()
    {
        time.tempo = 120.0;
        time.flags = kVstTransportPlaying | kVstTempoValid;
    }

    std::atomic<long> counts[kCountedOpcodes]{};
};

} // namespace TestSupport
