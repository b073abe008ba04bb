#include "framework/Controller.h"

#include "effect_base/HostData.h"

#include "platform/Trace.h"

#include <cstring>
#include <memory>
#include <new>
#include <thread>

namespace VstToolkit {

Controller::Controller(audioMasterCallback audioMaster, Model* model)
    : AudioEffectX(audioMaster, model->GetProgramCount(), model->GetParameterCount()), model(model)
{
    Platform::Trace("Controller::Controller\r\n");
    model->SetController(this);
    canProcessReplacing(true);
    programsAreChunks(true);
    setNumInputs(model->GetInputCount());
    setNumOutputs(model->GetOutputCount());
    setUniqueID(model->GetUniqueId());
}

Controller::~Controller()
{
    Platform::Trace("Controller::~Controller");
    // The editor goes first: its windows talk to the model until they are gone.
    setEditor(nullptr);
    delete model;
}

void Controller::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    UpdateTimeInfo();
    model->ProcessBlock(inputs, outputs, sampleFrames);
}

VstInt32 Controller::processEvents(VstEvents* events)
{
    ForEachMidiEvent(events, [this](VstInt32 frame, uint8_t status, uint8_t data1, uint8_t data2) {
        model->PushMidiEvent(frame, status, data1, data2);
    });
    return 1;
}

void Controller::UpdateTimeInfo()
{
    const VstTimeInfo* time = getTimeInfo(kTimeInfoFilter);
    if (time == nullptr)
        return;
    // Unordered comparisons (a NaN from the host) never count as a change.
    if ((time->flags & kVstTempoValid) != 0) {
        const double old = model->GetTempo();
        if (time->tempo < old || time->tempo > old) {
            model->StoreTempo(time->tempo);
            model->OnTempoChanged(old, time->tempo);
        }
    }
    if ((time->flags & kVstPpqPosValid) != 0) {
        const double old = model->GetPpqPosition();
        if (time->ppqPos < old || time->ppqPos > old) {
            model->StorePpqPosition(time->ppqPos);
            model->OnPpqPositionChanged(old, time->ppqPos);
        }
    }
    const bool playing = (time->flags & kVstTransportPlaying) != 0;
    if (playing != model->IsPlaying()) {
        model->StorePlaying(playing);
        model->OnTransportPlayingChanged(playing);
    }
    if ((time->flags & kVstTimeSigValid) != 0) {
        const int32_t oldNumerator = model->GetTimeSignatureNumerator();
        const int32_t oldDenominator = model->GetTimeSignatureDenominator();
        if (time->timeSigNumerator != oldNumerator || time->timeSigDenominator != oldDenominator) {
            model->StoreTimeSignature(time->timeSigNumerator, time->timeSigDenominator);
            model->OnTimeSignatureChanged(oldNumerator, oldDenominator, time->timeSigNumerator,
                                          time->timeSigDenominator);
        }
    }
}

void Controller::setSampleRate(float rate)
{
    Platform::Trace("Controller::setSampleRate\r\n");
    if (!Model::IsUsableSampleRate(rate))
        return;
    AudioEffectX::setSampleRate(rate);
    model->SetSampleRate(rate);
}

void Controller::setBlockSize(VstInt32 size)
{
    Platform::Trace("Controller::setBlockSize\r\n");
    AudioEffectX::setBlockSize(size);
    model->SetSampleRate(sampleRate);
}

void Controller::setParameter(VstInt32 index, float value)
{
    creatorTrace("Controller::setParameter");
    if (index < 0 || index >= model->GetParameterCount())
        return;
    model->SetParameterValue(index, value);
    const float stored = model->GetParameterValue(index);
    WithView([&](ParameterView& current) { current.UpdateParameterControl(index, stored); });
}

float Controller::getParameter(VstInt32 index)
{
    creatorTrace("Controller::getParameter\r\n");
    return model->GetParameterValue(index);
}

void Controller::setProgram(VstInt32 program)
{
    Platform::Trace("Controller::setProgram\r\n");
    if (program < 0 || program >= model->GetProgramCount())
        return;
    curProgram = program;
    model->SetSelectedProgramIndex(program);
    UpdateViewParameters();
}

void Controller::setProgramName(char* name)
{
    Platform::Trace("Controller::setProgramName\r\n");
    if (name != nullptr)
        model->SetSelectedProgramName(name);
}

