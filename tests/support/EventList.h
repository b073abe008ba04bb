#pragma once
// A host's event list of MIDI events: room for a number of events fixed at construction, so
// refilling it block after block never allocates.

#include "effect_base/VstInterface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace TestSupport {

// A short MIDI message at a frame of the next block.
inline VstMidiEvent MidiEvent(VstInt32 frame, int status, int data1, int data2)
{
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = frame;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

class EventList {
public:
    explicit EventList(size_t capacity = 64)
        : events(capacity),
          // The header, then one pointer per event; never fewer than the record declares.
          words(kHeaderWords + (capacity < 2 ? 2 : capacity))
    {
    }

    void Clear() { List()->numEvents = 0; }
    // Beyond the capacity nothing is added, and null is answered.
    VstMidiEvent* Add(const VstMidiEvent& event)
    {
        const size_t count = Size();
        if (count >= events.size())
            return nullptr;
        events[count] = event;
        AddPointer(reinterpret_cast<VstEvent*>(&events[count]));
        return &events[count];
    }
    // An entry that points elsewhere, or nowhere, as careless hosts send.
    void AddPointer(VstEvent* event)
    {
        const size_t count = Size();
        if (count >= events.size())
            return;
        // Through the words themselves: the record declares only two pointers.
        reinterpret_cast<VstEvent**>(words.data() + kHeaderWords)[count] = event;
        ++List()->numEvents;
    }
    VstMidiEvent* Add(VstInt32 frame, uint8_t status, uint8_t data1, uint8_t data2)
    {
        return Add(MidiEvent(frame, status, data1, data2));
    }
    size_t Size() const
    {
        const VstInt32 count = reinterpret_cast<const VstEvents*>(words.data())->numEvents;
        return count > 0 ? static_cast<size_t>(count) : 0;
    }
    VstEvents* Events() { return List(); }

private:
    static constexpr size_t kHeaderWords = offsetof(VstEvents, events) / sizeof(VstIntPtr);
    static_assert(offsetof(VstEvents, events) % sizeof(VstIntPtr) == 0, "the pointers follow the header");

    VstEvents* List() { return reinterpret_cast<VstEvents*>(words.data()); }

    std::vector<VstMidiEvent> events;
    std::vector<VstIntPtr> words;
};

} // namespace TestSupport
