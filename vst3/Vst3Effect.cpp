// The object the host talks to: its identity, lifecycle, interfaces, buses and processing
// set-up. Processing, parameters, state and programs have files of their own.

#include "vst3/Vst3Effect.h"

#include "delay/MorlentDelayModel.h"
#include "description/EffectDescription.h"
#include "vst3/Vst3EffectInternal.h"

#include <cctype>
#include <cstring>

namespace MorlentVst3 {

Uid MakeVst2CompatibleClassId(int32_t uniqueId, const char* name)
{
    // "VST" as three bytes, then the unique ID, then nine name characters.
    uint8_t bytes[16] = {};
    const uint32_t id = static_cast<uint32_t>(uniqueId);
    bytes[0] = 'V';
    bytes[1] = 'S';
    bytes[2] = 'T';
    bytes[3] = static_cast<uint8_t>(id >> 24);
    bytes[4] = static_cast<uint8_t>(id >> 16);
    bytes[5] = static_cast<uint8_t>(id >> 8);
    bytes[6] = static_cast<uint8_t>(id);
    bool ended = false;
    for (int i = 0; i < 9; ++i) {
        uint8_t c = 0;
        if (!ended && name != nullptr && name[i] != '\0')
            c = static_cast<uint8_t>(std::tolower(static_cast<unsigned char>(name[i])));
        else
            ended = true;
        bytes[7 + i] = c;
    }
    auto word = [&](int at) {
        return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) | (uint32_t(bytes[at + 2]) << 8) |
               uint32_t(bytes[at + 3]);
    };
    return Uid::Make(word(0), word(4), word(8), word(12));
}

const Uid& EffectClassId()
{
    static const Uid id = MakeVst2CompatibleClassId(MorlentDelay::kUniqueId, MorlentDelay::kEffectName);
    return id;
}

Vst3Effect::Vst3Effect() : PluginCore(new MorlentDelayModel)
{
    AttachToModel();
}

Vst3Effect::~Vst3Effect()
{
    if (handler != nullptr)
        handler->release();
}

// ---- FUnknown ------------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::queryInterface(const TUID iid, void** object)
{
    if (object == nullptr)
        return kInvalidArgument;
    *object = nullptr;
    if (iid == nullptr)
        return kInvalidArgument;
    if (kFUnknownIid.Matches(iid) || kIPluginBaseIid.Matches(iid) || kIComponentIid.Matches(iid))
        *object = static_cast<IComponent*>(this);
    else if (kIAudioProcessorIid.Matches(iid))
        *object = static_cast<IAudioProcessor*>(this);
    else if (kIProcessContextRequirementsIid.Matches(iid))
        *object = static_cast<IProcessContextRequirements*>(this);
    else if (kIEditControllerIid.Matches(iid))
        *object = static_cast<IEditController*>(this);
    else if (kIUnitInfoIid.Matches(iid))
        *object = static_cast<IUnitInfo*>(this);
    else if (kIMidiMappingIid.Matches(iid))
        *object = static_cast<IMidiMapping*>(this);
    else
        return kNoInterface;
    addRef();
    return kResultOk;
}

uint32 VST3_API Vst3Effect::addRef()
{
    return AddReference();
}

uint32 VST3_API Vst3Effect::release()
{
    return DropReference();
}

// ---- IPluginBase ---------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::initialize(FUnknown*)
{
    // A single-component effect is initialised once as component and once as controller.
    initialized = true;
    return kResultOk;
}

tresult VST3_API Vst3Effect::terminate()
{
    // A host that ends the effect with its view open: the window goes first.
    if (openView != nullptr)
        openView->EffectEnded();
    EndOpenEdit();
    ForgetDragWatch(this);
    if (active.load())
        setActive(false);
    setComponentHandler(nullptr);
    initialized = false;
    return kResultOk;
}

// ---- IComponent ----------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::getControllerClassId(TUID)
{
    // The component is its own controller.
    return kResultFalse;
}

tresult VST3_API Vst3Effect::setIoMode(IoMode)
{
    return kResultOk;
}

