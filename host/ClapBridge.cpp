#include "host/ClapBridge.h"

#include "host/BridgeBasics.h"
#include "host/HostReactor.h"

#include <cstdint>

// The format's records are declared for 64-bit programs only, and every CLAP module is one: the
// 32-bit host refuses them.
#if UINTPTR_MAX > 0xFFFFFFFFu

#include "clap/ClapInterface.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace MorlentHost {

namespace {

// The most MIDI events one block carries; the host's own event block holds no more.
constexpr size_t kMaxMidiEvents = 4096;

struct Preset {
    std::string name;
    uint32_t kind;
    bool hasLocation;
    std::string location;
    std::string loadKey;
};

struct Bridge : BridgeBasics {
    AEffect record{};
    audioMasterCallback vstHost = nullptr;
    const Clap::PluginEntry* entry = nullptr;
    Clap::Host host{};
    const Clap::Plugin* plugin = nullptr;
    const Clap::PluginParams* params = nullptr;
    const Clap::PluginState* state = nullptr;
    const Clap::PluginPresetLoad* presetLoad = nullptr;
    const Clap::PluginGui* gui = nullptr;
    const Clap::PluginPosixFdSupport* fdSupport = nullptr;
    const Clap::PluginTimerSupport* timerSupport = nullptr;
    // What the plug-in's editor registered with the host's reactor, turned by effEditIdle.
    HostReactor reactor;
    Clap::Id nextTimerId = 1;
    std::vector<Clap::ParamInfo> infos;
    std::vector<Preset> presets;
    int32_t currentPreset = 0;
    bool active = false;
    bool flushWanted = false;
    bool callbackWanted = false;
    bool guiCreated = false;
    std::vector<uint8_t> chunk;
    ERect rect{};
    // Process call records, made once so a block allocates nothing.
    Clap::TransportEvent transport{};
    Clap::AudioBuffer inPort{}, outPort{};
    Clap::Process process{};
    std::vector<Clap::MidiEvent> midi;
    size_t midiCount = 0;
    Clap::InputEvents inEvents{};
    Clap::OutputEvents outEvents{};
    // One parameter value handed to flush.
    Clap::ParamValueEvent single{};
    Clap::InputEvents singleEvents{};
    Clap::InputEvents noEvents{};

