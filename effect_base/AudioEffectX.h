#pragma once

#include "effect_base/AudioEffect.h"

// The VST 2.x extensions of the effect base. Threads as in AudioEffect; processEvents runs on
// the host's audio thread right before processReplacing.
class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    // --- main thread ---
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    void resume() override;

    // --- audio thread ---
    virtual VstInt32 processEvents(VstEvents*) { return 0; }
    // Asked at the start of every processReplacing.
    virtual VstTimeInfo* getTimeInfo(VstInt32 filter);

    // --- main thread ---
    virtual bool canParameterBeAutomated(VstInt32) { return true; }
    virtual bool string2parameter(VstInt32, char*) { return false; }
    virtual bool getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstInt32 canDo(char*) { return 0; }
    virtual VstInt32 getPlugCategory() { return 0; }
    virtual VstInt32 getVstVersion() { return 2400; }
    virtual VstInt32 getCurrentMidiProgram() { return -1; }
    virtual VstIntPtr setTotalSampleToProcess(VstIntPtr value) { return value; }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual VstInt32 getTailSize() { return 0; }
    virtual VstInt32 getNumMidiInputChannels() { return 0; }
    virtual VstInt32 getNumMidiOutputChannels() { return 0; }
    virtual bool setBypass(bool) { return false; }

    // --- requests to the host (main thread) ---
    virtual bool wantEvents(VstInt32 filter = 1);
    virtual void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    virtual void noTail(bool state = true) { setFlag(effFlagsNoSoundInStop, state); }
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    virtual bool ioChanged();
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);
    virtual bool updateDisplay();
    virtual VstInt32 getHostVendorVersion();
    virtual VstInt32 canHostDo(char* text);
};