void Controller::getProgramName(char* name)
{
    Platform::Trace("Controller::getProgramName\r\n");
    if (name != nullptr)
        CopyFixedString(name, model->GetProgramName(model->GetSelectedProgramIndex()), kVstMaxProgNameLen);
}

void Controller::getParameterLabel(VstInt32 index, char* label)
{
    Platform::Trace("Controller::getParameterLabel\r\n");
    if (label != nullptr)
        CopyFixedString(label, model->GetParameterLabel(index), kVstMaxParamStrLen);
}

void Controller::getParameterDisplay(VstInt32 index, char* text)
{
    Platform::Trace("Controller::getParameterDisplay\r\n");
    if (text != nullptr)
        model->GetParameterDisplay(index, text);
}

void Controller::getParameterName(VstInt32 index, char* text)
{
    Platform::Trace("Controller::getParameterName\r\n");
    if (text != nullptr)
        CopyFixedString(text, model->GetParameterShortName(index), kVstMaxParamStrLen);
}

VstInt32 Controller::getChunk(void** data, bool isPreset)
{
    Platform::Trace("Controller::getChunk\r\n");
    if (data == nullptr)
        return 0;
    chunkBuffer.Clear();
    if (isPreset)
        model->SerializeSelectedProgram(chunkBuffer);
    else
        model->SerializeBank(chunkBuffer);
    *data = chunkBuffer.Data();
    return static_cast<VstInt32>(chunkBuffer.Length());
}

VstInt32 Controller::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    Platform::Trace("Controller::setChunk\r\n");
    // Read from a private copy: the host may reuse its buffer while we look at it.
    const std::unique_ptr<uint8_t[]> copy = CopyHostChunk(data, byteSize, kMaxChunkSize);
    if (!copy)
        return 0;
    ChunkReader reader(copy.get(), static_cast<uint32_t>(byteSize));
    const bool accepted = isPreset ? model->DeserializeSelectedProgram(reader) : model->DeserializeBank(reader);
    if (!accepted)
        return 0;
    UpdateViewParameters();
    return 1;
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
    CopyFixedString(name, model->GetEffectName(), kVstMaxEffectNameLen);
    return true;
}

bool Controller::getVendorString(char* text)
{
    Platform::Trace("Controller::getVendorString\r\n");
    CopyFixedString(text, model->GetVendorString(), kVstMaxVendorStrLen);
    return true;
}

bool Controller::getProductString(char* text)
{
    Platform::Trace("Controller::getProductString\r\n");
    CopyFixedString(text, model->GetProductString(), kVstMaxProductStrLen);
    return true;
}

VstInt32 Controller::getVendorVersion()
{
    Platform::Trace("Controller::getVendorVersion\r\n");
    return model->GetVendorVersion();
}

VstInt32 Controller::getPlugCategory()
{
    Platform::Trace("Controller::getPlugCategory\r\n");
    return model->GetPluginCategory();
}

void Controller::SetView(ParameterView* newView)
{
    Platform::Trace("Controller::SetView\r\n");
    view.store(newView);
    if (newView == nullptr) {
        // A host's automation or a learned controller may be inside the old view right now;
        // the caller destroys it as soon as we return.
        while (viewUsers.load() != 0)
            std::this_thread::yield();
        return;
    }
    UpdateViewParameters();
}

void Controller::OnViewParameterValueChanged(int32_t index, float value)
{
    Platform::Trace("Controller::OnViewParameterValueChanged\r\n");
    if (index < 0 || index >= model->GetParameterCount())
        return;
    model->SetParameterValue(index, value);
    setParameterAutomated(index, model->GetParameterValue(index));
}

void Controller::UpdateViewParameters()
{
    Platform::Trace("Controller::UpdateViewParameters\r\n");
    WithView([&](ParameterView& current) {
        for (int32_t index = 0; index < model->GetParameterCount(); ++index)
            current.UpdateParameterControl(index, model->GetParameterValue(index));
    });
}

void Controller::OnModelParameterValueChanged(int32_t index, float value)
{
    WithView([&](ParameterView& current) { current.UpdateParameterControl(index, value); });
    setParameterAutomated(index, value);
}

void Controller::OnModelMidiLearned()
{
    WithView([](ParameterView& current) { current.SetStatusText(""); });
}

} // namespace VstToolkit
