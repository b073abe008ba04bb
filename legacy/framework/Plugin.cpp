#include "legacy/framework/Plugin.h"

#include "effect_base/HostData.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace VovezEdeduvo {
namespace Vst {

namespace {

using Held = Platform::ScopedLock<Model>;

} // namespace

Plugin::Plugin(audioMasterCallback audioMaster, const char* effectName, const char* vendorString,
               const char* productString, VstInt32 vendorVersion, VstInt32 uniqueId, VstInt32 category, Model* model)
    : AudioEffectX(audioMaster, model->GetProgramCount(), model->GetParameterCount()),
      vendorVersion(vendorVersion),
      uniqueId(uniqueId),
      category(category),
      model(model)
{
    CopyFixedString(this->effectName, effectName, MorlentDelay::kEffectNameSize);
    CopyFixedString(this->vendorString, vendorString, MorlentDelay::kVendorStringSize);
    CopyFixedString(this->productString, productString, MorlentDelay::kProductStringSize);
    model->AddObserver(this);
    setNumInputs(static_cast<VstInt32>(model->GetInputCount()));
    setNumOutputs(static_cast<VstInt32>(model->GetOutputCount()));
    setUniqueID(Plugin::uniqueId);
    canProcessReplacing(true);
    programsAreChunks(true);
    if (category == kPlugCategSynth)
        isSynth(true);
    setProgram(0);
    AudioEffectX::resume();
    Held held(*model);
    model->Reset();
}

Plugin::~Plugin()
{
    // The editor goes first: its windows talk to the model until they are gone.
    setEditor(nullptr);
    delete model;
}

// --- audio thread ---

void Plugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    Held held(*model);
    if (const VstTimeInfo* time = getTimeInfo(kTimeInfoFilter)) {
        // Any difference counts, a NaN's included; the tempo listeners ignore unusable tempos.
        if (!(lastTempo == time->tempo)) {
            model->TempoProvider::Update(static_cast<float>(time->tempo));
            lastTempo = time->tempo;
        }
        if (!(lastPpqPosition == time->ppqPos)) {
            model->PositionProvider::Update(static_cast<float>(time->ppqPos));
            lastPpqPosition = time->ppqPos;
        }
    }
    model->ProcessBlock(inputs, outputs, sampleFrames);
}

VstInt32 Plugin::processEvents(VstEvents* events)
{
    if (events == nullptr || events->numEvents <= 0)
        return 1;
    Held held(*model);
    ForEachMidiEvent(events, [this](VstInt32 frame, uint8_t status, uint8_t data1, uint8_t data2) {
        model->QueueMidiEvent(QueuedMidiEvent{frame, status, data1, data2});
    });
    return 1;
}

// --- parameters ---

void Plugin::setParameter(VstInt32 index, float value)
{
    if (!IsParameter(index) || !MorlentDelay::SanitiseParameterValue(value))
        return;
    if (model->GetParameterValue(index) == value)
        return;
    Held held(*model);
    model->SetParameterValue(index, value);
    model->NotifyParameterChanged(this, index);
}

float Plugin::getParameter(VstInt32 index)
{
    return IsParameter(index) ? model->GetParameterValue(index) : 0.0f;
}

void Plugin::setParameterAutomated(VstInt32 index, float value)
{
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

// --- main thread ---

void Plugin::resume()
{
    AudioEffectX::resume();
    Held held(*model);
    model->Reset();
}

void Plugin::setSampleRate(float rate)
{
    if (!SampleRate::IsUsableSampleRate(rate))
        return;
    AudioEffectX::setSampleRate(rate);
    // The rate's hooks move the smoothers the audio thread reads: taken under the lock.
    Held held(*model);
    model->SampleRateProvider::Update(rate);
}

void Plugin::setProgram(VstInt32 program)
{
    // A negative number passes the dispatcher's guard.
    if (program < 0 || program >= model->GetProgramCount())
        return;
    curProgram = program;
    Held held(*model);
    model->SetCurrentProgram(program);
    model->NotifyProgramChanged(this);
    model->Reset();
}

void Plugin::setProgramName(char* name)
{
    if (name != nullptr)
        model->SetCurrentProgramName(name);
}

void Plugin::getProgramName(char* name)
{
    if (name != nullptr)
        model->GetCurrentProgramName(name, kVstMaxProgNameLen);
}

bool Plugin::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (text == nullptr)
        return false;
    if (index < 0 || index >= model->GetProgramCount()) {
        *text = '\0';
        return false;
    }
    model->GetProgramName(index, text, kVstMaxProgNameLen);
    return true;
}

