#include "effect_base/AudioEffectX.h"

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams)
{
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return index >= 0 && index < numParams && canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return text != nullptr && index >= 0 && index < numParams && string2parameter(index, text) ? 1 : 0;
    case effGetProgramNameIndexed:
        if (text == nullptr)
            return 0;
        // Some hosts show the buffer whatever the answer: a program outside the bank has no name.
        if (index < 0 || index >= numPrograms) {
            text[0] = '\0';
            return 0;
        }
        return getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetEffectName:
        return text != nullptr && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return text != nullptr && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text != nullptr && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo:
        return text != nullptr ? canDo(text) : 0;
    case effGetTailSize:
        return getTailSize();
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
        if (editor != nullptr) {
            VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(opt)};
            return (opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key)) ? 1 : 0;
        }
        return 0;
    case effSetEditKnobMode:
        return editor != nullptr && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram();
    case effGetSpeakerArrangement:
        return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                     static_cast<VstSpeakerArrangement**>(ptr))
                   ? 1
                   : 0;
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(value);
    case effGetInputProperties:
    case effGetOutputProperties:
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effProcessVarIo:
    case effSetSpeakerArrangement:
    case effVendorSpecific:
    case effGetParameterProperties:
    case effGetMidiProgramName:
    case effGetMidiProgramCategory:
    case effHasMidiProgramsChanged:
    case effGetMidiKeyName:
    case effBeginSetProgram:
    case effEndSetProgram:
    case effShellGetNextPlugin:
    case effStartProcess:
    case effStopProcess:
    case effSetPanLaw:
    case effBeginLoadBank:
    case effBeginLoadProgram:
    case effSetProcessPrecision:
        return 0;
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume()
{
    char midi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(midi) == 1)
        wantEvents(1);
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter)
{
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    if (input != nullptr)
        *input = nullptr;
    if (output != nullptr)
        *output = nullptr;
    return false;
}

bool AudioEffectX::wantEvents(VstInt32 filter)
{
    return callHost(audioMasterWantMidi, 0, filter) != 0;
}

bool AudioEffectX::beginEdit(VstInt32 index)
{
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index)
{
    return callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::ioChanged()
{
    return callHost(audioMasterIOChanged) != 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::updateDisplay()
{
    return callHost(audioMasterUpdateDisplay) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion()
{
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstInt32 AudioEffectX::canHostDo(char* text)
{
    return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}
