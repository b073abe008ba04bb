#pragma once

#include "effect_base/AudioEffectX.h"
#include "common/Chunk.h"
#include "framework/Model.h"
#include "framework/PluginCore.h"
#include "platform/Trace.h"

namespace VstToolkit {

// The VST 2 adapter: the effect object the host talks to. It translates the record's requests
// into the plug-in core's operations and reports the effect's own changes as automation.
class Controller : public AudioEffectX, public PluginCore {
public:
    static constexpr VstInt32 kTimeInfoFilter = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid |
                                                kVstTimeSigValid;
    static constexpr VstInt32 kMaxChunkSize = static_cast<VstInt32>(kMaxStateSize);

    // Takes ownership of the model.
    Controller(audioMasterCallback audioMaster, Model* model);
    ~Controller() override;

    // --- audio thread ---
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstInt32 processEvents(VstEvents* events) override;

    // --- any thread: hosts play automation back on their audio thread ---
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    // --- main thread ---
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    VstInt32 canDo(char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 getPlugCategory() override;

protected:
    void UpdateTimeInfo();
    // A learned controller (audio thread) or the editor (user-interface thread) moved a
    // parameter: the host records it as automation.
    void ReportParameterEdit(int32_t index, float value) override;

private:
    Platform::CreatorThreadTrace creatorTrace;
    Morlent::ChunkBuffer chunkBuffer;
};

} // namespace VstToolkit
