#pragma once

#include "effect_base/AudioEffectX.h"
#include "framework/Chunk.h"
#include "framework/Model.h"
#include "framework/ParameterView.h"
#include "platform/Trace.h"

#include <atomic>

namespace VstToolkit {

// The effect object the host talks to. It owns the model and answers every request from it,
// and keeps the editor's view in step with the model.
class Controller : public AudioEffectX {
public:
    static constexpr VstInt32 kTimeInfoFilter = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid |
                                                kVstTimeSigValid;
    // No plug-in state comes near this; anything larger is not one of our chunks.
    static constexpr VstInt32 kMaxChunkSize = 1 << 20;

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

    // --- view side (user-interface thread) ---
    // Null detaches the view; returns only when no other thread is still using the old one.
    void SetView(ParameterView* view);
    ParameterView* GetView() const { return view.load(); }
    void OnViewParameterValueChanged(int32_t index, float value);
    void UpdateViewParameters();

    // --- model side (audio thread, from a learned MIDI controller; UI thread for a view edit) ---
    void OnModelParameterValueChanged(int32_t index, float value);
    void OnModelMidiLearned();

    Model* GetModel() const { return model; }

protected:
    void UpdateTimeInfo();

private:
    template <typename Action> void WithView(Action action)
    {
        viewUsers.fetch_add(1);
        if (ParameterView* current = view.load())
            action(*current);
        viewUsers.fetch_sub(1);
    }

    Model* model;
    Platform::CreatorThreadTrace creatorTrace;
    std::atomic<ParameterView*> view{nullptr};
    std::atomic<int> viewUsers{0};
    ChunkBuffer chunkBuffer;
};

} // namespace VstToolkit
