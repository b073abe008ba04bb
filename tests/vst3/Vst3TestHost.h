#pragma once
// The host side of the VST 3 interfaces for the tests: a memory stream, parameter changes of
// fixed capacity and a component handler that records what the effect told it.

#include "vst3/MemoryStream.h"
#include "vst3/ReferenceCounting.h"
#include "vst3/Vst3Interface.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace Vst3Test {

using namespace Vst3;

using Vst3::MemoryStream;

class ValueQueue : public Unowned<IParamValueQueue> {
public:
    static constexpr int32 kCapacity = 64;
    ParamID VST3_API getParameterId() override { return id; }
    int32 VST3_API getPointCount() override { return count; }
    tresult VST3_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) override
    {
        if (index < 0 || index >= count)
            return kInvalidArgument;
        sampleOffset = offsets[index];
        value = values[index];
        return kResultOk;
    }
    tresult VST3_API addPoint(int32 sampleOffset, ParamValue value, int32& index) override
    {
        if (count == kCapacity)
            return kResultFalse;
        offsets[count] = sampleOffset;
        values[count] = value;
        index = count++;
        return kResultOk;
    }

    ParamID id = 0;
    int32 count = 0;
    int32 offsets[kCapacity] = {};
    ParamValue values[kCapacity] = {};
};

// Storage reserved up front, so a test's audio thread never allocates through it.
class ParameterChanges : public Unowned<IParameterChanges> {
public:
    static constexpr int32 kCapacity = 32;
    int32 VST3_API getParameterCount() override { return count; }
    IParamValueQueue* VST3_API getParameterData(int32 index) override
    {
        return index >= 0 && index < count ? &queues[index] : nullptr;
    }
    IParamValueQueue* VST3_API addParameterData(const ParamID& id, int32& index) override
    {
        for (int32 i = 0; i < count; ++i)
            if (queues[i].id == id) {
                index = i;
                return &queues[i];
            }
        if (count == kCapacity)
            return nullptr;
        queues[count].id = id;
        queues[count].count = 0;
        index = count;
        return &queues[count++];
    }
    void Add(ParamID id, int32 offset, ParamValue value)
    {
        int32 index = 0;
        if (IParamValueQueue* queue = addParameterData(id, index))
            queue->addPoint(offset, value, index);
    }
    void Clear() { count = 0; }

    ValueQueue queues[kCapacity];
    int32 count = 0;
};

class RecordingHandler : public Unowned<IComponentHandler> {
public:
    tresult VST3_API beginEdit(ParamID id) override
    {
        calls.push_back("begin " + std::to_string(id));
        return kResultOk;
    }
    tresult VST3_API performEdit(ParamID id, ParamValue value) override
    {
        calls.push_back("perform " + std::to_string(id));
        values.push_back(value);
        lastValue = value;
        return kResultOk;
    }
    tresult VST3_API endEdit(ParamID id) override
    {
        calls.push_back("end " + std::to_string(id));
        return kResultOk;
    }
    tresult VST3_API restartComponent(int32 flags) override
    {
        calls.push_back("restart " + std::to_string(flags));
        return kResultOk;
    }

    std::vector<std::string> calls;
    std::vector<ParamValue> values; // of each performEdit
    ParamValue lastValue = -1.0;
};

// One stereo block's buffers and the records process takes, pointing at them.
struct StereoBlock {
    explicit StereoBlock(int32 frames)
        : inLeft(frames), inRight(frames), outLeft(frames), outRight(frames)
    {
        inputs[0] = inLeft.data();
        inputs[1] = inRight.data();
        outputs[0] = outLeft.data();
        outputs[1] = outRight.data();
        inBus.numChannels = 2;
        inBus.silenceFlags = 0;
        inBus.channelBuffers32 = inputs;
        outBus.numChannels = 2;
        outBus.silenceFlags = 0;
        outBus.channelBuffers32 = outputs;
        std::memset(&data, 0, sizeof data);
        data.processMode = kRealtime;
        data.symbolicSampleSize = kSample32;
        data.numSamples = frames;
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
    }

    std::vector<float> inLeft, inRight, outLeft, outRight;
    float* inputs[2];
    float* outputs[2];
    AudioBusBuffers inBus{};
    AudioBusBuffers outBus{};
    ProcessData data{};
};

} // namespace Vst3Test