    ~Bridge()
    {
        if (plugin != nullptr) {
            if (guiCreated)
                gui->destroy(plugin);
            if (active) {
                plugin->stopProcessing(plugin);
                plugin->deactivate(plugin);
            }
            plugin->destroy(plugin);
        }
        if (entry != nullptr)
            entry->deinit();
    }
};

#ifdef _WIN32
constexpr const char* kNativeApi = Clap::kWindowApiWin32;
#else
constexpr const char* kNativeApi = Clap::kWindowApiX11;
#endif

Bridge* Of(const Clap::Host* host)
{
    return static_cast<Bridge*>(host->hostData);
}

// ---- The host as the plug-in sees it ---------------------------------------------------------------

void HostRescan(const Clap::Host*, uint32_t) {}
void HostClear(const Clap::Host*, Clap::Id, uint32_t) {}
void HostRequestFlush(const Clap::Host* host)
{
    Of(host)->flushWanted = true;
}
constexpr Clap::HostParams kHostParams{HostRescan, HostClear, HostRequestFlush};

void HostMarkDirty(const Clap::Host*) {}
constexpr Clap::HostState kHostState{HostMarkDirty};

bool HostRegisterFd(const Clap::Host* host, int fd, uint32_t)
{
    if (fd < 0)
        return false;
    Bridge& bridge = *Of(host);
    bridge.reactor.Watch(static_cast<uintptr_t>(fd), fd, [&bridge, fd] {
        if (bridge.fdSupport != nullptr)
            bridge.fdSupport->onFd(bridge.plugin, fd, Clap::kPosixFdRead);
    });
    return true;
}
bool HostModifyFd(const Clap::Host*, int, uint32_t)
{
    return true;
}
bool HostUnregisterFd(const Clap::Host* host, int fd)
{
    return fd >= 0 && Of(host)->reactor.Forget(static_cast<uintptr_t>(fd));
}
constexpr Clap::HostPosixFdSupport kHostFds{HostRegisterFd, HostModifyFd, HostUnregisterFd};

bool HostRegisterTimer(const Clap::Host* host, uint32_t period, Clap::Id* id)
{
    if (id == nullptr || period == 0)
        return false;
    Bridge& bridge = *Of(host);
    const Clap::Id made = bridge.nextTimerId++;
    *id = made;
    bridge.reactor.AddTimer(made, std::chrono::milliseconds(period), [&bridge, made] {
        if (bridge.timerSupport != nullptr)
            bridge.timerSupport->onTimer(bridge.plugin, made);
    });
    return true;
}
bool HostUnregisterTimer(const Clap::Host* host, Clap::Id id)
{
    return Of(host)->reactor.RemoveTimer(id);
}
constexpr Clap::HostTimerSupport kHostTimers{HostRegisterTimer, HostUnregisterTimer};

const void* HostGetExtension(const Clap::Host*, const char* id)
{
    if (id == nullptr)
        return nullptr;
    if (std::strcmp(id, Clap::kExtParams) == 0)
        return &kHostParams;
    if (std::strcmp(id, Clap::kExtState) == 0)
        return &kHostState;
#ifndef _WIN32
    if (std::strcmp(id, Clap::kExtPosixFdSupport) == 0)
        return &kHostFds;
    if (std::strcmp(id, Clap::kExtTimerSupport) == 0)
        return &kHostTimers;
#endif
    return nullptr;
}

void HostRequestRestart(const Clap::Host*) {}
void HostRequestProcess(const Clap::Host*) {}
void HostRequestCallback(const Clap::Host* host)
{
    Of(host)->callbackWanted = true;
}

// ---- Event lists ---------------------------------------------------------------------------------

uint32_t MidiSize(const Clap::InputEvents* list)
{
    return static_cast<uint32_t>(static_cast<Bridge*>(list->context)->midiCount);
}

const Clap::EventHeader* MidiGet(const Clap::InputEvents* list, uint32_t index)
{
    Bridge& bridge = *static_cast<Bridge*>(list->context);
    return index < bridge.midiCount ? &bridge.midi[index].header : nullptr;
}

uint32_t SingleSize(const Clap::InputEvents*)
{
    return 1;
}

const Clap::EventHeader* SingleGet(const Clap::InputEvents* list, uint32_t index)
{
    return index == 0 ? &static_cast<Bridge*>(list->context)->single.header : nullptr;
}

uint32_t NoSize(const Clap::InputEvents*)
{
    return 0;
}

const Clap::EventHeader* NoGet(const Clap::InputEvents*, uint32_t)
{
    return nullptr;
}

// The plug-in's own parameter changes count as the VST 2 host counts automation.
bool OutTryPush(const Clap::OutputEvents* list, const Clap::EventHeader* event)
{
    Bridge& bridge = *static_cast<Bridge*>(list->context);
    if (event->spaceId != Clap::kCoreEventSpace || event->type != Clap::kEventParamValue)
        return true;
    const auto& value = *reinterpret_cast<const Clap::ParamValueEvent*>(event);
    for (size_t index = 0; index < bridge.infos.size(); ++index)
        if (bridge.infos[index].id == value.paramId) {
            const Clap::ParamInfo& info = bridge.infos[index];
            const double span = info.maxValue - info.minValue;
            const double normalised = span > 0.0 ? (value.value - info.minValue) / span : 0.0;
            bridge.vstHost(&bridge.record, audioMasterAutomate, static_cast<VstInt32>(index), 0, nullptr,
                           static_cast<float>(normalised));
        }
    return true;
}

void FlushIfWanted(Bridge& bridge)
{
    if (bridge.callbackWanted) {
        bridge.callbackWanted = false;
        bridge.plugin->onMainThread(bridge.plugin);
    }
    if (bridge.flushWanted && bridge.params != nullptr) {
        bridge.flushWanted = false;
        bridge.params->flush(bridge.plugin, &bridge.noEvents, &bridge.outEvents);
    }
}

// ---- Streams ---------------------------------------------------------------------------------

struct ByteStream {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

int64_t StreamRead(const Clap::InputStream* stream, void* buffer, uint64_t size)
{
    auto& own = *static_cast<ByteStream*>(stream->context);
    const uint64_t left = own.bytes.size() - own.position;
    const uint64_t count = size < left ? size : left;
    std::memcpy(buffer, own.bytes.data() + own.position, count);
    own.position += count;
    return static_cast<int64_t>(count);
}

int64_t StreamWrite(const Clap::OutputStream* stream, const void* buffer, uint64_t size)
{
    auto& own = *static_cast<ByteStream*>(stream->context);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    own.bytes.insert(own.bytes.end(), bytes, bytes + size);
    return static_cast<int64_t>(size);
}

// ---- Presets, found as a host's indexer finds them ------------------------------------------------

struct Indexing {
    std::vector<Clap::PresetLocation> locations;
    std::vector<std::string> locationTexts;
    std::vector<bool> locationGiven;
    std::vector<Preset>* presets = nullptr;
    uint32_t kind = 0;
    const char* location = nullptr;
};

bool DeclareFiletype(const Clap::PresetIndexer*, const Clap::PresetFiletype*)
{
    return true;
}

bool DeclareLocation(const Clap::PresetIndexer* indexer, const Clap::PresetLocation* location)
{
    auto& own = *static_cast<Indexing*>(indexer->indexerData);
    own.locations.push_back(*location);
    own.locationGiven.push_back(location->location != nullptr);
    own.locationTexts.emplace_back(location->location != nullptr ? location->location : "");
    return true;
}

bool DeclareSoundpack(const Clap::PresetIndexer*, const Clap::PresetSoundpack*)
{
    return true;
}

const void* IndexerGetExtension(const Clap::PresetIndexer*, const char*)
{
    return nullptr;
}

void ReceiverError(const Clap::PresetMetadataReceiver*, int32_t, const char*) {}

bool ReceiverBegin(const Clap::PresetMetadataReceiver* receiver, const char* name, const char* loadKey)
{
    auto& own = *static_cast<Indexing*>(receiver->receiverData);
    own.presets->push_back(Preset{name != nullptr ? name : "", own.kind, own.location != nullptr,
                                  own.location != nullptr ? own.location : "", loadKey != nullptr ? loadKey : ""});
    return true;
}

void ReceiverPluginId(const Clap::PresetMetadataReceiver*, const Clap::UniversalPluginId*) {}
void ReceiverText(const Clap::PresetMetadataReceiver*, const char*) {}
void ReceiverFlags(const Clap::PresetMetadataReceiver*, uint32_t) {}
void ReceiverTimestamps(const Clap::PresetMetadataReceiver*, Clap::Timestamp, Clap::Timestamp) {}
void ReceiverExtra(const Clap::PresetMetadataReceiver*, const char*, const char*) {}

void FindPresets(const Clap::PluginEntry& entry, std::vector<Preset>& presets)
{
    auto factory = static_cast<const Clap::PresetDiscoveryFactory*>(entry.getFactory(Clap::kPresetDiscoveryFactoryId));
    if (factory == nullptr)
        return;
    for (uint32_t p = 0; p < factory->count(factory); ++p) {
        const Clap::PresetProviderDescriptor* descriptor = factory->getDescriptor(factory, p);
        if (descriptor == nullptr)
            continue;
        Indexing indexing;
        indexing.presets = &presets;
        const Clap::PresetIndexer indexer{Clap::kVersion,   "morlent-host",   "Morlent Sound Design", "",
                                          "1",              &indexing,        DeclareFiletype,        DeclareLocation,
                                          DeclareSoundpack, IndexerGetExtension};
        const Clap::PresetProvider* provider = factory->create(factory, &indexer, descriptor->id);
        if (provider == nullptr)
            continue;
        if (provider->init(provider)) {
            const Clap::PresetMetadataReceiver receiver{&indexing,     ReceiverError,   ReceiverBegin, ReceiverPluginId,
                                                        ReceiverText, ReceiverFlags,   ReceiverText,  ReceiverText,
                                                        ReceiverTimestamps, ReceiverText, ReceiverExtra};
            for (size_t l = 0; l < indexing.locations.size(); ++l) {
                indexing.kind = indexing.locations[l].kind;
                indexing.location = indexing.locationGiven[l] ? indexing.locationTexts[l].c_str() : nullptr;
                provider->getMetadata(provider, indexing.kind, indexing.location, &receiver);
            }
        }
        provider->destroy(provider);
    }
}

// ---- The VST 2 record's functions --------------------------------------------------------------

Bridge* Of(AEffect* effect)
{
    return static_cast<Bridge*>(effect->object);
}

const Clap::ParamInfo* InfoOf(Bridge& bridge, VstInt32 index)
{
    return index >= 0 && static_cast<size_t>(index) < bridge.infos.size() ? &bridge.infos[index] : nullptr;
}

double PlainValue(const Clap::ParamInfo& info, float normalised)
{
    double value = info.minValue + static_cast<double>(normalised) * (info.maxValue - info.minValue);
    if ((info.flags & Clap::kParamIsStepped) != 0)
        value = std::floor(value + 0.5);
    return value < info.minValue ? info.minValue : (value > info.maxValue ? info.maxValue : value);
}

double CurrentValue(Bridge& bridge, const Clap::ParamInfo& info)
{
    double value = info.defaultValue;
    if (bridge.params != nullptr)
        bridge.params->getValue(bridge.plugin, info.id, &value);
    return value;
}

void Activate(Bridge& bridge, bool on)
{
    if (on && !bridge.active) {
        const auto frames = static_cast<uint32_t>(bridge.blockSize > 0 ? bridge.blockSize : 1);
        if (!bridge.plugin->activate(bridge.plugin, bridge.sampleRate, 1, frames))
            return;
        bridge.plugin->startProcessing(bridge.plugin);
        bridge.active = true;
    } else if (!on && bridge.active) {
        bridge.plugin->stopProcessing(bridge.plugin);
        bridge.plugin->deactivate(bridge.plugin);
        bridge.active = false;
    }
}

VstIntPtr VSTCALLBACK Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
{
    Bridge& bridge = *Of(effect);
    VstIntPtr answer = 0;
    if (AnswerBasicOpcode(bridge, opcode, value, ptr, opt, answer))
        return answer;
    switch (opcode) {
    case effClose:
        delete &bridge;
        return 1;
    case effMainsChanged:
        Activate(bridge, value != 0);
        return 1;
    case effGetParamName: {
        const Clap::ParamInfo* info = InfoOf(bridge, index);
        if (info == nullptr)
            return 0;
        CopyOut(ptr, info->name, kVstMaxParamStrLen + 1);
        return 1;
    }
    case effGetParamLabel:
        // The format's texts carry their units.
        CopyOut(ptr, "", kVstMaxParamStrLen + 1);
        return InfoOf(bridge, index) != nullptr ? 1 : 0;
    case effGetParamDisplay: {
        const Clap::ParamInfo* info = InfoOf(bridge, index);
        char text[64] = {};
        if (info == nullptr || bridge.params == nullptr ||
            !bridge.params->valueToText(bridge.plugin, info->id, CurrentValue(bridge, *info), text, sizeof text))
            return 0;
        CopyOut(ptr, text, kVstMaxParamStrLen + 1);
        return 1;
    }
    case effProcessEvents: {
        // MIDI for the next block, at the events' frames; this host sends them in time order.
        const auto* events = static_cast<const VstEvents*>(ptr);
        bridge.midiCount = 0;
        if (events == nullptr)
            return 0;
        for (VstInt32 e = 0; e < events->numEvents && bridge.midiCount < kMaxMidiEvents; ++e) {
            const auto* event = reinterpret_cast<const VstMidiEvent*>(events->events[e]);
            if (event == nullptr || event->type != kVstMidiType)
                continue;
            Clap::MidiEvent& midi = bridge.midi[bridge.midiCount++];
            midi = Clap::MidiEvent{};
            midi.header = {sizeof midi, static_cast<uint32_t>(event->deltaFrames > 0 ? event->deltaFrames : 0),
                           Clap::kCoreEventSpace, Clap::kEventMidi, 0};
            for (int b = 0; b < 3; ++b)
                midi.data[b] = static_cast<uint8_t>(event->midiData[b]);
        }
        return 1;
    }
    case effGetProgram:
        return bridge.currentPreset;
    case effSetProgram:
        if (bridge.presetLoad != nullptr && value >= 0 && static_cast<size_t>(value) < bridge.presets.size()) {
            const Preset& preset = bridge.presets[static_cast<size_t>(value)];
            if (bridge.presetLoad->fromLocation(bridge.plugin, preset.kind,
                                                preset.hasLocation ? preset.location.c_str() : nullptr,
                                                preset.loadKey.c_str()))
                bridge.currentPreset = static_cast<int32_t>(value);
        }
        return 0;
    case effGetProgramName:
    case effGetProgramNameIndexed: {
        const int32_t program = opcode == effGetProgramName ? bridge.currentPreset : index;
        if (program < 0 || static_cast<size_t>(program) >= bridge.presets.size())
            return 0;
        CopyOut(ptr, bridge.presets[static_cast<size_t>(program)].name, kVstMaxProgNameLen);
        return 1;
    }
    case effGetChunk: {
        // The state is the bank; there is no program chunk.
        if (index != 0 || ptr == nullptr || bridge.state == nullptr)
            return 0;
        ByteStream stream;
        const Clap::OutputStream out{&stream, StreamWrite};
        if (!bridge.state->save(bridge.plugin, &out))
            return 0;
        bridge.chunk = stream.bytes;
        *static_cast<void**>(ptr) = bridge.chunk.data();
        return static_cast<VstIntPtr>(bridge.chunk.size());
    }
    case effSetChunk: {
        if (index != 0 || ptr == nullptr || value <= 0 || bridge.state == nullptr)
            return 0;
        ByteStream stream;
        const auto* bytes = static_cast<const uint8_t*>(ptr);
        stream.bytes.assign(bytes, bytes + value);
        const Clap::InputStream in{&stream, StreamRead};
        return bridge.state->load(bridge.plugin, &in) ? 1 : 0;
    }
    case effGetVstVersion:
        return 2400;
    case effEditGetRect: {
        if (ptr == nullptr || bridge.gui == nullptr)
            return 0;
        if (!bridge.guiCreated)
            bridge.guiCreated = bridge.gui->create(bridge.plugin, kNativeApi, false);
        uint32_t width = 0, height = 0;
        if (!bridge.guiCreated || !bridge.gui->getSize(bridge.plugin, &width, &height))
            return 0;
        bridge.rect = ERect{0, 0, static_cast<VstInt16>(height), static_cast<VstInt16>(width)};
        *static_cast<ERect**>(ptr) = &bridge.rect;
        return 1;
    }
    case effEditOpen: {
        if (bridge.gui == nullptr || ptr == nullptr)
            return 0;
        if (!bridge.guiCreated)
            bridge.guiCreated = bridge.gui->create(bridge.plugin, kNativeApi, false);
        Clap::Window window{};
        window.api = kNativeApi;
#ifdef _WIN32
        window.win32 = ptr;
#else
        window.x11 = reinterpret_cast<uintptr_t>(ptr);
#endif
        if (!bridge.guiCreated || !bridge.gui->setParent(bridge.plugin, &window))
            return 0;
        bridge.gui->show(bridge.plugin);
        return 1;
    }
    case effEditIdle:
        bridge.reactor.Turn();
        // The editor's edits reach the host through a flush when nothing processes.
        FlushIfWanted(bridge);
        return 1;
    case effEditClose:
        if (bridge.guiCreated) {
            bridge.gui->destroy(bridge.plugin);
            bridge.guiCreated = false;
        }
        FlushIfWanted(bridge);
        return 1;
    default:
        return 0;
    }
}

void VSTCALLBACK SetParameter(AEffect* effect, VstInt32 index, float value)
{
    Bridge& bridge = *Of(effect);
    const Clap::ParamInfo* info = InfoOf(bridge, index);
    if (info == nullptr || bridge.params == nullptr)
        return;
    // Between blocks, on the one thread this host has: the format's flush.
    bridge.single = Clap::ParamValueEvent{};
    bridge.single.header = {sizeof bridge.single, 0, Clap::kCoreEventSpace, Clap::kEventParamValue, 0};
    bridge.single.paramId = info->id;
    bridge.single.cookie = info->cookie;
    bridge.single.noteId = -1;
    bridge.single.portIndex = bridge.single.channel = bridge.single.key = -1;
    bridge.single.value = PlainValue(*info, value);
    bridge.params->flush(bridge.plugin, &bridge.singleEvents, &bridge.outEvents);
}

float VSTCALLBACK GetParameter(AEffect* effect, VstInt32 index)
{
    Bridge& bridge = *Of(effect);
    const Clap::ParamInfo* info = InfoOf(bridge, index);
    if (info == nullptr)
        return 0.0f;
    const double span = info->maxValue - info->minValue;
    return span > 0.0 ? static_cast<float>((CurrentValue(bridge, *info) - info->minValue) / span) : 0.0f;
}

void VSTCALLBACK ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    Bridge& bridge = *Of(effect);
    // The transport the VST 2 module would read through audioMasterGetTime, in the format's record.
    const auto* time = reinterpret_cast<const VstTimeInfo*>(bridge.vstHost(effect, audioMasterGetTime, 0, 0, nullptr, 0));
    const Clap::TransportEvent* transport = nullptr;
    if (time != nullptr) {
        Clap::TransportEvent& t = bridge.transport;
        t = Clap::TransportEvent{};
        t.header = {sizeof t, 0, Clap::kCoreEventSpace, Clap::kEventTransport, 0};
        if (time->flags & kVstTransportPlaying)
            t.flags |= Clap::kTransportIsPlaying;
        if (time->flags & kVstTempoValid) {
            t.flags |= Clap::kTransportHasTempo;
            t.tempo = time->tempo;
        }
        if (time->flags & kVstPpqPosValid) {
            t.flags |= Clap::kTransportHasBeatsTimeline;
            t.songPositionBeats = std::llround(time->ppqPos * Clap::kBeatTimeFactor);
        }
        if (time->flags & kVstBarsValid)
            t.barStart = std::llround(time->barStartPos * Clap::kBeatTimeFactor);
        if (time->flags & kVstTimeSigValid) {
            t.flags |= Clap::kTransportHasTimeSignature;
            t.timeSignatureNumerator = static_cast<uint16_t>(time->timeSigNumerator);
            t.timeSignatureDenominator = static_cast<uint16_t>(time->timeSigDenominator);
        }
        if (time->sampleRate > 0.0) {
            t.flags |= Clap::kTransportHasSecondsTimeline;
            t.songPositionSeconds = std::llround(time->samplePos / time->sampleRate * Clap::kSecondsTimeFactor);
        }
        transport = &t;
    }
    bridge.inPort.data32 = inputs;
    bridge.inPort.channelCount = 2;
    bridge.outPort.data32 = outputs;
    bridge.outPort.channelCount = 2;
    Clap::Process& process = bridge.process;
    process.steadyTime = -1;
    process.framesCount = frames > 0 ? static_cast<uint32_t>(frames) : 0;
    process.transport = transport;
    process.audioInputs = &bridge.inPort;
    process.audioOutputs = &bridge.outPort;
    process.audioInputsCount = 1;
    process.audioOutputsCount = 1;
    process.inEvents = &bridge.inEvents;
    process.outEvents = &bridge.outEvents;
    bridge.plugin->process(bridge.plugin, &process);
    bridge.midiCount = 0;
    if (bridge.callbackWanted || bridge.flushWanted)
        FlushIfWanted(bridge);
}

// The record's unique ID: a CLAP plug-in has none, so one is made from its id (FNV-1a), the same
// for every build, so presets this host saves from it load back into it.
VstInt32 IdHash(const char* id)
{
    uint32_t hash = 2166136261u;
    for (const char* c = id; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    return static_cast<VstInt32>(hash);
}

} // namespace

AEffect* OpenClapEffect(const void* entrySymbol, const std::string& path, audioMasterCallback host, std::string& error)
{
    const auto* entry = static_cast<const Clap::PluginEntry*>(entrySymbol);
    if (!Clap::IsCompatible(entry->version)) {
        error = "the module's CLAP version is not one this host knows";
        return nullptr;
    }
    if (!entry->init(path.c_str())) {
        error = "the module's clap_entry init failed";
        return nullptr;
    }
    auto* bridge = new Bridge;
    bridge->entry = entry;
    bridge->vstHost = host;
    auto* factory = static_cast<const Clap::PluginFactory*>(entry->getFactory(Clap::kPluginFactoryId));
    const Clap::PluginDescriptor* descriptor =
        factory != nullptr && factory->getPluginCount(factory) > 0 ? factory->getPluginDescriptor(factory, 0) : nullptr;
    if (descriptor == nullptr) {
        error = "the module's plug-in factory lists no plug-in";
        delete bridge;
        return nullptr;
    }
    bridge->name = descriptor->name != nullptr ? descriptor->name : "";
    bridge->vendor = descriptor->vendor != nullptr ? descriptor->vendor : "";
    bridge->version = descriptor->versionText != nullptr ? descriptor->versionText : "";
    bridge->host = Clap::Host{Clap::kVersion,     bridge,            "morlent-host",     "Morlent Sound Design", "",
                              "1",                HostGetExtension,  HostRequestRestart, HostRequestProcess,
                              HostRequestCallback};
    bridge->plugin = factory->createPlugin(factory, &bridge->host, descriptor->id);
    if (bridge->plugin == nullptr || !bridge->plugin->init(bridge->plugin)) {
        error = "the factory did not create its plug-in";
        delete bridge;
        return nullptr;
    }
    const Clap::Plugin* plugin = bridge->plugin;
    bridge->params = static_cast<const Clap::PluginParams*>(plugin->getExtension(plugin, Clap::kExtParams));
    bridge->state = static_cast<const Clap::PluginState*>(plugin->getExtension(plugin, Clap::kExtState));
    bridge->presetLoad = static_cast<const Clap::PluginPresetLoad*>(plugin->getExtension(plugin, Clap::kExtPresetLoad));
    bridge->gui = static_cast<const Clap::PluginGui*>(plugin->getExtension(plugin, Clap::kExtGui));
    if (bridge->gui != nullptr && !bridge->gui->isApiSupported(plugin, kNativeApi, false))
        bridge->gui = nullptr;
    bridge->fdSupport =
        static_cast<const Clap::PluginPosixFdSupport*>(plugin->getExtension(plugin, Clap::kExtPosixFdSupport));
    bridge->timerSupport =
        static_cast<const Clap::PluginTimerSupport*>(plugin->getExtension(plugin, Clap::kExtTimerSupport));
    // This host renders one stereo pair in and out, and nothing else.
    auto* ports = static_cast<const Clap::PluginAudioPorts*>(plugin->getExtension(plugin, Clap::kExtAudioPorts));
    Clap::AudioPortInfo port{};
    if (ports == nullptr || ports->count(plugin, true) != 1 || ports->count(plugin, false) != 1 ||
        !ports->get(plugin, 0, false, &port) || port.channelCount != 2) {
        error = "the plug-in has no stereo input and output";
        delete bridge;
        return nullptr;
    }
    if (bridge->params != nullptr)
        for (uint32_t p = 0; p < bridge->params->count(plugin); ++p) {
            Clap::ParamInfo info{};
            if (bridge->params->getInfo(plugin, p, &info) && (info.flags & Clap::kParamIsHidden) == 0)
                bridge->infos.push_back(info);
        }
    if (bridge->presetLoad != nullptr)
        FindPresets(*entry, bridge->presets);
    bridge->midi.resize(kMaxMidiEvents);
    bridge->inEvents = Clap::InputEvents{bridge, MidiSize, MidiGet};
    bridge->outEvents = Clap::OutputEvents{bridge, OutTryPush};
    bridge->singleEvents = Clap::InputEvents{bridge, SingleSize, SingleGet};
    bridge->noEvents = Clap::InputEvents{bridge, NoSize, NoGet};

    AEffect& record = bridge->record;
    record.magic = kEffectMagic;
    record.dispatcher = Dispatch;
    record.setParameter = SetParameter;
    record.getParameter = GetParameter;
    record.processReplacing = ProcessReplacing;
    record.numPrograms = static_cast<VstInt32>(bridge->presets.size());
    record.numParams = static_cast<VstInt32>(bridge->infos.size());
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    if (bridge->gui != nullptr)
        record.flags |= effFlagsHasEditor;
    record.object = bridge;
    record.uniqueID = IdHash(descriptor->id != nullptr ? descriptor->id : "");
    record.version = 1;
    return &record;
}

} // namespace MorlentHost

#else

namespace MorlentHost {

AEffect* OpenClapEffect(const void*, const std::string& path, audioMasterCallback, std::string& error)
{
    error = "a 32-bit host cannot load CLAP modules, which are 64-bit (" + path + ")";
    return nullptr;
}

} // namespace MorlentHost

#endif
