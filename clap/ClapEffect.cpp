#include "clap/ClapEffect.h"

#include "clap/ClapCalls.h"
#include "common/FixedString.h"
#include "delay/MorlentDelayModel.h"
#include "description/EffectDescription.h"
#include "clap/ClapView.h"

#include <cctype>
#include <cstring>
#include <new>
#include <string>

namespace MorlentClap {

namespace {

// The reverse-domain name of the maker's web address, then the effect's name in lower case
// with hyphens for spaces: "https://www.example.com/" and "Morlent Delay" give
// "com.example.morlent-delay".
std::string MakeEffectId(const char* address, const char* name)
{
    std::string host = address;
    const size_t scheme = host.find("://");
    if (scheme != std::string::npos)
        host.erase(0, scheme + 3);
    host.erase(host.find_first_of("/:") == std::string::npos ? host.size() : host.find_first_of("/:"));
    if (host.rfind("www.", 0) == 0)
        host.erase(0, 4);
    std::string id;
    while (!host.empty()) {
        const size_t dot = host.rfind('.');
        const std::string label = dot == std::string::npos ? host : host.substr(dot + 1);
        host.erase(dot == std::string::npos ? 0 : dot);
        id += label + ".";
    }
    for (const char* c = name; *c != '\0'; ++c)
        id += *c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    return id;
}

constexpr const char* kFeatures[] = {Clap::kFeatureAudioEffect, Clap::kFeatureDelay, Clap::kFeatureStereo, nullptr};

constexpr uint32_t kChannelCount = 2;
constexpr Clap::Id kMainPortId = 0;
constexpr Clap::Id kMidiPortId = 0;

// ---- The plug-in record's functions ------------------------------------------------------------

bool PluginInit(const Clap::Plugin* plugin)
{
    return Call(plugin, false, [](ClapEffect& effect) { return effect.Init(); });
}

void PluginDestroy(const Clap::Plugin* plugin)
{
    Call(plugin, false, [](ClapEffect& effect) {
        effect.Destroy();
        return true;
    });
}

bool PluginActivate(const Clap::Plugin* plugin, double sampleRate, uint32_t minFrames, uint32_t maxFrames)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.Activate(sampleRate, minFrames, maxFrames); });
}

void PluginDeactivate(const Clap::Plugin* plugin)
{
    Call(plugin, false, [](ClapEffect& effect) {
        effect.Deactivate();
        return true;
    });
}

bool PluginStartProcessing(const Clap::Plugin* plugin)
{
    return Call(plugin, false, [](ClapEffect& effect) { return effect.StartProcessing(); });
}

void PluginStopProcessing(const Clap::Plugin* plugin)
{
    Call(plugin, false, [](ClapEffect& effect) {
        effect.StopProcessing();
        return true;
    });
}

void PluginReset(const Clap::Plugin* plugin)
{
    Call(plugin, false, [](ClapEffect& effect) {
        effect.Reset();
        return true;
    });
}

Clap::ProcessStatus PluginProcess(const Clap::Plugin* plugin, const Clap::Process* process)
{
    return Call(plugin, Clap::kProcessError, [&](ClapEffect& effect) { return effect.Process(process); });
}

const void* PluginGetExtension(const Clap::Plugin* plugin, const char* id)
{
    return Call(plugin, static_cast<const void*>(nullptr), [&](ClapEffect& effect) { return effect.GetExtension(id); });
}

void PluginOnMainThread(const Clap::Plugin* plugin)
{
    Call(plugin, false, [](ClapEffect& effect) {
        effect.OnMainThread();
        return true;
    });
}

// ---- The small extensions --------------------------------------------------------------------

uint32_t AudioPortsCount(const Clap::Plugin* plugin, bool isInput)
{
    return Call(plugin, 0u, [&](ClapEffect& effect) { return effect.AudioPortCount(isInput); });
}

bool AudioPortsGet(const Clap::Plugin* plugin, uint32_t index, bool isInput, Clap::AudioPortInfo* info)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.GetAudioPort(index, isInput, info); });
}

constexpr Clap::PluginAudioPorts kAudioPorts{AudioPortsCount, AudioPortsGet};

