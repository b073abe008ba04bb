#pragma once

#include "common/FixedString.h"

#include "effect_base/AEffEditor.h"
#include "effect_base/VstInterface.h"

// The basic VST 2 effect: owns the record the host holds and turns the host's opcodes into
// virtual operations. Unless marked otherwise, operations run on the host's main thread;
// processReplacing (and processEvents in AudioEffectX) run on the host's audio thread.
class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    // --- host requests (main thread) ---
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float newSampleRate) { sampleRate = newSampleRate; }
    virtual void setBlockSize(VstInt32 newBlockSize) { blockSize = newBlockSize; }

    // --- audio thread ---
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double**, double**, VstInt32) {}
    virtual void process(float**, float**, VstInt32) {} // deprecated accumulating form

    // --- parameters (any thread: hosts play automation back on their audio thread) ---
    virtual void setParameter(VstInt32, float) {}
    virtual float getParameter(VstInt32) { return 0.0f; }
    // The thread that changed the parameter: the user-interface thread, or the audio thread for
    // a learned MIDI controller.
    virtual void setParameterAutomated(VstInt32 index, float value);

    // --- programs, names and chunks (main thread) ---
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(VstInt32 index, char* label);
    virtual void getParameterDisplay(VstInt32 index, char* text);
    virtual void getParameterName(VstInt32 index, char* text);
    virtual VstInt32 getChunk(void**, bool) { return 0; }
    virtual VstInt32 setChunk(void*, VstInt32, bool) { return 0; }

    // --- record set-up (main thread, while the derived constructor runs) ---
    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
    virtual void hasVu(bool state = true) { setFlag(effFlagsHasVu, state); }
    virtual void hasClip(bool state = true) { setFlag(effFlagsHasClip, state); }
    virtual void canMono(bool state = true) { setFlag(effFlagsCanMono, state); }
    virtual void setRealtimeQualities(VstInt32 qualities) { cEffect.realQualities = qualities; }
    virtual void setOfflineQualities(VstInt32 qualities) { cEffect.offQualities = qualities; }

    // --- editor and settings (main thread) ---
    // Takes ownership of the editor and announces it to the host through the record's flags.
    virtual void setEditor(AEffEditor* newEditor);
    virtual AEffEditor* getEditor() { return editor; }
    virtual AEffect* getAeffect() { return &cEffect; }
    virtual float getSampleRate() { return sampleRate; }
    virtual VstInt32 getBlockSize() { return blockSize; }
    virtual float getVu() { return 0.0f; }

    // --- host queries (main thread) ---
    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);

    // The effect behind a record, or null when the record is not one of ours.
    static AudioEffect* FromRecord(AEffect* effect) noexcept;

protected:
    void setFlag(VstInt32 flag, bool state)
    {
        cEffect.flags = state ? (cEffect.flags | flag) : (cEffect.flags & ~flag);
    }
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};

// Every copy into a host's fixed-width field goes through the one bounded copy.
using Morlent::CopyFixedString;
