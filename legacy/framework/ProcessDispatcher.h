#pragma once

#include "common/MidiEventQueue.h"

#include <cstdint>
#include <memory>

namespace VovezEdeduvo {

using QueuedMidiEvent = Morlent::MidiEvent;

// Renders a host block in pieces between its MIDI events. Each message is handled first and
// then the range that ends at its own frame is rendered, so it takes effect from the start of
// that range; events beyond the block are all handled before the rest of the block is rendered.
// No piece handed to Process is longer than kLongestPiece frames.
class ProcessDispatcher {
public:
    static constexpr int32_t kLongestPiece = 16384;

    ProcessDispatcher(uint32_t numInputs, uint32_t numOutputs);
    virtual ~ProcessDispatcher() = default;
    ProcessDispatcher(const ProcessDispatcher&) = delete;
    ProcessDispatcher& operator=(const ProcessDispatcher&) = delete;

    // --- audio thread ---
    virtual void ProcessMessage(uint8_t status, uint8_t data1, uint8_t data2);
    virtual void Process(float** inputs, float** outputs, int32_t count);

    // From processEvents. Room for a few thousand events is kept, so the queue only grows for
    // a host that sends more; it never loses one.
    void QueueMidiEvent(const QueuedMidiEvent& event) { midiQueue.Push(event); }
    void ProcessBlock(float** inputs, float** outputs, int32_t sampleFrames);
    void ProcessRange(float** inputs, float** outputs, int32_t offset, int32_t count);
    uint32_t PendingMidiEventCount() const { return midiQueue.Size(); }

    uint32_t GetInputCount() const { return numInputs; }
    uint32_t GetOutputCount() const { return numOutputs; }

private:
    uint32_t numInputs;
    uint32_t numOutputs;
    std::unique_ptr<float*[]> inputPointers;
    std::unique_ptr<float*[]> outputPointers;
    Morlent::MidiEventQueue midiQueue;
};

} // namespace VovezEdeduvo
