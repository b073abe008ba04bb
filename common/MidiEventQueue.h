#pragma once

#include <cstdint>
#include <memory>

namespace Morlent {

struct MidiEvent {
    int32_t deltaFrames;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

// First-in first-out queue between processEvents and processReplacing, both on the audio
// thread. Room for kInitialCapacity events is reserved up front so ordinary blocks never
// allocate there; a host that sends more still loses nothing, the queue grows in Push, outside
// any sample loop.
class MidiEventQueue {
public:
    static constexpr uint32_t kInitialCapacity = 4096;

    MidiEventQueue() : events_(new MidiEvent[kInitialCapacity]), capacity_(kInitialCapacity) {}

    void Push(const MidiEvent& event)
    {
        if (count_ == capacity_)
            Grow();
        uint32_t back = front_ + count_;
        if (back >= capacity_)
            back -= capacity_;
        events_[back] = event;
        ++count_;
    }
    bool Empty() const { return count_ == 0; }
    uint32_t Size() const { return count_; }
    uint32_t Capacity() const { return capacity_; }
    MidiEvent Pop()
    {
        const MidiEvent event = events_[front_];
        if (++front_ == capacity_)
            front_ = 0;
        --count_;
        return event;
    }

private:
    void Grow()
    {
        const uint32_t capacity = capacity_ * 2;
        std::unique_ptr<MidiEvent[]> grown(new MidiEvent[capacity]);
        for (uint32_t i = 0; i < count_; ++i) {
            uint32_t from = front_ + i;
            if (from >= capacity_)
                from -= capacity_;
            grown[i] = events_[from];
        }
        events_ = std::move(grown);
        capacity_ = capacity;
        front_ = 0;
    }

    std::unique_ptr<MidiEvent[]> events_;
    uint32_t capacity_;
    uint32_t front_ = 0;
    uint32_t count_ = 0;
};

} // namespace Morlent
