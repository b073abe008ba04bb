#pragma once
// Helpers for tests that play a host against the loaded module from several threads. Nothing
// here allocates once constructed, so the audio-thread side can run inside allocation counters.

#include "effect_base/VstInterface.h"

#include <atomic>
#include <cstdint>
#include <vector>

// A host callback without recording: answers the version and the time query, counts automation.
struct QuietHost {
    static std::atomic<double>& Tempo()
    {
        static std::atomic<double> tempo{120.0};
        return tempo;
    }
    static std::atomic<int>& Flags()
    {
        static std::atomic<int> flags{kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid};
        return flags;
    }
    static std::atomic<bool>& AnswerTime()
    {
        static std::atomic<bool> answer{true};
        return answer;
    }
    static std::atomic<long>& Automations()
    {
        static std::atomic<long> count{0};
        return count;
    }
    static VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
    {
        // One time record per thread that asks; the audio thread is the only one that does.
        thread_local VstTimeInfo time{};
        switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterAutomate:
            Automations().fetch_add(1, std::memory_order_relaxed);
            return 0;
        case audioMasterGetTime:
            if (!AnswerTime().load(std::memory_order_relaxed))
                return 0;
            time.tempo = Tempo().load(std::memory_order_relaxed);
            time.flags = Flags().load(std::memory_order_relaxed);
            time.ppqPos += 0.01;
            time.timeSigNumerator = 4;
            time.timeSigDenominator = 4;
            return reinterpret_cast<VstIntPtr>(&time);
        default:
            return 0;
        }
    }
};

// A fixed list of MIDI events, reused block after block.
struct MidiBlock {
    struct List {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[64];
    } list{};
    VstMidiEvent events[64]{};

    void Clear() { list.numEvents = 0; }
    void Add(VstInt32 frame, uint8_t status, uint8_t data1, uint8_t data2)
    {
        if (list.numEvents >= 64)
            return;
        VstMidiEvent& event = events[list.numEvents];
        event = VstMidiEvent{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.deltaFrames = frame;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&event);
    }
    VstEvents* Events() { return reinterpret_cast<VstEvents*>(&list); }
};

// A bank chunk as our plug-in writes it, with controller bindings appended.
inline std::vector<uint8_t> BankWithBindings(const std::vector<uint8_t>& bank, const int (&controllers)[12])
{
    std::vector<uint8_t> result(bank.begin(), bank.begin() + 2468);
    for (int controller : controllers) {
        if (controller < 0) {
            result.push_back(0);
        } else {
            result.push_back(1);
            result.push_back(static_cast<uint8_t>(controller));
        }
    }
    return result;
}
