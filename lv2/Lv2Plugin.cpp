// The object the host talks to: its making from the host's features, its ports and its
// activation. Processing and state have files of their own.

#include "lv2/Lv2Plugin.h"

#include "delay/MorlentDelayModel.h"
#include "lv2/Features.h"

#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include <memory>

namespace MorlentLv2 {

namespace {

LV2_URID Map(LV2_URID_Map* map, const char* uri)
{
    return map != nullptr ? map->map(map->handle, uri) : 0;
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
    urids.midiEvent = Map(map, LV2_MIDI__MidiEvent);
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
    learnUrids = MapLearnUrids(map);
    GetState(builtBank, StateScope::kBank);
    // The editor asks for the state when it opens; a new instance has nothing to tell before.
    sentState = CurrentLearnState();
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
    else if (port == kEventsInPort)
        events = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == kMidiInPort)
        midiEvents = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == kNotifyPort)
        notifications = static_cast<LV2_Atom_Sequence*>(data);
}

void Lv2Plugin::Activate()
{
    // Settings made before activation are where the instance starts, not where it glides to,
    // as a VST 2 host's parameters set before resuming.
    ApplyControlPorts();
    Restart();
}

void Lv2Plugin::LogError(const char* message) const
{
    if (log != nullptr && urids.logError != 0)
        log->printf(log->handle, urids.logError, "%s", message);
}

} // namespace MorlentLv2
