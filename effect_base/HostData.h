#pragma once
// Reading what a host hands an effect, the same way in both modules.

#include "effect_base/VstInterface.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

// Calls onMidi(deltaFrames, status, data1, data2) for every MIDI event of a host's list, in
// order; null entries and other kinds of event are skipped. Allocation-free: audio thread.
template <typename OnMidi> void ForEachMidiEvent(const VstEvents* events, OnMidi onMidi)
{
    if (events == nullptr || events->numEvents <= 0)
        return;
    // The host allocates as many pointers as it announces; the declared two are only the shape.
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (event == nullptr || event->type != kVstMidiType)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        onMidi(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]), static_cast<uint8_t>(midi->midiData[1]),
               static_cast<uint8_t>(midi->midiData[2]));
    }
}

// A private copy of a host's chunk, read from while the host may reuse its buffer: null for a
// null pointer, a size outside 1..largest, or no memory. Allocates: never on the audio thread.
inline std::unique_ptr<uint8_t[]> CopyHostChunk(const void* data, VstInt32 size, VstInt32 largest)
{
    if (data == nullptr || size <= 0 || size > largest)
        return nullptr;
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (copy)
        std::memcpy(copy.get(), data, static_cast<size_t>(size));
    return copy;
}

// canDo's answer: 1 for one of the capabilities, compared byte for byte (case and trailing
// characters matter), -1 for anything else; never 0.
template <size_t count> VstInt32 CanDoAnswer(const char* text, const char* const (&capabilities)[count])
{
    if (text == nullptr)
        return -1;
    for (const char* capability : capabilities)
        if (std::strcmp(text, capability) == 0)
            return 1;
    return -1;
}
