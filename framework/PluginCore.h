#pragma once
// The effect as every plug-in format sees it. A format adapter (the VST 2 controller, and any
// other format's wrapper) derives from PluginCore, translates its host's calls into these
// operations and overrides the two report hooks to tell its host what the effect changed by
// itself. Nothing here knows which format it runs in.

#include "description/EffectDescription.h"
#include "common/Chunk.h"
#include "framework/Model.h"
#include "framework/ParameterView.h"

#include <atomic>
#include <cstdint>

namespace VstToolkit {

// The host's transport at the start of a block; a field whose flag is false was not given.
struct TimeInfo {
    bool tempoValid = false;
    double tempo = 0.0;
    bool positionValid = false;
    double ppqPosition = 0.0;
    bool playing = false;
    bool timeSignatureValid = false;
    int32_t timeSignatureNumerator = 0;
    int32_t timeSignatureDenominator = 0;
};

// A parameter as a host lists it. Switches and choices have entries, one per step.
struct ParameterInfo {
    const char* longName;
    const char* shortName;
    const char* label;
    float defaultValue;
    MorlentDelay::ParameterKind kind;
    int32_t entryCount;         // 0 for a continuous parameter
    const char* const* entries; // entryCount display texts, lowest value first
};

class PluginCore {
public:
    // The program chunk holds the selected program; the bank chunk every program and the
    // controller map.
    enum class StateScope { kProgram, kBank };
    static constexpr int64_t kMaxStateSize = MorlentDelay::kLargestAcceptedChunkSize;

    // Takes ownership of the model.
    explicit PluginCore(Model* model);
    virtual ~PluginCore();

    PluginCore(const PluginCore&) = delete;
    PluginCore& operator=(const PluginCore&) = delete;

    // ---- Any thread: identity and the parameter table never change --------------------------
    const char* GetEffectName() const { return model->GetEffectName(); }
    const char* GetVendorString() const { return model->GetVendorString(); }
    const char* GetProductString() const { return model->GetProductString(); }
    int32_t GetUniqueId() const { return model->GetUniqueId(); }
    int32_t GetVendorVersion() const { return model->GetVendorVersion(); }
    int32_t GetPluginCategory() const { return model->GetPluginCategory(); }
    int32_t GetInputCount() const { return model->GetInputCount(); }
    int32_t GetOutputCount() const { return model->GetOutputCount(); }
    int32_t GetParameterCount() const { return model->GetParameterCount(); }
    int32_t GetProgramCount() const { return model->GetProgramCount(); }
    // Null for an index outside the table.
    const ParameterInfo* GetParameterInfo(int32_t index) const;

    // ---- Any thread: hosts play automation back on their audio thread -----------------------
    float GetParameterValue(int32_t index) const { return model->GetParameterValue(index); }
    // Stores the value kept within 0..1 (a NaN or an unknown index changes nothing) and shows it
    // in the view; reports nothing back, since the host made the change.
    void SetParameterValue(int32_t index, float value);
    // The selected program's display text of a parameter into text[kDisplaySize]; "" for an
    // unknown index.
    void GetParameterDisplay(int32_t index, char* text) const;
    // The display text a value would have, without storing it (kept within 0..1 first).
    void FormatParameterValue(int32_t index, float value, char* text) const;

    // ---- Main thread: programs, state and set-up ---------------------------------------------
    int32_t GetSelectedProgram() const { return model->GetSelectedProgramIndex(); }
    // "" for an index outside the table.
    const char* GetProgramName(int32_t program) const { return model->GetProgramName(program); }
    // An index outside the table changes nothing and answers false.
    bool SelectProgram(int32_t program);
    void SetSelectedProgramName(const char* name);
    // Writes the chunk into buffer (emptied first).
    void GetState(Morlent::ChunkBuffer& buffer, StateScope scope);
    // Reads a chunk from a private copy of data (the host may reuse its buffer meanwhile). A
    // chunk that is empty, too large, damaged, not ours or newer changes nothing: false.
    bool SetState(const void* data, int64_t size, StateScope scope);
    // While nothing processes (before the first block, between a host's deactivation and
    // activation): the effect starts from here as a new instance would at the current settings,
    // delays at their values instead of gliding there, lines empty.
    void Restart() { model->RestartEngine(); }
    // A rate outside the usable range changes nothing and answers false.
    bool SetSampleRate(float rate);
    float GetSampleRate() const { return model->GetSampleRate(); }
    // The engine renders blocks of any length; a new largest block restarts it at its rate, as
    // a host expects after a set-up change.
    void SetMaxBlockSize(int32_t frames);

    // ---- Audio thread -------------------------------------------------------------------------
    // Adopts what changed in the host's transport; unordered values (a NaN) count as unchanged.
    void SetTimeInfo(const TimeInfo& time);
    // Queues a MIDI message for the next Process call, at its frame offset inside that block.
    void PushMidiEvent(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Renders frames of two channels; outputs may be the inputs. Events queued for this block
    // take effect at their frames.
    void Process(float** inputs, float** outputs, int32_t frames);
    // Renders frames offset..offset+count-1 of the host's channel arrays with the values as they
    // stand, for a format whose parameter changes arrive at sample offsets: its adapter renders
    // up to each change, applies it and goes on, as Process does around a MIDI event. Queued MIDI
    // events are left for Process.
    void ProcessFrames(float** inputs, float** outputs, int32_t offset, int32_t count);
    // Hands a MIDI message to the effect at once, at its frame inside the block ProcessFrames is
    // rendering, for a format that delivers controllers as parameter changes between those calls.
    void ApplyMidiEvent(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Between blocks: the next one starts with empty delay lines, every setting kept, for a
    // format whose host resets a running instance on its audio thread.
    void EmptyDelayLines() { model->EmptyDelayLines(); }

    // ---- User-interface thread: the editor's view ---------------------------------------------
    // Null detaches the view; returns only when no other thread is still using the old one.
    void SetView(ParameterView* view);
    ParameterView* GetView() const { return view.load(); }
    // A value the user set in the view: stored, then reported to the host.
    void OnViewParameterValueChanged(int32_t index, float value);
    // Shows every parameter of the selected program in the view.
    void UpdateViewParameters();

    // ---- Called by the model (audio thread, from a learned MIDI controller) -------------------
    void OnModelParameterValueChanged(int32_t index, float value);
    void OnModelMidiLearned();

    Model* GetModel() const { return model; }

protected:
    // ---- What the effect changed by itself, for the adapter to tell its host ------------------
    // A parameter moved by the user in the view (user-interface thread) or by a learned MIDI
    // controller (audio thread).
    virtual void ReportParameterEdit(int32_t index, float value);
    // A MIDI Learn completed: the controller map changed (audio thread).
    virtual void ReportMidiLearned();

    // Registers this core with the model; the adapter calls it once it is built.
    void AttachToModel();

private:
    template <typename Action> void WithView(Action action)
    {
        viewUsers.fetch_add(1);
        if (ParameterView* current = view.load())
            action(*current);
        viewUsers.fetch_sub(1);
    }

    Model* model;
    std::atomic<ParameterView*> view{nullptr};
    std::atomic<int> viewUsers{0};
};

} // namespace VstToolkit
