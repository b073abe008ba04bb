// The audio thread's block: the control ports, the host's transport from its time events, and
// the effect's frames. Nothing here allocates or locks.

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
    ReadTimeEvents();
    if (inputs[0] == nullptr || inputs[1] == nullptr || outputs[0] == nullptr || outputs[1] == nullptr)
        return;
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
        SetParameterValue(static_cast<int32_t>(port), ToParameterValue(port, value));
    }
    applyAllControls = false;
}

void Lv2Plugin::ReadTimeEvents()
{
    if (timeEvents == nullptr || urids.atomSequence == 0 || urids.timePosition == 0 ||
        timeEvents->atom.type != urids.atomSequence)
        return;
    const uint32_t size = timeEvents->atom.size;
    if (size < sizeof(LV2_Atom_Sequence_Body))
        return;
    // Every size is checked against what the sequence says it holds before it is read.
    const auto* body = reinterpret_cast<const uint8_t*>(&timeEvents->body);
    size_t offset = sizeof(LV2_Atom_Sequence_Body);
    while (size - offset >= sizeof(LV2_Atom_Event)) {
        const auto* event = reinterpret_cast<const LV2_Atom_Event*>(body + offset);
        const uint32_t eventSize = event->body.size;
        if (eventSize > size - offset - sizeof(LV2_Atom_Event))
            return;
        if ((event->body.type == urids.atomObject || event->body.type == urids.atomBlank) &&
            eventSize >= sizeof(LV2_Atom_Object_Body)) {
            const auto* object = reinterpret_cast<const LV2_Atom_Object_Body*>(&event->body + 1);
            if (object->otype == urids.timePosition)
                ReadPosition(object, eventSize);
        }
        offset += sizeof(LV2_Atom_Event) + lv2_atom_pad_size(eventSize);
        if (offset > size)
            return;
    }
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
