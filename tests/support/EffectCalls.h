#pragma once
// What a host does through nothing but an effect's record: opcodes, texts, chunks, blocks of
// audio, events and parameters. The free functions take the record; fixtures inherit
// EffectCalls over a record pointer of their own.

#include "description/EffectDescription.h"
#include "effect_base/VstInterface.h"
#include "tests/support/EventList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace TestSupport {

inline VstIntPtr Dispatch(AEffect* record, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f)
{
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

// processEvents with one control change on channel 1, then one block of 64 frames, on a thread
// of their own, as a host's audio thread would; returns once both are done.
inline void ControlChangeOnAudioThread(AEffect* record, int controllerNumber, int value)
{
    std::thread audio([&] {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.midiData[0] = static_cast<char>(0xB0);
        event.midiData[1] = static_cast<char>(controllerNumber);
        event.midiData[2] = static_cast<char>(value);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&event);
        record->dispatcher(record, effProcessEvents, 0, 0, &events, 0.0f);
        float left[64] = {};
        float right[64] = {};
        float* channels[2] = {left, right};
        record->processReplacing(record, channels, channels, 64);
    });
    audio.join();
}

// A string opcode's answer. The buffer is filled with a sentinel, so an answer that forgets
// its terminator runs into the sentinel instead of passing by luck.
inline std::string Text(AEffect* record, VstInt32 opcode, VstInt32 index = 0)
{
    char text[256];
    std::fill(std::begin(text), std::end(text), 'x');
    text[sizeof text - 1] = 0;
    Dispatch(record, opcode, index, 0, text);
    return text;
}

// A copy of the program (preset) or bank chunk.
inline std::vector<uint8_t> Chunk(AEffect* record, bool preset)
{
    void* data = nullptr;
    const VstIntPtr size = Dispatch(record, effGetChunk, preset ? 1 : 0, 0, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

// Hands the effect a copy, as a host hands it memory of its own.
inline VstIntPtr SetChunk(AEffect* record, std::vector<uint8_t> bytes, bool preset)
{
    return Dispatch(record, effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()),
                    bytes.empty() ? nullptr : bytes.data());
}

// Starts an instance the way hosts do.
inline void Start(AEffect* record, float rate, VstInt32 block)
{
    Dispatch(record, effOpen);
    Dispatch(record, effSetSampleRate, 0, 0, nullptr, rate);
    Dispatch(record, effSetBlockSize, 0, block);
    Dispatch(record, effMainsChanged, 0, 1);
}

// Processes the two channels in place, block by block.
inline void Render(AEffect* record, std::vector<float>& left, std::vector<float>& right, VstInt32 block)
{
    for (size_t at = 0; at < left.size(); at += static_cast<size_t>(block)) {
        const auto frames = static_cast<VstInt32>(std::min(left.size() - at, static_cast<size_t>(block)));
        float* channels[2] = {left.data() + at, right.data() + at};
        record->processReplacing(record, channels, channels, frames);
    }
}

inline VstIntPtr SendMidi(AEffect* record, const std::vector<VstMidiEvent>& events)
{
    EventList list(events.size());
    for (const VstMidiEvent& event : events)
        list.Add(event);
    return Dispatch(record, effProcessEvents, 0, 0, list.Events());
}

// Rewrites the vendor version a chunk's header carries.
inline void SetChunkVersion(std::vector<uint8_t>& chunk, int32_t version)
{
    std::memcpy(chunk.data() + MorlentDelay::kChunkHeaderSize - 4, &version, 4);
}

// A bank chunk as the effect writes it, with its controller map replaced: for each parameter
// the controller bound to it, or -1 for none.
inline std::vector<uint8_t> BankWithBindings(const std::vector<uint8_t>& bank,
                                             const int (&controllers)[MorlentDelay::kParameterCount])
{
    std::vector<uint8_t> result(bank.begin(), bank.begin() + MorlentDelay::kBankProgramsSize);
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

class EffectCalls {
public:
    // record: the owner's own pointer, read at every call, so the owner may open and close
    // instances as it likes.
    explicit EffectCalls(AEffect* const& record) : target(record) {}

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const
    {
        return TestSupport::Dispatch(target, opcode, index, value, ptr, opt);
    }
    std::string Text(VstInt32 opcode, VstInt32 index = 0) const { return TestSupport::Text(target, opcode, index); }
    std::vector<uint8_t> Chunk(bool preset) const { return TestSupport::Chunk(target, preset); }
    VstIntPtr SetChunk(std::vector<uint8_t> bytes, bool preset) const
    {
        return TestSupport::SetChunk(target, std::move(bytes), preset);
    }
    void Start(float rate, VstInt32 block) const { TestSupport::Start(target, rate, block); }
    void Render(std::vector<float>& left, std::vector<float>& right, VstInt32 block) const
    {
        TestSupport::Render(target, left, right, block);
    }
    // One block of silence, in place.
    void Process(int frames) const
    {
        std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
        float* channels[2] = {left.data(), right.data()};
        target->processReplacing(target, channels, channels, frames);
    }
    VstIntPtr SendMidi(const std::vector<VstMidiEvent>& events) const
    {
        return TestSupport::SendMidi(target, events);
    }
    void SetParameter(VstInt32 index, float value) const { target->setParameter(target, index, value); }
    float GetParameter(VstInt32 index) const { return target->getParameter(target, index); }

private:
    AEffect* const& target;
};

} // namespace TestSupport
