#include "effect_base/AudioEffect.h"

#include <cstring>

// The record's plain functions are the only way in from the host. Each one finds the effect,
// checks what the host handed over and catches everything: no exception may unwind into a host.
namespace {

VstIntPtr VSTCALLBACK DispatcherProc(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt)
{
    AudioEffect* effect = AudioEffect::FromRecord(record);
    if (effect == nullptr)
        return 0;
    try {
        if (opcode == effClose) {
            effect->dispatcher(opcode, index, value, ptr, opt);
            delete effect;
            return 1;
        }
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

// Hosts may pass null channel arrays or a count of 0 (some do while a track is frozen or
// muted); the effect only ever sees complete buffers.
bool BuffersUsable(const AEffect* record, void** inputs, void** outputs, VstInt32 sampleFrames)
{
    if (inputs == nullptr || outputs == nullptr || sampleFrames <= 0)
        return false;
    for (VstInt32 i = 0; i < record->numInputs; ++i)
        if (inputs[i] == nullptr)
            return false;
    for (VstInt32 i = 0; i < record->numOutputs; ++i)
        if (outputs[i] == nullptr)
            return false;
    return true;
}

// One function for the three process entries: they differ only in the operation they reach.
template <typename Sample, void (AudioEffect::*Operation)(Sample**, Sample**, VstInt32)>
void VSTCALLBACK ProcessProc(AEffect* record, Sample** inputs, Sample** outputs, VstInt32 sampleFrames)
{
    AudioEffect* effect = AudioEffect::FromRecord(record);
    if (effect == nullptr || !BuffersUsable(record, reinterpret_cast<void**>(inputs),
                                            reinterpret_cast<void**>(outputs), sampleFrames))
        return;
    try {
        (effect->*Operation)(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void VSTCALLBACK SetParameterProc(AEffect* record, VstInt32 index, float value)
{
    AudioEffect* effect = AudioEffect::FromRecord(record);
    if (effect == nullptr || index < 0 || index >= record->numParams)
        return;
    try {
        effect->setParameter(index, value);
    } catch (...) {
    }
}

float VSTCALLBACK GetParameterProc(AEffect* record, VstInt32 index)
{
    AudioEffect* effect = AudioEffect::FromRecord(record);
    if (effect == nullptr || index < 0 || index >= record->numParams)
        return 0.0f;
    try {
        return effect->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = DispatcherProc;
    cEffect.process = ProcessProc<float, &AudioEffect::process>;
    cEffect.setParameter = SetParameterProc;
    cEffect.getParameter = GetParameterProc;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = FourCharCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = ProcessProc<float, &AudioEffect::processReplacing>;
    cEffect.processDoubleReplacing = ProcessProc<double, &AudioEffect::processDoubleReplacing>;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

AudioEffect* AudioEffect::FromRecord(AEffect* effect) noexcept
{
    if (effect == nullptr || effect->magic != kEffectMagic)
        return nullptr;
    return static_cast<AudioEffect*>(effect->object);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return audioMaster != nullptr ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    if (editor != newEditor)
        delete editor;
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    const bool parameterInRange = index >= 0 && index < numParams;
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        // A negative number would index before the first program.
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (ptr != nullptr)
            setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr != nullptr)
            getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        if (ptr == nullptr)
            return 0;
        if (!parameterInRange) {
            *static_cast<char*>(ptr) = '\0';
            return 0;
        }
        if (opcode == effGetParamLabel)
            getParameterLabel(index, static_cast<char*>(ptr));
        else if (opcode == effGetParamDisplay)
            getParameterDisplay(index, static_cast<char*>(ptr));
        else
            getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        if (editor == nullptr || ptr == nullptr)
            return 0;
        return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor != nullptr && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor != nullptr)
            editor->close();
        return 0;
    case effEditIdle:
        if (editor != nullptr)
            editor->idle();
        return 0;
    case effIdentify:
        return FourCharCode('N', 'v', 'E', 'f');
    case effGetChunk:
        if (ptr == nullptr)
            return 0;
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        // The size travels pointer-wide; one that does not fit the operation's int32 is not a chunk.
        if (value <= 0 || value > 0x7FFFFFFF)
            return 0;
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        return 0;
    }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::setProgramName(char*) {}

void AudioEffect::getProgramName(char* name)
{
    *name = '\0';
}

void AudioEffect::getParameterLabel(VstInt32, char* label)
{
    *label = '\0';
}

void AudioEffect::getParameterDisplay(VstInt32, char* text)
{
    *text = '\0';
}

void AudioEffect::getParameterName(VstInt32, char* text)
{
    *text = '\0';
}

VstInt32 AudioEffect::getMasterVersion()
{
    const VstIntPtr version = callHost(audioMasterVersion);
    return version != 0 ? static_cast<VstInt32>(version) : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId()
{
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle()
{
    callHost(audioMasterIdle);
}

bool AudioEffect::isInputConnected(VstInt32 input)
{
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output)
{
    return callHost(audioMasterPinConnected, output, 1) == 0;
}
