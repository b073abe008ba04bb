// The audio thread's block: the host's transport, the parameter points at their sample
// offsets, and the effect's frames between them. Nothing here allocates or locks. The parts of
// the process context the block reads are declared beside the code that reads them, for the
// host's question on the main thread before activation.

#include "vst3/Vst3Effect.h"

#include "description/EffectDescription.h"
#include "vst3/Vst3EffectInternal.h"

#include <cmath>
#include <cstring>
#include <thread>

namespace MorlentVst3 {

uint32 VST3_API Vst3Effect::getProcessContextRequirements()
{
    // Exactly what UpdateTime reads, and nothing it does not.
    return IProcessContextRequirements::kNeedTempo | IProcessContextRequirements::kNeedProjectTimeMusic |
           IProcessContextRequirements::kNeedTimeSignature | IProcessContextRequirements::kNeedTransportState;
}

void Vst3Effect::UpdateTime(const ProcessContext* context)
{
    // No context: the values stand as they were, as when a VST 2 host answers no time.
    if (context == nullptr)
        return;
    VstToolkit::TimeInfo time;
    time.tempoValid = (context->state & ProcessContext::kTempoValid) != 0;
    time.tempo = context->tempo;
    time.positionValid = (context->state & ProcessContext::kProjectTimeMusicValid) != 0;
    time.ppqPosition = context->projectTimeMusic;
    time.playing = (context->state & ProcessContext::kPlaying) != 0;
    time.timeSignatureValid = (context->state & ProcessContext::kTimeSigValid) != 0;
    time.timeSignatureNumerator = context->timeSigNumerator;
    time.timeSignatureDenominator = context->timeSigDenominator;
    SetTimeInfo(time);
}

void Vst3Effect::GatherPoints(IParameterChanges* changes, int32 frames)
{
    pointCount = 0;
    if (changes == nullptr)
        return;
    const int32 queues = changes->getParameterCount();
    for (int32 q = 0; q < queues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (queue == nullptr)
            continue;
        const ParamID id = queue->getParameterId();
        const int32 count = queue->getPointCount();
        for (int32 p = 0; p < count; ++p) {
            int32 offset = 0;
            ParamValue value = 0.0;
            if (queue->getPoint(p, offset, value) != kResultOk)
                continue;
            if (offset < 0)
                offset = 0;
            if (offset > frames)
                offset = frames;
            Point point{offset, id, Clamp01(value)};
            if (pointCount == kMaxPointsPerBlock) {
                // Crowded: the newest value takes the last slot, at the later offset.
                points[pointCount - 1] = point;
                continue;
            }
            // Insertion keeps the block's points in offset order, equal offsets in host order.
            int32 at = pointCount++;
            while (at > 0 && points[at - 1].offset > point.offset) {
                points[at] = points[at - 1];
                --at;
            }
            points[at] = point;
        }
    }
}

void Vst3Effect::ApplyParameter(ParamID id, float value)
{
    if (IsEffectParameter(id))
        SetParameterValue(static_cast<int32_t>(id), value);
    else if (id == kBypassParamId)
        SetParameterValue(MorlentDelay::kEnabled, 1.0f - value);
    // The program change parameter is the controller's: the host selects programs on the main
    // thread through setParamNormalized, never inside a block.
}

tresult VST3_API Vst3Effect::process(ProcessData& data)
{
    try {
        if (!active.load())
            return kNotInitialized;
        if (data.numSamples < 0 || data.numInputs < 0 || data.numOutputs < 0)
            return kInvalidArgument;
        if (data.numSamples > 0 && data.symbolicSampleSize != kSample32)
            return kInvalidArgument;
        const int32 frames = data.numSamples;

        float** outputs = nullptr;
        if (data.numOutputs >= 1 && data.outputs != nullptr && data.outputs[0].numChannels >= kChannelCount &&
            data.outputs[0].channelBuffers32 != nullptr && data.outputs[0].channelBuffers32[0] != nullptr &&
            data.outputs[0].channelBuffers32[1] != nullptr)
            outputs = data.outputs[0].channelBuffers32;
        float** inputs = nullptr;
        if (data.numInputs >= 1 && data.inputs != nullptr && data.inputs[0].numChannels >= kChannelCount &&
            data.inputs[0].channelBuffers32 != nullptr && data.inputs[0].channelBuffers32[0] != nullptr &&
            data.inputs[0].channelBuffers32[1] != nullptr)
            inputs = data.inputs[0].channelBuffers32;
        if (frames > 0 && outputs == nullptr)
            return kInvalidArgument;
        if (frames > 0 && inputs == nullptr) {
            // No input bus: the effect hears silence, rendered in place of the outputs.
            std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(frames));
            std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(frames));
            inputs = outputs;
        }

        UpdateTime(data.processContext);
        GatherPoints(data.inputParameterChanges, frames);
        audioThread.store(std::this_thread::get_id());
        outputChanges = data.outputParameterChanges;

        int32 position = 0;
        for (int32 i = 0; i < pointCount; ++i) {
            const Point& point = points[i];
            outputOffset = point.offset;
            if (point.offset > position && frames > 0) {
                ProcessFrames(inputs, outputs, position, point.offset - position);
                position = point.offset;
            }
            if (IsControllerParameter(point.id))
                ApplyMidiEvent(point.offset, 0xB0, static_cast<uint8_t>(point.id - kFirstControllerParamId),
                               static_cast<uint8_t>(std::lround(point.value * 127.0f)));
            else
                ApplyParameter(point.id, point.value);
        }
        outputOffset = position;
        if (frames > 0 && position < frames)
            ProcessFrames(inputs, outputs, position, frames - position);
        if (frames > 0)
            data.outputs[0].silenceFlags = 0;

        outputChanges = nullptr;
        audioThread.store(std::thread::id());
        return kResultOk;
    } catch (...) {
        outputChanges = nullptr;
        audioThread.store(std::thread::id());
        return kInternalError;
    }
}

} // namespace MorlentVst3