uint32_t NotePortsCount(const Clap::Plugin* plugin, bool isInput)
{
    return Call(plugin, 0u, [&](ClapEffect& effect) { return effect.NotePortCount(isInput); });
}

bool NotePortsGet(const Clap::Plugin* plugin, uint32_t index, bool isInput, Clap::NotePortInfo* info)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.GetNotePort(index, isInput, info); });
}

constexpr Clap::PluginNotePorts kNotePorts{NotePortsCount, NotePortsGet};

uint32_t LatencyGet(const Clap::Plugin* plugin)
{
    return Call(plugin, 0u, [](ClapEffect& effect) { return effect.Latency(); });
}

constexpr Clap::PluginLatency kLatency{LatencyGet};

uint32_t TailGet(const Clap::Plugin* plugin)
{
    return Call(plugin, 0u, [](ClapEffect& effect) { return effect.Tail(); });
}

constexpr Clap::PluginTail kTail{TailGet};

bool Is(const char* id, const char* wanted)
{
    return std::strcmp(id, wanted) == 0;
}

} // namespace

const char* EffectId()
{
    static const std::string id = MakeEffectId(MorlentDelay::kWebSiteAddress, MorlentDelay::kEffectName);
    return id.c_str();
}

const Clap::PluginDescriptor& EffectDescriptor()
{
    static const Clap::PluginDescriptor descriptor{Clap::kVersion,
                                                   EffectId(),
                                                   MorlentDelay::kEffectName,
                                                   MorlentDelay::kVendorName,
                                                   MorlentDelay::kWebSiteAddress,
                                                   "",
                                                   "",
                                                   MORLENT_VERSION_TEXT,
                                                   "",
                                                   kFeatures};
    return descriptor;
}


const Clap::Plugin* ClapEffect::Create(const Clap::Host* host)
{
    if (host == nullptr || !Clap::IsCompatible(host->version) || host->getExtension == nullptr ||
        host->requestCallback == nullptr)
        return nullptr;
    ClapEffect* effect = new (std::nothrow) ClapEffect(host);
    return effect == nullptr ? nullptr : effect->Record();
}

ClapEffect* ClapEffect::From(const Clap::Plugin* plugin)
{
    if (plugin == nullptr || plugin->pluginData == nullptr)
        return nullptr;
    auto* effect = static_cast<ClapEffect*>(plugin->pluginData);
    return effect->Record() == plugin ? effect : nullptr;
}

ClapEffect::ClapEffect(const Clap::Host* host) : PluginCore(new MorlentDelayModel), host(host)
{
    AttachToModel();
    record.descriptor = &EffectDescriptor();
    record.pluginData = this;
    record.init = PluginInit;
    record.destroy = PluginDestroy;
    record.activate = PluginActivate;
    record.deactivate = PluginDeactivate;
    record.startProcessing = PluginStartProcessing;
    record.stopProcessing = PluginStopProcessing;
    record.reset = PluginReset;
    record.process = PluginProcess;
    record.getExtension = PluginGetExtension;
    record.onMainThread = PluginOnMainThread;
}

ClapEffect::~ClapEffect()
{
    // A record the host might still hold answers nothing once we are gone.
    record.pluginData = nullptr;
}

bool ClapEffect::Init()
{
    if (initialized)
        return true;
    // The first moment the format lets us ask the host for anything.
    hostParams = static_cast<const Clap::HostParams*>(host->getExtension(host, Clap::kExtParams));
    hostState = static_cast<const Clap::HostState*>(host->getExtension(host, Clap::kExtState));
    hostPresetLoad = static_cast<const Clap::HostPresetLoad*>(host->getExtension(host, Clap::kExtPresetLoad));
    hostFds = static_cast<const Clap::HostPosixFdSupport*>(host->getExtension(host, Clap::kExtPosixFdSupport));
    if (hostFds != nullptr && (hostFds->registerFd == nullptr || hostFds->unregisterFd == nullptr))
        hostFds = nullptr;
    hostTimers = static_cast<const Clap::HostTimerSupport*>(host->getExtension(host, Clap::kExtTimerSupport));
    if (hostTimers != nullptr && (hostTimers->registerTimer == nullptr || hostTimers->unregisterTimer == nullptr))
        hostTimers = nullptr;
    if (hostPresetLoad == nullptr)
        hostPresetLoad =
            static_cast<const Clap::HostPresetLoad*>(host->getExtension(host, Clap::kExtPresetLoadDraft));
    initialized = true;
    return true;
}

