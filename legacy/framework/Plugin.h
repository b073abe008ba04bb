#pragma once

#include "effect_base/AudioEffectX.h"
#include "legacy/framework/Model.h"
#include "legacy/framework/ModelObserverInterface.h"

#include <cstdint>

namespace VovezEdeduvo {
namespace Vst {

// The effect object the host talks to in the 32-bit module. It owns the model and answers
// every request from it; as an observer of the model it reports changes that did not come
// from the host (editor knobs, learned controllers) to the host as automation.
//
// Threads: processReplacing and processEvents on the audio thread, everything else on the
// host's main thread unless noted. Every path that changes the model takes the model's lock;
// the work done under it never allocates.
class Plugin : public AudioEffectX, public ModelObserverInterface {
public:
    static constexpr VstInt32 kTimeInfoFilter = kVstPpqPosValid | kVstTempoValid;
    // No plug-in state comes near this; anything larger is not one of our chunks.
    static constexpr VstInt32 kMaxChunkSize = MorlentDelay::kLargestAcceptedChunkSize;

    // Takes ownership of the model.
    Plugin(audioMasterCallback audioMaster, const char* effectName, const char* vendorString,
           const char* productString, VstInt32 vendorVersion, VstInt32 uniqueId, VstInt32 category, Model* model);
    ~Plugin() override;

    // --- audio thread ---
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstInt32 processEvents(VstEvents* events) override;

    // --- any thread: hosts play automation back on their audio thread ---
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    // The thread that changed the parameter. Tells the host only: the value is stored already.
    void setParameterAutomated(VstInt32 index, float value) override;

    // --- main thread ---
    void resume() override;
    void setSampleRate(float rate) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    VstInt32 getNumMidiInputChannels() override { return 1; }
    VstInt32 canDo(char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return vendorVersion; }
    VstInt32 getPlugCategory() override { return category; }

    // The header both chunk kinds start with. The readers answer false for another effect's
    // chunk, one cut short, or one newer than this plug-in; version is the chunk's.
    virtual bool ReadProgramHeader(ChunkReader& reader, int32_t& version);
    virtual void WriteProgramHeader(ChunkWriter& writer);
    virtual bool ReadBankHeader(ChunkReader& reader, int32_t& version) { return ReadProgramHeader(reader, version); }
    virtual void WriteBankHeader(ChunkWriter& writer) { WriteProgramHeader(writer); }

    // --- model observer (the thread that changed the model) ---
    void OnParameterChanged(Model* model, int32_t index, float value) override;
    void OnProgramChanged(Model* model) override;

    Model* GetModel() const { return model; }

private:
    bool IsParameter(VstInt32 index) const { return index >= 0 && index < model->GetParameterCount(); }

    char effectName[MorlentDelay::kEffectNameSize];
    char vendorString[MorlentDelay::kVendorStringSize];
    char productString[MorlentDelay::kProductStringSize];
    VstInt32 vendorVersion;
    VstInt32 uniqueId;
    VstInt32 category;
    Model* model;
    ChunkWriter chunkBuffer;
    // Audio thread only.
    double lastTempo = -1.0;
    double lastPpqPosition = -1.0;
};

} // namespace Vst
} // namespace VovezEdeduvo
