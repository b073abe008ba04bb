#pragma once
// One loaded VST 2 module and one effect instance of it, with the host callback behind it.
// This file owns the boundary to the plug-in: the rest of the host asks for texts and values,
// and the opcodes stay here and in the render loop.

#include "effect_base/VstInterface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace MorlentHost {

// What the host callback answers from. The render loop moves the transport between blocks.
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

class PluginInstance {
public:
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Loads MODULE, calls its entry point and opens the effect. Null with a message saying which
    // step failed (file, entry point, null effect, not a VST 2 effect) in `error`.
    static std::unique_ptr<PluginInstance> Load(const std::string& path, std::string& error);

    AEffect* Effect() const { return effect_; }
    HostState& Host() { return host_; }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // A text the plug-in writes into a host buffer; the buffer is far wider than any field so an
    // overlong answer cannot run past it.
    std::string Text(VstInt32 opcode, VstInt32 index = 0);

    std::string EffectName() { return Text(effGetEffectName); }
    std::string ParameterName(int index) { return Text(effGetParamName, index); }
    std::string ParameterLabel(int index) { return Text(effGetParamLabel, index); }
    std::string ParameterDisplay(int index) { return Text(effGetParamDisplay, index); }
    float Parameter(int index) { return effect_->getParameter(effect_, index); }
    void SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
    std::vector<std::string> ProgramNames();
    int CurrentProgram() { return static_cast<int>(Dispatch(effGetProgram)); }
    // False with a message when N is outside the plug-in's programs.
    bool SelectProgram(int program, std::string& error);
    bool SetParameters(const std::vector<std::pair<int, float>>& settings, std::string& error);

    // The plug-in's state as an opaque chunk: a program (the selected one) or the whole bank.
    bool GetChunk(bool program, std::vector<uint8_t>& chunk, std::string& error);
    bool SetChunk(bool program, const std::vector<uint8_t>& chunk, std::string& error);

    // Sample rate and block size, then effMainsChanged 1; Suspend undoes it. The destructor
    // suspends a resumed instance before it closes it.
    void Resume(float sampleRate, int blockSize);
    void Suspend();

private:
    PluginInstance() = default;

    void* module_ = nullptr;
    AEffect* effect_ = nullptr;
    bool resumed_ = false;
    HostState host_;
};

} // namespace MorlentHost
