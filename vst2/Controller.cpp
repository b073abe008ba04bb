#include "vst2/Controller.h"

#include "effect_base/HostData.h"

#include "platform/Trace.h"

namespace VstToolkit {

Controller::Controller(audioMasterCallback audioMaster, Model* model)
    : AudioEffectX(audioMaster, model->GetProgramCount(), model->GetParameterCount()), PluginCore(model)
{
    Platform::Trace("Controller::Controller\r\n");
    AttachToModel();
    canProcessReplacing(true);
    programsAreChunks(true);
    setNumInputs(GetInputCount());
    setNumOutputs(GetOutputCount());
    setUniqueID(GetUniqueId());
}

Controller::~Controller()
{
    Platform::Trace("Controller::~Controller");
    // The editor goes first: its windows talk to the model until they are gone. The core then
    // deletes the model.
    setEditor(nullptr);
}

void Controller::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    UpdateTimeInfo();
    Process(inputs, outputs, sampleFrames);
}

VstInt32 Controller::processEvents(VstEvents* events)
{
    ForEachMidiEvent(events, [this](VstInt32 frame, uint8_t status, uint8_t data1, uint8_t data2) {
        PushMidiEvent(frame, status, data1, data2);
    });
    return 1;
}

void Controller::UpdateTimeInfo()
{
    const VstTimeInfo* time = getTimeInfo(kTimeInfoFilter);
    if (time == nullptr)
        return;
    TimeInfo info;
    info.tempoValid = (time->flags & kVstTempoValid) != 0;
    info.tempo = time->tempo;
    info.positionValid = (time->flags & kVstPpqPosValid) != 0;
    info.ppqPosition = time->ppqPos;
    info.playing = (time->flags & kVstTransportPlaying) != 0;
    info.timeSignatureValid = (time->flags & kVstTimeSigValid) != 0;
    info.timeSignatureNumerator = time->timeSigNumerator;
    info.timeSignatureDenominator = time->timeSigDenominator;
    SetTimeInfo(info);
}

void Controller::setSampleRate(float rate)
{
    Platform::Trace("Controller::setSampleRate\r\n");
    if (!Model::IsUsableSampleRate(rate))
        return;
    AudioEffectX::setSampleRate(rate);
    SetSampleRate(rate);
}

void Controller::setBlockSize(VstInt32 size)
{
    Platform::Trace("Controller::setBlockSize\r\n");
    AudioEffectX::setBlockSize(size);
    SetMaxBlockSize(size);
}

void Controller::setParameter(VstInt32 index, float value)
{
    creatorTrace("Controller::setParameter");
    SetParameterValue(index, value);
}

float Controller::getParameter(VstInt32 index)
{
    creatorTrace("Controller::getParameter\r\n");
    return GetParameterValue(index);
}

void Controller::setProgram(VstInt32 program)
{
    Platform::Trace("Controller::setProgram\r\n");
    if (SelectProgram(program))
        curProgram = program;
}

void Controller::setProgramName(char* name)
{
    Platform::Trace("Controller::setProgramName\r\n");
    SetSelectedProgramName(name);
}

void Controller::getProgramName(char* name)
{
    Platform::Trace("Controller::getProgramName\r\n");
    if (name != nullptr)
        Morlent::CopyFixedString(name, GetProgramName(GetSelectedProgram()), kVstMaxProgNameLen);
}

void Controller::getParameterLabel(VstInt32 index, char* label)
{
    Platform::Trace("Controller::getParameterLabel\r\n");
    if (label != nullptr)
        Morlent::CopyFixedString(label, GetModel()->GetParameterLabel(index), kVstMaxParamStrLen);
}

void Controller::getParameterDisplay(VstInt32 index, char* text)
{
    Platform::Trace("Controller::getParameterDisplay\r\n");
    if (text != nullptr)
        GetParameterDisplay(index, text);
}

void Controller::getParameterName(VstInt32 index, char* text)
{
    Platform::Trace("Controller::getParameterName\r\n");
    if (text != nullptr)
        Morlent::CopyFixedString(text, GetModel()->GetParameterShortName(index), kVstMaxParamStrLen);
}

VstInt32 Controller::getChunk(void** data, bool isPreset)
{
    Platform::Trace("Controller::getChunk\r\n");
    if (data == nullptr)
        return 0;
    GetState(chunkBuffer, isPreset ? StateScope::kProgram : StateScope::kBank);
    *data = chunkBuffer.Data();
    return static_cast<VstInt32>(chunkBuffer.Length());
}

VstInt32 Controller::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    Platform::Trace("Controller::setChunk\r\n");
    return SetState(data, byteSize, isPreset ? StateScope::kProgram : StateScope::kBank) ? 1 : 0;
}

VstInt32 Controller::canDo(char* text)
{
    Platform::Trace("Controller::canDo\r\n");
    static const char* const kCapabilities[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                                                "sendVstEvents", "sendVstMidiEvent"};
    return CanDoAnswer(text, kCapabilities);
}

bool Controller::getEffectName(char* name)
{
    Platform::Trace("Controller::getEffectName\r\n");
    Morlent::CopyFixedString(name, GetEffectName(), kVstMaxEffectNameLen);
    return true;
}

bool Controller::getVendorString(char* text)
{
    Platform::Trace("Controller::getVendorString\r\n");
    Morlent::CopyFixedString(text, GetVendorString(), kVstMaxVendorStrLen);
    return true;
}

bool Controller::getProductString(char* text)
{
    Platform::Trace("Controller::getProductString\r\n");
    Morlent::CopyFixedString(text, GetProductString(), kVstMaxProductStrLen);
    return true;
}

VstInt32 Controller::getVendorVersion()
{
    Platform::Trace("Controller::getVendorVersion\r\n");
    return GetVendorVersion();
}

VstInt32 Controller::getPlugCategory()
{
    Platform::Trace("Controller::getPlugCategory\r\n");
    return GetPluginCategory();
}

void Controller::ReportParameterEdit(int32_t index, float value)
{
    setParameterAutomated(index, value);
}

} // namespace VstToolkit
