#pragma once
// The CLAP adapter: one plug-in instance, the format's plug-in record around the plug-in core.
// Its parameters are the twelve of the VST 2 module, by the same indices, in display units
// (framework/DisplayUnits.h); its state is the bank chunk; its presets are the factory bank's
// programs. It holds no effect logic: each call turns into the core's operations.
//
// The record's functions (ClapEffect.cpp and the role files beside it) find the instance,
// check every pointer and count, catch every exception and give bad input a safe answer.
// Processing never allocates and never locks.

#include "clap/ClapInterface.h"
#include "framework/PluginCore.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace MorlentClap {

class ClapView;
class ClapEffect;

// While the editor holds the pointer (a drag), the gesture it opened stays open; the watch ends
// it once the pointer is released. User-interface thread; without an editor, nothing to watch.
bool EditorHoldsPointer();
void WatchEditorGesture(ClapEffect* effect);
void ForgetEditorGesture(ClapEffect* effect);

// The plug-in's descriptor, made once from the effect's description.
const Clap::PluginDescriptor& EffectDescriptor();
// "com.example.morlent-delay": the maker's web address turned round, then the effect's name.
const char* EffectId();

// The extensions' tables, one per role file.
const Clap::PluginParams& ParamsExtension();
const Clap::PluginState& StateExtension();
const Clap::PluginPresetLoad& PresetLoadExtension();
const Clap::PluginGui& GuiExtension();
const Clap::PluginPosixFdSupport& PosixFdExtension();
const Clap::PluginTimerSupport& TimerExtension();

// The preset-discovery provider of the factory programs (ClapPrograms.cpp).
const Clap::PresetProviderDescriptor& PresetProviderDescriptor();
// Null for another provider's id or a missing indexer; the caller's thread owns the provider.
const Clap::PresetProvider* CreatePresetProvider(const Clap::PresetIndexer* indexer, const char* providerId);
// A factory program's load key: its number in the bank, as decimal text. -1 for anything else.
int32_t ProgramOfLoadKey(const char* loadKey);

class ClapEffect final : private VstToolkit::PluginCore {
public:
    // ---- Main thread -------------------------------------------------------------------------
    // The plug-in record of a new instance, or null; it calls nothing of the host's yet.
    static const Clap::Plugin* Create(const Clap::Host* host);
    // The instance behind a record the host hands back, or null for a record that is not one.
    static ClapEffect* From(const Clap::Plugin* plugin);

    const Clap::Plugin* Record() const { return &record; }
    VstToolkit::PluginCore& Core() { return *this; }

    bool Init();
    // The host may destroy an active instance, with its editor open: both are ended first.
    void Destroy();
    bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
    void Deactivate();
    const void* GetExtension(const char* id) const;
    void OnMainThread();

    uint32_t AudioPortCount(bool isInput) const;
    bool GetAudioPort(uint32_t index, bool isInput, Clap::AudioPortInfo* info) const;
    uint32_t NotePortCount(bool isInput) const;
    bool GetNotePort(uint32_t index, bool isInput, Clap::NotePortInfo* info) const;
    uint32_t Latency() const;

    // ---- Main thread: parameters (ClapParameters.cpp) ---------------------------------------
    bool GetParamInfo(uint32_t index, Clap::ParamInfo* info) const;
    bool GetParamValue(Clap::Id id, double* value) const;
    bool ParamValueToText(Clap::Id id, double value, char* text, uint32_t capacity) const;
    bool ParamTextToValue(Clap::Id id, const char* text, double* value) const;
    // Main thread when not processing, else audio thread.
    void Flush(const Clap::InputEvents* in, const Clap::OutputEvents* out);

    // ---- Main thread: state and presets (ClapState.cpp, ClapPrograms.cpp) ------------------
    bool SaveState(const Clap::OutputStream* stream);
    bool LoadState(const Clap::InputStream* stream);
    bool LoadPreset(uint32_t locationKind, const char* location, const char* loadKey);