int32 VST3_API Vst3Effect::getBusCount(MediaType type, BusDirection dir)
{
    if (type == kAudio)
        return dir == kInput || dir == kOutput ? 1 : 0;
    // A MIDI input, so hosts route controllers to the effect.
    return type == kEvent && dir == kInput ? 1 : 0;
}

tresult VST3_API Vst3Effect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus)
{
    if (type == kEvent && dir == kInput && index == 0) {
        std::memset(&bus, 0, sizeof bus);
        bus.mediaType = kEvent;
        bus.direction = kInput;
        bus.channelCount = kMidiChannelCount;
        ToString128("MIDI In", bus.name);
        bus.busType = kMain;
        bus.flags = kDefaultActive;
        return kResultOk;
    }
    if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0)
        return kInvalidArgument;
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = kChannelCount;
    ToString128(dir == kInput ? "Stereo In" : "Stereo Out", bus.name);
    bus.busType = kMain;
    bus.flags = kDefaultActive;
    return kResultOk;
}

tresult VST3_API Vst3Effect::getRoutingInfo(RoutingInfo&, RoutingInfo&)
{
    return kNotImplemented;
}

tresult VST3_API Vst3Effect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
    if (type == kEvent && dir == kInput && index == 0) {
        eventBusActive = state != 0;
        return kResultOk;
    }
    if (type != kAudio || index != 0 || (dir != kInput && dir != kOutput))
        return kInvalidArgument;
    if (active.load())
        return kResultFalse;
    (dir == kInput ? inputBusActive : outputBusActive) = state != 0;
    return kResultOk;
}

tresult VST3_API Vst3Effect::setActive(TBool state)
{
    if (state != 0) {
        if (!configured)
            return kNotInitialized;
        if (!active.load())
            SetMaxBlockSize(0); // the engine restarts at its rate, as after a VST 2 resume
        active.store(true);
    } else {
        processing.store(false);
        active.store(false);
    }
    return kResultOk;
}

// ---- IAudioProcessor -----------------------------------------------------------------------------

tresult VST3_API Vst3Effect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns < 0 || numOuts < 0 || (numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
        return kInvalidArgument;
    if (active.load())
        return kResultFalse;
    // One stereo bus each way and nothing else; the host then keeps ours.
    if (numIns == 1 && numOuts == 1 && inputs[0] == SpeakerArr::kStereo && outputs[0] == SpeakerArr::kStereo)
        return kResultTrue;
    return kResultFalse;
}

tresult VST3_API Vst3Effect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
    if ((dir != kInput && dir != kOutput) || index != 0)
        return kInvalidArgument;
    arr = SpeakerArr::kStereo;
    return kResultOk;
}

tresult VST3_API Vst3Effect::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 VST3_API Vst3Effect::getLatencySamples()
{
    return 0;
}

tresult VST3_API Vst3Effect::setupProcessing(ProcessSetup& setup)
{
    if (active.load())
        return kResultFalse;
    if (setup.symbolicSampleSize != kSample32 || setup.maxSamplesPerBlock <= 0)
        return kInvalidArgument;
    const float rate = static_cast<float>(setup.sampleRate);
    if (!VstToolkit::Model::IsUsableSampleRate(rate))
        return kInvalidArgument;
    SetSampleRate(rate);
    SetMaxBlockSize(setup.maxSamplesPerBlock);
    configured = true;
    return kResultOk;
}

tresult VST3_API Vst3Effect::setProcessing(TBool state)
{
    if (!active.load())
        return kNotInitialized;
    processing.store(state != 0);
    return kResultOk;
}

uint32 VST3_API Vst3Effect::getTailSamples()
{
    // Feedback may ring for as long as the host lets it.
    return kInfiniteTail;
}

// ---- The editor ----------------------------------------------------------------------------------

IPlugView* VST3_API Vst3Effect::createView(FIDString name)
{
    try {
        if (name == nullptr || std::strcmp(name, kEditorViewName) != 0 || !initialized || openView != nullptr)
            return nullptr;
        VstToolkit::PluginCore* core = this;
        openView = new Vst3PlugView(this, GetModel(), core);
        return openView;
    } catch (...) {
        return nullptr;
    }
}

void Vst3Effect::ForgetView(Vst3PlugView* view)
{
    if (openView == view)
        openView = nullptr;
}

} // namespace MorlentVst3