void ClapEffect::Destroy()
{
    // A host that destroys the instance with its editor open: the window goes first.
    if (view != nullptr)
        GuiExtension().destroy(&record);
    if (active.load())
        Deactivate();
    delete this;
}

bool ClapEffect::Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames)
{
    // Activating twice, or with set-up no block could run with, changes nothing.
    if (!initialized || active.load() || maxFrames == 0 || minFrames > maxFrames)
        return false;
    const float rate = static_cast<float>(sampleRate);
    if (!VstToolkit::Model::IsUsableSampleRate(rate))
        return false;
    SetSampleRate(rate);
    // Starts the engine afresh at its rate, as a VST 2 resume does.
    SetMaxBlockSize(maxFrames > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(maxFrames));
    active.store(true);
    return true;
}

void ClapEffect::Deactivate()
{
    processing.store(false);
    active.store(false);
}

const void* ClapEffect::GetExtension(const char* id) const
{
    if (id == nullptr)
        return nullptr;
    if (Is(id, Clap::kExtAudioPorts))
        return &kAudioPorts;
    if (Is(id, Clap::kExtNotePorts))
        return &kNotePorts;
    if (Is(id, Clap::kExtParams))
        return &ParamsExtension();
    if (Is(id, Clap::kExtState))
        return &StateExtension();
    if (Is(id, Clap::kExtLatency))
        return &kLatency;
    if (Is(id, Clap::kExtTail))
        return &kTail;
    if (Is(id, Clap::kExtPresetLoad) || Is(id, Clap::kExtPresetLoadDraft))
        return &PresetLoadExtension();
    if (Is(id, Clap::kExtGui))
        return &GuiExtension();
    if (Is(id, Clap::kExtPosixFdSupport))
        return &PosixFdExtension();
    if (Is(id, Clap::kExtTimerSupport))
        return &TimerExtension();
    return nullptr;
}

void ClapEffect::OnMainThread()
{
    if (stateChanged.exchange(false) && hostState != nullptr && hostState->markDirty != nullptr)
        hostState->markDirty(host);
}

void ClapEffect::ReportMidiLearned()
{
    // Audio thread: the host hears of the new controller map from the main thread.
    stateChanged.store(true);
    host->requestCallback(host);
}

// ---- Ports, latency, tail ----------------------------------------------------------------------

uint32_t ClapEffect::AudioPortCount(bool) const
{
    return 1;
}

bool ClapEffect::GetAudioPort(uint32_t index, bool isInput, Clap::AudioPortInfo* info) const
{
    if (index != 0 || info == nullptr)
        return false;
    std::memset(info, 0, sizeof *info);
    info->id = kMainPortId;
    Morlent::CopyFixedString(info->name, isInput ? "Stereo In" : "Stereo Out", sizeof info->name);
    info->flags = Clap::kAudioPortIsMain;
    info->channelCount = kChannelCount;
    info->portType = Clap::kPortStereo;
    // The output may be rendered in the input's buffers.
    info->inPlacePair = kMainPortId;
    return true;
}

uint32_t ClapEffect::NotePortCount(bool isInput) const
{
    // A MIDI input, so learned controllers reach the effect.
    return isInput ? 1 : 0;
}

bool ClapEffect::GetNotePort(uint32_t index, bool isInput, Clap::NotePortInfo* info) const
{
    if (!isInput || index != 0 || info == nullptr)
        return false;
    std::memset(info, 0, sizeof *info);
    info->id = kMidiPortId;
    info->supportedDialects = Clap::kNoteDialectMidi;
    info->preferredDialect = Clap::kNoteDialectMidi;
    Morlent::CopyFixedString(info->name, "MIDI In", sizeof info->name);
    return true;
}

uint32_t ClapEffect::Latency() const
{
    return 0;
}

uint32_t ClapEffect::Tail() const
{
    // Feedback may ring for as long as the host lets it, as the VST 3 adapter answers.
    return Clap::kInfiniteTail;
}

} // namespace MorlentClap
