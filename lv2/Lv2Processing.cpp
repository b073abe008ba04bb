// The audio thread's block: the control ports, the events inputs (the host's transport and the
// editor's learn commands; MIDI), the effect's frames and the editor's notifications. Nothing
// here allocates or locks.

#include "lv2/Lv2Plugin.h"

#include <lv2/atom/util.h>

#include <climits>
#include <cstring>

namespace MorlentLv2 {

namespace {

template <typename T> T ReadAt(const void* data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

} // namespace

void Lv2Plugin::Run(uint32_t frames)
{
    ApplyControlPorts();
    const bool audio = inputs[0] != nullptr && inputs[1] != nullptr && outputs[0] != nullptr && outputs[1] != nullptr;
    ReadEvents(events, frames, audio);
    ReadEvents(midiEvents, frames, audio);
    if (audio)
        Render(frames);
    WriteNotifications();
}

void Lv2Plugin::Render(uint32_t frames)
{
    // The engine reads its inputs only; the core's signature serves formats that hand over
    // writable arrays.
    float* in[2] = {const_cast<float*>(inputs[0]), const_cast<float*>(inputs[1])};
    float* out[2] = {outputs[0], outputs[1]};
    uint32_t done = 0;
    do {
        const uint32_t count = frames - done < INT32_MAX ? frames - done : INT32_MAX;
        float* inPart[2] = {in[0] + done, in[1] + done};
        float* outPart[2] = {out[0] + done, out[1] + done};
        Process(inPart, outPart, static_cast<int32_t>(count));
        done += count;
    } while (done < frames);
}

void Lv2Plugin::ApplyControlPorts()
{
    for (uint32_t port = 0; port < kControlPortCount; ++port) {
        if (controls[port] == nullptr)
            continue;
        const float value = *controls[port];
        const uint32_t bits = ReadAt<uint32_t>(&value);
        if (!applyAllControls && (appliedMask & (1u << port)) != 0 && bits == appliedControls[port])
            continue;
        appliedControls[port] = bits;
        appliedMask |= 1u << port;
        controlledMask &= ~(1u << port); // the host's value has the last word again
        SetParameterValue(static_cast<int32_t>(port), ToParameterValue(port, value));
    }
    applyAllControls = false;
}

void Lv2Plugin::ReadEvents(const LV2_Atom_Sequence* sequence, uint32_t frames, bool queueMidi)
{
    if (sequence == nullptr || urids.atomSequence == 0 || sequence->atom.type != urids.atomSequence)
        return;
    const uint32_t size = sequence->atom.size;
    if (size < sizeof(LV2_Atom_Sequence_Body))
        return;
    // Stamps in beats say nothing of frames: such events count from the block's start.
    const bool inFrames = sequence->body.unit == 0 || sequence->body.unit == urids.atomFrameTime;
    // Every size is checked against what the sequence says it holds before it is read.
    const auto* body = reinterpret_cast<const uint8_t*>(&sequence->body);
    size_t offset = sizeof(LV2_Atom_Sequence_Body);
    while (size - offset >= sizeof(LV2_Atom_Event)) {
        const auto* event = reinterpret_cast<const LV2_Atom_Event*>(body + offset);
        const uint32_t eventSize = event->body.size;
        if (eventSize > size - offset - sizeof(LV2_Atom_Event))
            return;
        const LV2_URID type = event->body.type;
        if (type != 0 && (type == urids.atomObject || type == urids.atomBlank) &&
            eventSize >= sizeof(LV2_Atom_Object_Body)) {
            const auto* object = reinterpret_cast<const LV2_Atom_Object_Body*>(&event->body + 1);
            LearnCommand command;
            if (object->otype == urids.timePosition)
                ReadPosition(object, eventSize);
            else if (ReadLearnCommand(learnUrids, &event->body, sizeof(LV2_Atom) + eventSize, command))
                ApplyLearnCommand(command);
        } else if (type != 0 && type == urids.midiEvent && queueMidi) {
            QueueMidi(inFrames ? event->time.frames : 0, reinterpret_cast<const uint8_t*>(&event->body + 1), eventSize,
                      frames);
        }
        offset += sizeof(LV2_Atom_Event) + lv2_atom_pad_size(eventSize);
        if (offset > size)
            return;
    }
}

void Lv2Plugin::QueueMidi(int64_t frame, const uint8_t* bytes, uint32_t size, uint32_t frames)
{
    // One channel message per event, as LV2 sends MIDI; system messages mean nothing to the effect.
    if (size == 0 || size > 3 || bytes[0] < 0x80 || bytes[0] >= 0xF0)
        return;
    // The queue grows beyond its first room, which would allocate here: a block that brings more
    // events than that loses the rest.
    if (GetModel()->PendingMidiEventCount() >= Morlent::MidiEventQueue::kInitialCapacity)
        return;
    // Inside the block, as LV2 promises; a host that breaks it gets the nearest end.
    const int64_t last = frames > 0 ? static_cast<int64_t>(frames) - 1 : 0;
    const int64_t at = frame < 0 ? 0 : frame > last ? last : frame;
    PushMidiEvent(at > INT32_MAX ? INT32_MAX : static_cast<int32_t>(at), bytes[0], size > 1 ? bytes[1] : 0,
                  size > 2 ? bytes[2] : 0);
}

void Lv2Plugin::ReadPosition(const LV2_Atom_Object_Body* object, uint32_t size)
{
    bool hasTempo = false, hasSpeed = false, hasBar = false, hasBarBeat = false, hasBeat = false;
    bool hasBeatUnit = false, hasBeatsPerBar = false;
    double tempo = 0.0, speed = 0.0, bar = 0.0, barBeat = 0.0, beat = 0.0, beatUnit = 0.0, beatsPerBar = 0.0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(object);
    size_t offset = sizeof(LV2_Atom_Object_Body);
    while (size - offset >= sizeof(LV2_Atom_Property_Body)) {
        const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(bytes + offset);
        const uint32_t valueSize = property->value.size;
        if (valueSize > size - offset - sizeof(LV2_Atom_Property_Body))
            return;
        double number = 0.0;
        if (ReadNumber(&property->value, number)) {
            const LV2_URID key = property->key;
            if (key == urids.timeBeatsPerMinute) {
                hasTempo = true;
                tempo = number;
            } else if (key == urids.timeSpeed) {
                hasSpeed = true;
                speed = number;
            } else if (key == urids.timeBar) {
                hasBar = true;
                bar = number;
            } else if (key == urids.timeBarBeat) {
                hasBarBeat = true;
                barBeat = number;
            } else if (key == urids.timeBeat) {
                hasBeat = true;
                beat = number;
            } else if (key == urids.timeBeatUnit) {
                hasBeatUnit = true;
                beatUnit = number;
            } else if (key == urids.timeBeatsPerBar) {
                hasBeatsPerBar = true;
                beatsPerBar = number;
            }
        }
        offset += sizeof(LV2_Atom_Property_Body) + lv2_atom_pad_size(valueSize);
        if (offset > size)
            break;
    }

    VstToolkit::TimeInfo time;
    time.tempoValid = hasTempo;
    time.tempo = tempo;
    // A position without a speed leaves the transport as it was; so does a speed that is no number.
    time.playing = hasSpeed && speed == speed ? speed != 0.0 : GetModel()->IsPlaying();
    const double quartersPerBeat = hasBeatUnit && beatUnit > 0.0 ? 4.0 / beatUnit : 1.0;
    if (hasBeat) {
        time.positionValid = true;
        time.ppqPosition = beat * quartersPerBeat;
    } else if (hasBar && hasBarBeat && hasBeatsPerBar) {
        time.positionValid = true;
        time.ppqPosition = (bar * beatsPerBar + barBeat) * quartersPerBeat;
    }
    if (hasBeatsPerBar && hasBeatUnit && beatsPerBar >= 1.0 && beatsPerBar <= 1024.0 && beatUnit >= 1.0 &&
        beatUnit <= 1024.0) {
        time.timeSignatureValid = true;
        time.timeSignatureNumerator = static_cast<int32_t>(beatsPerBar);
        time.timeSignatureDenominator = static_cast<int32_t>(beatUnit);
    }
    SetTimeInfo(time);
}

bool Lv2Plugin::ReadNumber(const LV2_Atom* atom, double& number) const
{
    const void* body = atom + 1;
    if (atom->type == 0)
        return false;
    if (atom->type == urids.atomFloat && atom->size >= sizeof(float))
        number = ReadAt<float>(body);
    else if (atom->type == urids.atomDouble && atom->size >= sizeof(double))
        number = ReadAt<double>(body);
    else if (atom->type == urids.atomInt && atom->size >= sizeof(int32_t))
        number = ReadAt<int32_t>(body);
    else if (atom->type == urids.atomLong && atom->size >= sizeof(int64_t))
        number = static_cast<double>(ReadAt<int64_t>(body));
    else
        return false;
    return true;
}

} // namespace MorlentLv2
