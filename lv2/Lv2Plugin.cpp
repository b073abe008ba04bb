#include "lv2/Lv2Plugin.h"

#include "delay/MorlentDelayModel.h"

#include <lv2/atom/util.h>
#include <lv2/time/time.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace MorlentLv2 {

namespace {

// A host's feature list may hold nulls anywhere; the list itself may be null.
void* FeatureData(const LV2_Feature* const* features, const char* uri)
{
    if (features == nullptr)
        return nullptr;
    for (const LV2_Feature* const* feature = features; *feature != nullptr; ++feature)
        if ((*feature)->URI != nullptr && std::strcmp((*feature)->URI, uri) == 0)
            return (*feature)->data;
    return nullptr;
}

LV2_URID Map(LV2_URID_Map* map, const char* uri)
{
    return map != nullptr ? map->map(map->handle, uri) : 0;
}

template <typename T> T ReadAt(const void* data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

} // namespace

Lv2Plugin* Lv2Plugin::Create(double sampleRate, const LV2_Feature* const* features)
{
    auto* map = static_cast<LV2_URID_Map*>(FeatureData(features, LV2_URID__map));
    if (map != nullptr && map->map == nullptr)
        map = nullptr;
    auto* log = static_cast<LV2_Log_Log*>(FeatureData(features, LV2_LOG__log));
    if (log != nullptr && log->printf == nullptr)
        log = nullptr;

    std::unique_ptr<MorlentDelayModel> model(new MorlentDelayModel);
    std::unique_ptr<Lv2Plugin> plugin(new Lv2Plugin(model.get(), map, log));
    model.release(); // the core owns it now
    // A rate float cannot hold, or one outside the engine's range, makes no instance.
    const float rate = sampleRate >= 1.0 && sampleRate <= 1e9 ? static_cast<float>(sampleRate) : 0.0f;
    if (!plugin->SetSampleRate(rate)) {
        plugin->LogError("Morlent Delay cannot run at this sample rate.\n");
        return nullptr;
    }
    return plugin.release();
}

Lv2Plugin::Lv2Plugin(MorlentDelayModel* model, LV2_URID_Map* map, LV2_Log_Log* log)
    : PluginCore(model), log(log)
{
    AttachToModel();
    urids.atomSequence = Map(map, LV2_ATOM__Sequence);
    urids.atomObject = Map(map, LV2_ATOM__Object);
    urids.atomBlank = Map(map, LV2_ATOM__Blank);
    urids.atomFloat = Map(map, LV2_ATOM__Float);
    urids.atomDouble = Map(map, LV2_ATOM__Double);
    urids.atomInt = Map(map, LV2_ATOM__Int);
    urids.atomLong = Map(map, LV2_ATOM__Long);
    urids.atomFrameTime = Map(map, LV2_ATOM__frameTime);
    urids.timePosition = Map(map, LV2_TIME__Position);
    urids.timeBeatsPerMinute = Map(map, LV2_TIME__beatsPerMinute);
    urids.timeSpeed = Map(map, LV2_TIME__speed);
    urids.timeBar = Map(map, LV2_TIME__bar);
    urids.timeBarBeat = Map(map, LV2_TIME__barBeat);
    urids.timeBeat = Map(map, LV2_TIME__beat);
    urids.timeBeatUnit = Map(map, LV2_TIME__beatUnit);
    urids.timeBeatsPerBar = Map(map, LV2_TIME__beatsPerBar);
    urids.bankKey = Map(map, kBankKeyUri);
    urids.bankType = Map(map, kBankTypeUri);
    urids.logError = Map(map, LV2_LOG__Error);
    GetState(builtBank, StateScope::kBank);
}

Lv2Plugin::~Lv2Plugin() = default;

void Lv2Plugin::ConnectPort(uint32_t port, void* data)
{
    if (port < kControlPortCount)
        controls[port] = static_cast<const float*>(data);
    else if (port == kLeftInPort || port == kRightInPort)
        inputs[port - kLeftInPort] = static_cast<const float*>(data);
    else if (port == kLeftOutPort || port == kRightOutPort)
        outputs[port - kLeftOutPort] = static_cast<float*>(data);
    else if (port == kTimePort)
        timeEvents = static_cast<const LV2_Atom_Sequence*>(data);
}

void Lv2Plugin::Activate()
{
    // Settings made before activation are where the instance starts, not where it glides to,
    // as a VST 2 host's parameters set before resuming.
    ApplyControlPorts();
    Restart();
}

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

LV2_State_Status Lv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (store == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    if (urids.bankKey == 0 || urids.bankType == 0)
        return LV2_STATE_ERR_NO_FEATURE;
    // The host may run the audio thread meanwhile: the core reads the values it stores whole.
    Morlent::ChunkBuffer bank;
    GetState(bank, StateScope::kBank);
    return store(handle, urids.bankKey, bank.Data(), bank.Length(), urids.bankType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (retrieve == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    if (urids.bankKey == 0 || urids.bankType == 0)
        return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* value = retrieve(handle, urids.bankKey, &size, &type, &flags);
    if (value == nullptr) {
        // LV2's way to reset an instance: a state without our property.
        SetState(builtBank.Data(), builtBank.Length(), StateScope::kBank);
        applyAllControls = true;
        return LV2_STATE_SUCCESS;
    }
    if (type != urids.bankType) {
        LogError("Morlent Delay: the state holds no Morlent Delay bank; nothing was changed.\n");
        return LV2_STATE_ERR_BAD_TYPE;
    }
    if (size > static_cast<size_t>(kMaxStateSize) ||
        !SetState(value, static_cast<int64_t>(size), StateScope::kBank)) {
        LogError("Morlent Delay: the state's bank is damaged, not ours or from a newer version; nothing was "
                 "changed.\n");
        return LV2_STATE_ERR_UNKNOWN;
    }
    // The ports the host restores beside the state have the last word, as at any other time.
    applyAllControls = true;
    return LV2_STATE_SUCCESS;
}

void Lv2Plugin::LogError(const char* message) const
{
    if (log != nullptr && urids.logError != 0)
        log->printf(log->handle, urids.logError, "%s", message);
}

} // namespace MorlentLv2
