// The audio thread: processing, the events of a block at their frames, and the host's transport.
// Nothing here allocates or locks.

#include "clap/ClapEffect.h"

#include "framework/DisplayUnits.h"

#include <cstring>

namespace MorlentClap {

namespace {

constexpr uint32_t kChannelCount = 2;

// A port's 32-bit channels when it has both of ours, else null.
float** StereoChannels(const Clap::AudioBuffer* ports, uint32_t portCount)
{
    if (ports == nullptr || portCount < 1 || ports[0].channelCount < kChannelCount || ports[0].data32 == nullptr ||
        ports[0].data32[0] == nullptr || ports[0].data32[1] == nullptr)
        return nullptr;
    return ports[0].data32;
}

// Hosts do not clear their buffers: a refused block still leaves silence in every output
// channel it can reach.
void Silence(const Clap::Process& process)
{
    if (process.audioOutputs == nullptr)
        return;
    const size_t bytes = sizeof(float) * process.framesCount;
    for (uint32_t port = 0; port < process.audioOutputsCount; ++port) {
        Clap::AudioBuffer& buffer = process.audioOutputs[port];
        if (buffer.data32 == nullptr)
            continue;
        for (uint32_t channel = 0; channel < buffer.channelCount; ++channel)
            if (buffer.data32[channel] != nullptr)
                std::memset(buffer.data32[channel], 0, bytes);
        buffer.constantMask = 0;
    }
}

} // namespace

bool ClapEffect::StartProcessing()
{
    if (!active.load())
        return false;
    processing.store(true);
    return true;
}

void ClapEffect::StopProcessing()
{
    processing.store(false);
}

void ClapEffect::Reset()
{
    // Values stay; what the lines still hold goes, from the next block on.
    if (active.load())
        EmptyDelayLines();
}

void ClapEffect::RenderTo(uint32_t frame)
{
    if (frame > blockFrames)
        frame = blockFrames;
    if (frame <= blockPosition)
        return;
    ProcessFrames(blockInputs, blockOutputs, static_cast<int32_t>(blockPosition),
                  static_cast<int32_t>(frame - blockPosition));
    blockPosition = frame;
}

void ClapEffect::ApplyTransport(const Clap::TransportEvent& transport)
{
    VstToolkit::TimeInfo time;
    time.tempoValid = (transport.flags & Clap::kTransportHasTempo) != 0;
    time.tempo = transport.tempo;
    time.positionValid = (transport.flags & Clap::kTransportHasBeatsTimeline) != 0;
    time.ppqPosition = static_cast<double>(transport.songPositionBeats) / Clap::kBeatTimeFactor;
    time.playing = (transport.flags & Clap::kTransportIsPlaying) != 0;
    time.timeSignatureValid = (transport.flags & Clap::kTransportHasTimeSignature) != 0;
    time.timeSignatureNumerator = transport.timeSignatureNumerator;
    time.timeSignatureDenominator = transport.timeSignatureDenominator;
    SetTimeInfo(time);
}

void ClapEffect::ApplyParamValue(const Clap::ParamValueEvent& event)
{
    if (!IsParameter(event.paramId))
        return;
    const auto index = static_cast<int32_t>(event.paramId);
    // Out of range is held at the range's ends; a NaN changes nothing.
    SetParameterValue(index, VstToolkit::FromDisplayValue(index, static_cast<float>(event.value)));
}

void ClapEffect::ApplyEvent(const Clap::EventHeader* event)
{
    if (event->spaceId != Clap::kCoreEventSpace)
        return;
    switch (event->type) {
    case Clap::kEventParamValue:
        if (event->size >= sizeof(Clap::ParamValueEvent))
            ApplyParamValue(*reinterpret_cast<const Clap::ParamValueEvent*>(event));
        break;
    case Clap::kEventTransport:
        if (event->size >= sizeof(Clap::TransportEvent))
            ApplyTransport(*reinterpret_cast<const Clap::TransportEvent*>(event));
        break;
    case Clap::kEventMidi:
        if (event->size >= sizeof(Clap::MidiEvent)) {
            const auto& midi = *reinterpret_cast<const Clap::MidiEvent*>(event);
            // Channel messages only; the effect learns and follows controllers.
            if (midi.data[0] >= 0x80 && midi.data[0] < 0xF0)
                ApplyMidiEvent(static_cast<int32_t>(blockPosition), midi.data[0], midi.data[1] & 0x7F,
                               midi.data[2] & 0x7F);
        }
        break;
    default:
        break;
    }
}

Clap::ProcessStatus ClapEffect::Process(const Clap::Process* process)
{
    if (process == nullptr)
        return Clap::kProcessError;
    const uint32_t frames = process->framesCount;
    float** outputs = StereoChannels(process->audioOutputs, process->audioOutputsCount);
    float** inputs = StereoChannels(process->audioInputs, process->audioInputsCount);
    // Before activation, or without two output channels to render into, the block is refused.
    if (!active.load() || (frames > 0 && outputs == nullptr) || frames > 0x7FFFFFFFu) {
        Silence(*process);
        return Clap::kProcessError;
    }
    // A host that forgot start_processing still gets its block rendered.
    if (!processing.load(std::memory_order_relaxed))
        processing.store(true);
    if (frames > 0 && inputs == nullptr) {
        // No input: the effect hears silence, rendered in place of the outputs.
        std::memset(outputs[0], 0, sizeof(float) * frames);
        std::memset(outputs[1], 0, sizeof(float) * frames);
        inputs = outputs;
    }

    // Only this thread ever compares the id with its own: ordering with other threads is not needed.
    audioThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    blockInputs = inputs;
    blockOutputs = frames > 0 ? outputs : nullptr;
    blockFrames = frames;
    blockPosition = 0;
    blockOut = process->outEvents != nullptr && process->outEvents->tryPush != nullptr ? process->outEvents : nullptr;

    if (process->transport != nullptr)
        ApplyTransport(*process->transport);
    // Edits the user made in the editor since the last block go first, at frame 0.
    SendEditorEdits(blockOut);

    const Clap::InputEvents* in = process->inEvents;
    if (in != nullptr && in->size != nullptr && in->get != nullptr) {
        const uint32_t count = in->size(in);
        for (uint32_t i = 0; i < count; ++i) {
            const Clap::EventHeader* event = in->get(in, i);
            if (event == nullptr || event->size < sizeof(Clap::EventHeader))
                continue;
            // Split the block where the event falls: one past the block takes effect at its end,
            // one out of time order where the block stands.
            RenderTo(event->time);
            ApplyEvent(event);
        }
    }
    RenderTo(frames);
    if (frames > 0)
        process->audioOutputs[0].constantMask = 0;

    blockOut = nullptr;
    blockInputs = blockOutputs = nullptr;
    blockFrames = blockPosition = 0;
    audioThread.store(std::thread::id(), std::memory_order_relaxed);
    return Clap::kProcessContinue;
}

} // namespace MorlentClap
