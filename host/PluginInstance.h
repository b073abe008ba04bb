#pragma once
// One loaded plug-in module (VST 2, or VST 3 or CLAP through a bridge) and one effect instance of it, with the host callback behind it.
// This file owns the boundary to the plug-in: the rest of the host asks for texts, values, blocks
// and editor operations, and no opcode or record function is called anywhere else.

#include "effect_base/VstInterface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace MorlentHost {

// What the host callback answers from. The render and bench loops set the time before each block.
struct HostState {
    VstTimeInfo time{};
    float sampleRate = 48000.0f;
    int blockSize = 512;
    int automations = 0; // audioMasterAutomate calls seen, reported by the commands
};

// The host callback of every instance: finds the HostState through the record's host-reserved
// field, or uses a shared state during the entry-point call, before the record exists.
VstIntPtr VSTCALLBACK HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

// The MIDI events of one block in the layout processEvents takes: the VstEvents header (count,
// reserved) then its pointers, in pointer-sized words so the layout matches the record on both
// pointer sizes. Storage is reserved once, so filling a block never allocates.
class EventBlock {
public:
    explicit EventBlock(size_t capacity);
    void Clear() { count_ = 0; }
    // False when the block is full.
    bool Add(int deltaFrames, const uint8_t (&bytes)[3]);
    size_t Size() const { return count_; }

private:
    friend class PluginInstance;
    std::vector<VstMidiEvent> midi_;
    std::vector<VstIntPtr> list_;
    size_t count_ = 0;
};

class PluginInstance {
public:
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Loads MODULE, calls its entry point and opens the effect. Null with a message saying which
    // step failed (file, entry point, null effect, not a VST 2 effect) in `error`.
    static std::unique_ptr<PluginInstance> Load(const std::string& path, std::string& error);
    // Drives a record that already lives in this process (a stand-in plug-in) exactly as a loaded
    // one: opened now, closed by the destructor. The record must outlive the instance.
    static std::unique_ptr<PluginInstance> Adopt(AEffect* effect);

    HostState& Host() { return host_; }

    // --- what the plug-in declares ---
    bool IsVst3() const { return vst3_; }
    bool IsClap() const { return clap_; }
    std::string EffectName() { return Text(effGetEffectName); }
    std::string VendorName() { return Text(effGetVendorString); }
    std::string ProductName() { return Text(effGetProductString); }
    int32_t UniqueId() const { return effect_->uniqueID; }
    long VendorVersion() { return static_cast<long>(Dispatch(effGetVendorVersion)); }
    long VstVersion() { return static_cast<long>(Dispatch(effGetVstVersion)); }
    long Category() { return static_cast<long>(Dispatch(effGetPlugCategory)); }
    int RecordVersion() const { return effect_->version; }
    VstInt32 Flags() const { return effect_->flags; }
    bool HasFlag(VstInt32 flag) const { return (effect_->flags & flag) != 0; }
    int Inputs() const { return effect_->numInputs; }
    int Outputs() const { return effect_->numOutputs; }
    int InitialDelay() const { return effect_->initialDelay; }
    // The plug-in's answer to effCanDo: 1 yes, -1 no, 0 don't know.
    long CanDo(const std::string& question);

    // --- parameters and programs ---
    int ParameterCount() const { return effect_->numParams; }
    std::string ParameterName(int index) { return Text(effGetParamName, index); }
    std::string ParameterLabel(int index) { return Text(effGetParamLabel, index); }
    std::string ParameterDisplay(int index) { return Text(effGetParamDisplay, index); }
    float Parameter(int index) { return effect_->getParameter(effect_, index); }
    void SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
    int ProgramCount() const { return effect_->numPrograms; }
    std::vector<std::string> ProgramNames();
    int CurrentProgram() { return static_cast<int>(Dispatch(effGetProgram)); }
    std::string CurrentProgramName() { return Text(effGetProgramName); }
    // False with a message when N is outside the plug-in's programs.
    bool SelectProgram(int program, std::string& error);
    bool SetParameters(const std::vector<std::pair<int, float>>& settings, std::string& error);

    // The plug-in's state as an opaque chunk: a program (the selected one) or the whole bank.
    bool GetChunk(bool program, std::vector<uint8_t>& chunk, std::string& error);
    bool SetChunk(bool program, const std::vector<uint8_t>& chunk, std::string& error);

    // --- audio ---
    // Sample rate and block size, then effMainsChanged 1; Suspend undoes it. The destructor
    // suspends a resumed instance before it closes it.
    void Resume(float sampleRate, int blockSize);
    void Suspend();
    // Whether the plug-in processes in place of its outputs, the only way this host processes.
    bool CanReplace() const;
    // Hands the block's events to the plug-in; an empty block is not sent.
    void ProcessEvents(EventBlock& events);
    // One block through processReplacing: a pointer per input and per output, `frames` long.
    // The plug-in reads the host's time information (Host().time) as it stands.
    void Process(float** inputs, float** outputs, int frames)
    {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }

    // --- editor ---
    // The size effEditGetRect reports; false when there is none or it is empty.
    bool EditorSize(int& width, int& height);
    // Opens the editor inside the host's window (an HWND on Windows); false when it refuses.
    bool OpenEditor(void* window) { return Dispatch(effEditOpen, 0, 0, window) != 0; }
    void IdleEditor() { Dispatch(effEditIdle); }
    void CloseEditor() { Dispatch(effEditClose); }

private:
    PluginInstance() = default;
    void Open(AEffect* effect);

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // A text the plug-in writes into a host buffer; the buffer is far wider than any field so an
    // overlong answer cannot run past it.
    std::string Text(VstInt32 opcode, VstInt32 index = 0);

    void* module_ = nullptr;
    bool vst3_ = false; // a VST 3 module, whose effect the host's own record wraps
    bool clap_ = false; // a CLAP module, likewise
    AEffect* effect_ = nullptr;
    bool resumed_ = false;
    HostState host_;
};

} // namespace MorlentHost