void Plugin::getParameterLabel(VstInt32 index, char* label)
{
    if (label == nullptr)
        return;
    *label = '\0';
    if (IsParameter(index))
        model->GetParameterLabel(index, label, kVstMaxParamStrLen);
}

void Plugin::getParameterDisplay(VstInt32 index, char* text)
{
    if (text == nullptr)
        return;
    *text = '\0';
    if (!IsParameter(index))
        return;
    // The display is made from state a learned controller changes on the audio thread.
    Held held(*model);
    model->GetParameterDisplay(index, text, kVstMaxParamStrLen);
}

void Plugin::getParameterName(VstInt32 index, char* text)
{
    if (text == nullptr)
        return;
    *text = '\0';
    if (IsParameter(index))
        model->GetParameterShortName(index, text, kVstMaxParamStrLen);
}

// --- chunks ---

void Plugin::WriteProgramHeader(ChunkWriter& writer)
{
    Morlent::WriteChunkHeader(writer, effectName, vendorString, productString, vendorVersion);
}

bool Plugin::ReadProgramHeader(ChunkReader& reader, int32_t& version)
{
    return Morlent::ReadChunkHeader(reader, effectName, vendorString, productString, version) &&
           version <= vendorVersion;
}

VstInt32 Plugin::getChunk(void** data, bool isPreset)
{
    if (data == nullptr)
        return 0;
    chunkBuffer.Clear();
    if (isPreset) {
        WriteProgramHeader(chunkBuffer);
        model->WriteProgram(vendorVersion, chunkBuffer);
    } else {
        WriteBankHeader(chunkBuffer);
        model->WriteBank(vendorVersion, chunkBuffer);
    }
    *data = chunkBuffer.Data();
    return static_cast<VstInt32>(chunkBuffer.Length());
}

VstInt32 Plugin::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    // Copied and read in full before the lock is taken: the audio thread never waits on the
    // allocator or on a half-read chunk, and a chunk that fails anywhere changes nothing.
    const std::unique_ptr<uint8_t[]> copy = CopyHostChunk(data, byteSize, kMaxChunkSize);
    if (!copy)
        return 0;
    ChunkReader reader(copy.get(), static_cast<uint32_t>(byteSize));
    int32_t version = 0;
    if (isPreset) {
        Model::ProgramBody body;
        if (!ReadProgramHeader(reader, version) || !model->ParseProgram(reader, body))
            return 0;
        Held held(*model);
        model->ApplyProgram(body);
        model->NotifyProgramChanged(this);
        model->Reset();
        return 1;
    }
    std::unique_ptr<Model::BankBody> body(new (std::nothrow) Model::BankBody);
    if (!body || !ReadBankHeader(reader, version) ||
        !model->ParseBank(reader, model->BankCarriesControllerMap(version), *body))
        return 0;
    Held held(*model);
    model->ApplyBank(*body);
    model->NotifyProgramChanged(this);
    model->Reset();
    return 1;
}

// --- identity ---

VstInt32 Plugin::canDo(char* text)
{
    static const char* const kCapabilities[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"};
    return CanDoAnswer(text, kCapabilities);
}

bool Plugin::getEffectName(char* name)
{
    CopyFixedString(name, effectName, kVstMaxEffectNameLen);
    return true;
}

bool Plugin::getVendorString(char* text)
{
    CopyFixedString(text, vendorString, kVstMaxVendorStrLen);
    return true;
}

bool Plugin::getProductString(char* text)
{
    CopyFixedString(text, productString, kVstMaxProductStrLen);
    return true;
}

// --- model observer ---

void Plugin::OnParameterChanged(Model*, int32_t index, float value)
{
    setParameterAutomated(index, value);
}

void Plugin::OnProgramChanged(Model*) {}

} // namespace Vst
} // namespace VovezEdeduvo
