#include "framework/PluginCore.h"

#include "common/FixedString.h"
#include "platform/Trace.h"

#include <cstring>
#include <memory>
#include <new>
#include <thread>

namespace VstToolkit {

namespace {

// The parameter table as hosts list it, made once from the effect's description.
struct ParameterTable {
    ParameterInfo entries[MorlentDelay::kParameterCount];
    constexpr ParameterTable() : entries{}
    {
        for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index) {
            const MorlentDelay::ParameterFacts& facts = MorlentDelay::kParameters[index];
            entries[index] = ParameterInfo{facts.longName,   facts.shortName, facts.label, facts.defaultValue,
                                           facts.kind,       facts.entryCount, facts.entries};
        }
    }
};
constexpr ParameterTable kParameterTable;

} // namespace

PluginCore::PluginCore(Model* model) : model(model) {}

PluginCore::~PluginCore()
{
    delete model;
}

void PluginCore::AttachToModel()
{
    model->SetController(this);
}

const ParameterInfo* PluginCore::GetParameterInfo(int32_t index) const
{
    if (index < 0 || index >= MorlentDelay::kParameterCount)
        return nullptr;
    return &kParameterTable.entries[index];
}

void PluginCore::SetParameterValue(int32_t index, float value)
{
    if (index < 0 || index >= model->GetParameterCount())
        return;
    model->SetParameterValue(index, value);
    const float stored = model->GetParameterValue(index);
    WithView([&](ParameterView& current) { current.UpdateParameterControl(index, stored); });
}

void PluginCore::GetParameterDisplay(int32_t index, char* text) const
{
    model->GetParameterDisplay(index, text);
}

void PluginCore::FormatParameterValue(int32_t index, float value, char* text) const
{
    if (index < 0 || index >= model->GetParameterCount()) {
        Morlent::CopyFixedString(text, "", MorlentDelay::kDisplaySize);
        return;
    }
    model->FormatParameterDisplay(index, value, text);
}

bool PluginCore::SelectProgram(int32_t program)
{
    if (program < 0 || program >= model->GetProgramCount())
        return false;
    model->SetSelectedProgramIndex(program);
    UpdateViewParameters();
    return true;
}

void PluginCore::SetSelectedProgramName(const char* name)
{
    if (name != nullptr)
        model->SetSelectedProgramName(name);
}

void PluginCore::GetState(Morlent::ChunkBuffer& buffer, StateScope scope)
{
    buffer.Clear();
    if (scope == StateScope::kProgram)
        model->SerializeSelectedProgram(buffer);
    else
        model->SerializeBank(buffer);
}

bool PluginCore::SetState(const void* data, int64_t size, StateScope scope)
{
    if (data == nullptr || size <= 0 || size > kMaxStateSize)
        return false;
    const std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (!copy)
        return false;
    std::memcpy(copy.get(), data, static_cast<size_t>(size));
    Morlent::ChunkReader reader(copy.get(), static_cast<uint32_t>(size));
    const bool accepted =
        scope == StateScope::kProgram ? model->DeserializeSelectedProgram(reader) : model->DeserializeBank(reader);
    if (!accepted)
        return false;
    UpdateViewParameters();
    return true;
}

bool PluginCore::SetSampleRate(float rate)
{
    if (!Model::IsUsableSampleRate(rate))
        return false;
    model->SetSampleRate(rate);
    return true;
}

void PluginCore::SetMaxBlockSize(int32_t)
{
    model->SetSampleRate(model->GetSampleRate());
}

void PluginCore::SetTimeInfo(const TimeInfo& time)
{
    // Unordered comparisons (a NaN from the host) never count as a change.
    if (time.tempoValid) {
        const double old = model->GetTempo();
        if (time.tempo < old || time.tempo > old) {
            model->StoreTempo(time.tempo);
            model->OnTempoChanged(old, time.tempo);
        }
    }
    if (time.positionValid) {
        const double old = model->GetPpqPosition();
        if (time.ppqPosition < old || time.ppqPosition > old) {
            model->StorePpqPosition(time.ppqPosition);
            model->OnPpqPositionChanged(old, time.ppqPosition);
        }
    }
    if (time.playing != model->IsPlaying()) {
        model->StorePlaying(time.playing);
        model->OnTransportPlayingChanged(time.playing);
    }
    if (time.timeSignatureValid) {
        const int32_t oldNumerator = model->GetTimeSignatureNumerator();
        const int32_t oldDenominator = model->GetTimeSignatureDenominator();
        if (time.timeSignatureNumerator != oldNumerator || time.timeSignatureDenominator != oldDenominator) {
            model->StoreTimeSignature(time.timeSignatureNumerator, time.timeSignatureDenominator);
            model->OnTimeSignatureChanged(oldNumerator, oldDenominator, time.timeSignatureNumerator,
                                          time.timeSignatureDenominator);
        }
    }
}

void PluginCore::PushMidiEvent(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    model->PushMidiEvent(frame, status, data1, data2);
}

void PluginCore::Process(float** inputs, float** outputs, int32_t frames)
{
    model->ProcessBlock(inputs, outputs, frames);
}

void PluginCore::ProcessFrames(float** inputs, float** outputs, int32_t offset, int32_t count)
{
    if (offset >= 0 && count > 0)
        model->Process(inputs, outputs, offset, count);
}

void PluginCore::ApplyMidiEvent(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    model->DispatchMidiMessage(frame, status, data1, data2);
}

void PluginCore::SetView(ParameterView* newView)
{
    Platform::Trace("PluginCore::SetView\r\n");
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

void PluginCore::OnViewParameterValueChanged(int32_t index, float value)
{
    Platform::Trace("PluginCore::OnViewParameterValueChanged\r\n");
    if (index < 0 || index >= model->GetParameterCount())
        return;
    model->SetParameterValue(index, value);
    ReportParameterEdit(index, model->GetParameterValue(index));
}

void PluginCore::UpdateViewParameters()
{
    Platform::Trace("PluginCore::UpdateViewParameters\r\n");
    WithView([&](ParameterView& current) {
        for (int32_t index = 0; index < model->GetParameterCount(); ++index)
            current.UpdateParameterControl(index, model->GetParameterValue(index));
    });
}

void PluginCore::OnModelParameterValueChanged(int32_t index, float value)
{
    WithView([&](ParameterView& current) { current.UpdateParameterControl(index, value); });
    ReportParameterEdit(index, value);
}

void PluginCore::OnModelMidiLearned()
{
    WithView([](ParameterView& current) { current.SetStatusText(""); });
    ReportMidiLearned();
}

void PluginCore::ReportParameterEdit(int32_t, float) {}

void PluginCore::ReportMidiLearned() {}

} // namespace VstToolkit
