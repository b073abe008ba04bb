#pragma once
// The host that tests, benchmarks and fuzzers play: it answers the callback opcodes the effect
// relies on, counts every call and, when asked to, records them.

#include "effect_base/VstInterface.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace TestSupport {

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::thread::id thread = {}; // who called
};

// The callback carries no pointer of the host's own, so a program has one stand-in host.
// Recording appends to a vector under a lock, so any thread may record (an editor's own thread
// too) while another awaits or reads the calls; it allocates. A quiet host only counts, with
// atomics, so it may run inside allocation and lock counters and be called from a host's two
// threads at once. The time record belongs to the thread that asks for it, which in a real
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
        {
            std::lock_guard<std::mutex> lock(host.callsLock);
            host.calls.clear();
        }
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
        if (host.records.load(std::memory_order_relaxed)) {
            {
                std::lock_guard<std::mutex> lock(host.callsLock);
                host.calls.push_back({effect, opcode, index, value, opt, std::this_thread::get_id()});
            }
            host.called.notify_all();
        }
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
        std::lock_guard<std::mutex> lock(callsLock);
        std::vector<HostCall> found;
        for (const HostCall& call : calls)
            if (call.opcode == opcode)
                found.push_back(call);
        return found;
    }

    // Waits until done answers true for the calls recorded so far, looking again at every new
    // call; false once the time is up. The calls come from whichever thread makes them.
    bool AwaitCalls(const std::function<bool(const std::vector<HostCall>&)>& done,
                    std::chrono::milliseconds patience) const
    {
        std::unique_lock<std::mutex> lock(callsLock);
        return called.wait_for(lock, patience, [&] { return done(calls); });
    }

    // --- what the host answers ---
    std::atomic<VstIntPtr> version{kVersion}; // 0: a host that gives no version
    std::atomic<bool> answerTime{true};       // false: a host without time information
    std::atomic<bool> records{true};
    VstTimeInfo time{};
    double ppqStep = 0.0; // quarter notes the position moves on at every time query

    // --- what it was told, while recording; callsLock guards it while another thread records ---
    std::vector<HostCall> calls;
    mutable std::mutex callsLock;

private:
    StandInHost()
    {
        time.tempo = 120.0;
        time.flags = kVstTransportPlaying | kVstTempoValid;
    }

    std::atomic<long> counts[kCountedOpcodes]{};
    mutable std::condition_variable called;
};

} // namespace TestSupport
