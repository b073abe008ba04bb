#include "legacy/framework/ProcessDispatcher.h"

namespace VovezEdeduvo {

ProcessDispatcher::ProcessDispatcher(uint32_t numInputs, uint32_t numOutputs)
    : numInputs(numInputs),
      numOutputs(numOutputs),
      inputPointers(new float*[numInputs]()),
      outputPointers(new float*[numOutputs]())
{
}

void ProcessDispatcher::ProcessMessage(uint8_t, uint8_t, uint8_t) {}

void ProcessDispatcher::Process(float**, float**, int32_t) {}

void ProcessDispatcher::ProcessBlock(float** inputs, float** outputs, int32_t sampleFrames)
{
    if (sampleFrames <= 0)
        return; // queued events wait for a block with frames
    int32_t position = 0;
    while (position < sampleFrames) {
        if (midiQueue.Empty()) {
            ProcessRange(inputs, outputs, position, sampleFrames - position);
            return;
        }
        const QueuedMidiEvent event = midiQueue.Pop();
        ProcessMessage(event.status, event.data1, event.data2);
        // A negative offset compares as a huge one: beyond the block.
        if (static_cast<uint32_t>(event.deltaFrames) <= static_cast<uint32_t>(sampleFrames)) {
            // An event out of order takes effect where the block is now: rendering never goes
            // backwards.
            if (event.deltaFrames > position) {
                ProcessRange(inputs, outputs, position, event.deltaFrames - position);
                position = event.deltaFrames;
            }
        } else {
            while (!midiQueue.Empty()) {
                const QueuedMidiEvent late = midiQueue.Pop();
                ProcessMessage(late.status, late.data1, late.data2);
            }
        }
    }
}

void ProcessDispatcher::ProcessRange(float** inputs, float** outputs, int32_t offset, int32_t count)
{
    while (count > 0) {
        for (uint32_t i = 0; i < numInputs; ++i)
            inputPointers[i] = inputs[i] + offset;
        for (uint32_t o = 0; o < numOutputs; ++o)
            outputPointers[o] = outputs[o] + offset;
        const int32_t piece = count > kLongestPiece ? kLongestPiece : count;
        Process(inputPointers.get(), outputPointers.get(), piece);
        offset += piece;
        count -= piece;
    }
}

} // namespace VovezEdeduvo