    // ---- Audio thread (ClapProcessing.cpp) ----------------------------------------------------
    bool StartProcessing();
    void StopProcessing();
    void Reset();
    Clap::ProcessStatus Process(const Clap::Process* process);
    // Main thread or audio thread.
    uint32_t Tail() const;

    // ---- User-interface (main) thread: the editor (ClapView.cpp) -------------------------------
    ClapView* View() const { return view; }
    const Clap::Host* Host() const { return host; }
    // The host's reactor, which an X11 editor needs; null where the host offers none.
    const Clap::HostPosixFdSupport* HostFds() const { return hostFds; }
    const Clap::HostTimerSupport* HostTimers() const { return hostTimers; }
    void SetOpenView(ClapView* newView) { view = newView; }
    // Ends the gesture a drag in the editor opened, once the pointer is released.
    void EndEditorGesture();
    bool EditorGestureOpen() const { return gestureParameter >= 0; }

private:
    // An editor edit on its way to the host: a gesture's begin or end, or a value.
    struct EditorEdit {
        uint16_t type; // Clap::kEventParamGestureBegin, kEventParamValue or kEventParamGestureEnd
        int32_t parameter;
        float value;
    };
    // Single producer (the user-interface thread), single consumer (process or flush).
    static constexpr uint32_t kEditQueueSize = 1024;

    explicit ClapEffect(const Clap::Host* host);
    ~ClapEffect() override;

    // PluginCore's reports: the view's edits (user-interface thread) and a learned controller's
    // (audio thread, inside process).
    void ReportParameterEdit(int32_t index, float value) override;
    void ReportMidiLearned() override;

    bool IsParameter(Clap::Id id) const { return id < static_cast<Clap::Id>(GetParameterCount()); }
    void QueueEditorEdit(uint16_t type, int32_t parameter, float value);
    // Turns the editor's queued edits into output events at frame 0 (process, flush).
    void SendEditorEdits(const Clap::OutputEvents* out);
    bool PushParamEvent(const Clap::OutputEvents* out, uint16_t type, uint32_t time, uint32_t flags, int32_t parameter,
                        float value);
    void ApplyEvent(const Clap::EventHeader* event);
    void ApplyParamValue(const Clap::ParamValueEvent& event);
    void ApplyTransport(const Clap::TransportEvent& transport);
    // Audio thread: renders up to a frame, as far as the block goes.
    void RenderTo(uint32_t frame);

    Clap::Plugin record{};
    const Clap::Host* host;
    const Clap::HostParams* hostParams = nullptr;
    const Clap::HostState* hostState = nullptr;
    const Clap::HostPresetLoad* hostPresetLoad = nullptr;
    const Clap::HostPosixFdSupport* hostFds = nullptr;
    const Clap::HostTimerSupport* hostTimers = nullptr;
    bool initialized = false;
    std::atomic<bool> active{false};
    std::atomic<bool> processing{false};
    // Set on the audio thread when MIDI Learn changed the controller map; the main thread then
    // tells the host that the state needs saving.
    std::atomic<bool> stateChanged{false};

    // The block process is rendering: its channels, where it stands and its output events, for
    // the events applied at their frames and the edits a learned controller reports.
    std::atomic<std::thread::id> audioThread{};
    float** blockInputs = nullptr;
    float** blockOutputs = nullptr;
    uint32_t blockFrames = 0;
    uint32_t blockPosition = 0;
    const Clap::OutputEvents* blockOut = nullptr;

    EditorEdit edits[kEditQueueSize] = {};
    std::atomic<uint32_t> editsWritten{0}; // by the producer
    std::atomic<uint32_t> editsRead{0};    // by the consumer
    int32_t gestureParameter = -1;         // the parameter an editor drag holds; user-interface thread
    ClapView* view = nullptr;              // user-interface thread
};

} // namespace MorlentClap
