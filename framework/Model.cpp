#include "framework/Model.h"

#include "common/FixedString.h"
#include "framework/PluginCore.h"
#include "platform/Trace.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace VstToolkit {

namespace {

using MorlentDelay::kParameters;


uint64_t PackDisplay(const char* text)
{
    char bytes[Model::kDisplaySize];
    Morlent::CopyFixedString(bytes, text, Model::kDisplaySize);
    uint64_t packed;
    std::memcpy(&packed, bytes, sizeof packed);
    return packed;
}

} // namespace

Model::Model()
    : uniqueId(MorlentDelay::kUniqueId), vendorVersion(kVendorVersion), pluginCategory(MorlentDelay::kCategory)
{
    Platform::Trace("Model::Model\r\n");
    Morlent::CopyFixedString(effectName, MorlentDelay::kEffectName, kEffectNameSize);
    Morlent::CopyFixedString(vendorString, MorlentDelay::kVendorName, kVendorStringSize);
    Morlent::CopyFixedString(productString, MorlentDelay::kProductName, kProductStringSize);
    for (int program = 0; program < kProgramCount; ++program) {
        Morlent::CopyFixedString(programNames[program], MorlentDelay::kDefaultProgramName, kProgramNameSize);
        for (int index = 0; index < kParameterCount; ++index)
            programValues[program][index].store(kParameters[index].defaultValue, std::memory_order_relaxed);
    }
    for (int index = 0; index < kParameterCount; ++index) {
        Morlent::CopyFixedString(parameterLongNames[index], kParameters[index].longName, kLongNameSize);
        Morlent::CopyFixedString(parameterShortNames[index], kParameters[index].shortName, kShortNameSize);
        Morlent::CopyFixedString(parameterLabels[index], kParameters[index].label, kLabelSize);
        parameterDisplays[index].store(0, std::memory_order_relaxed);
    }
    ClearMidiControllerMap();
}

Model::~Model()
{
    Platform::Trace("Model::~Model\r\n");
}

void Model::Process(float**, float**, int32_t, int32_t) {}

void Model::OnSampleRateChanged(float, float) {}
void Model::OnTempoChanged(double, double) {}
void Model::OnPpqPositionChanged(double, double) {}
void Model::OnTransportPlayingChanged(bool) {}
void Model::OnTimeSignatureChanged(int32_t, int32_t, int32_t, int32_t) {}
void Model::OnSelectedProgramChanged(int32_t, int32_t) {}
void Model::OnParameterValueChanged(int32_t, float, float) {}
void Model::OnNoteOn(int32_t, int, int, int) {}
void Model::OnNoteOff(int32_t, int, int, int) {}
void Model::OnPolyPressure(int32_t, int, int, int) {}
void Model::OnControlChange(int32_t, int, int, int) {}
void Model::OnProgramChange(int32_t, int, int) {}
void Model::OnChannelPressure(int32_t, int, int) {}
void Model::OnPitchBend(int32_t, int, int) {}
void Model::OnSustainOn(int32_t, int) {}
void Model::OnSustainOff(int32_t, int) {}

void Model::SetController(PluginCore* newController)
{
    Platform::Trace("Model::SetController\r\n");
    controller = newController;
}

const char* Model::GetEffectName() const
{
    return effectName;
}

const char* Model::GetVendorString() const
{
    return vendorString;
}

const char* Model::GetProductString() const
{
    return productString;
}

int32_t Model::GetUniqueId() const
{
    return uniqueId;
}

int32_t Model::GetVendorVersion() const
{
    return vendorVersion;
}

int32_t Model::GetPluginCategory() const
{
    return pluginCategory;
}

int32_t Model::GetProgramCount() const
{
    return kProgramCount;
}

int32_t Model::GetParameterCount() const
{
    return kParameterCount;
}

int32_t Model::GetInputCount() const
{
    return MorlentDelay::kInputCount;
}

int32_t Model::GetOutputCount() const
{
    return MorlentDelay::kOutputCount;
}

void Model::SetSampleRate(float rate)
{
    Platform::Trace("Model::SetSampleRate\r\n");
    if (!IsUsableSampleRate(rate))
        return; // keep the rate the engine runs at
    const float old = sampleRate.load(std::memory_order_relaxed);
    if (rate < old || rate > old) {
        sampleRate.store(rate, std::memory_order_relaxed);
        OnSampleRateChanged(old, rate);
    }
}

void Model::SetSelectedProgramIndex(int32_t index)
{
    Platform::Trace("Model::SetSelectedProgramIndex\r\n");
    if (!IsProgramIndex(index))
        return;
    const int32_t old = selectedProgram.load(std::memory_order_relaxed);
    selectedProgram.store(index, std::memory_order_relaxed);
    OnSelectedProgramChanged(old, index);
}

const char* Model::GetProgramName(int32_t program) const
{
    return IsProgramIndex(program) ? programNames[program] : "";
}

void Model::SetSelectedProgramName(const char* name)
{
    Platform::Trace("Model::SetSelectedProgramName\r\n");
    if (name != nullptr)
        Morlent::CopyFixedString(programNames[GetSelectedProgramIndex()], name, kProgramNameSize);
}

float Model::GetParameterValue(int32_t index) const
{
    return GetProgramParameterValue(GetSelectedProgramIndex(), index);
}

float Model::GetProgramParameterValue(int32_t program, int32_t index) const
{
    if (!IsProgramIndex(program) || !IsParameterIndex(index))
        return 0.0f;
    return programValues[program][index].load(std::memory_order_relaxed);
}

void Model::SetParameterValue(int32_t index, float value)
{
    creatorTrace("Model::SetParameterValue\r\n");
    StoreParameterValue(index, value);
}

void Model::StoreParameterValue(int32_t index, float value)
{
    if (!IsParameterIndex(index) || !MorlentDelay::SanitiseParameterValue(value))
        return;
    std::atomic<float>& slot = programValues[GetSelectedProgramIndex()][index];
    const float old = slot.load(std::memory_order_relaxed);
    slot.store(value, std::memory_order_relaxed);
    OnParameterValueChanged(index, old, value);
}

const char* Model::GetParameterShortName(int32_t index) const
{
    return IsParameterIndex(index) ? parameterShortNames[index] : "";
}

const char* Model::GetParameterLongName(int32_t index) const
{
    return IsParameterIndex(index) ? parameterLongNames[index] : "";
}

const char* Model::GetParameterLabel(int32_t index) const
{
    return IsParameterIndex(index) ? parameterLabels[index] : "";
}

void Model::GetParameterDisplay(int32_t index, char* text) const
{
    if (text == nullptr)
        return;
    const uint64_t packed = IsParameterIndex(index) ? parameterDisplays[index].load(std::memory_order_relaxed) : 0;
    std::memcpy(text, &packed, kDisplaySize);
    text[kDisplaySize - 1] = '\0';
}

void Model::SetParameterDisplay(int32_t index, const char* text)
{
    if (IsParameterIndex(index))
        parameterDisplays[index].store(PackDisplay(text), std::memory_order_relaxed);
}

void Model::FormatOnOff(bool on, const char* offText, char* text)
{
    Morlent::CopyFixedString(text, on ? "On" : offText, kDisplaySize);
}

void Model::FormatFloat(float value, char* text)
{
    char wide[32];
    std::snprintf(wide, sizeof wide, "%.2f", static_cast<double>(value));
    Morlent::CopyFixedString(text, wide, kDisplaySize);
}

void Model::FormatParameterDisplay(int32_t, float, char* text) const
{
    Morlent::CopyFixedString(text, "", kDisplaySize);
}

void Model::SetOnOffParameterDisplay(int32_t index, bool on, const char* offText)
{
    char text[kDisplaySize];
    FormatOnOff(on, offText, text);
    SetParameterDisplay(index, text);
}

void Model::SetFloatParameterDisplay(int32_t index, float value)
{
    char text[kDisplaySize];
    FormatFloat(value, text);
    SetParameterDisplay(index, text);
}

bool Model::IsUsableSampleRate(float rate)
{
    return MorlentDelay::IsUsableSampleRate(rate);
}

bool Model::NormalizedFloatToBool(float value)
{
    return value >= 0.5f;
}

int32_t Model::NormalizedFloatToSelection(float value, int32_t count)
{
    // Stored values are 0..1, so the product fits; the guards keep foreign callers in the table.
    const float scaled = value * static_cast<float>(count);
    if (!(scaled > 0.0f))
        return 0;
    const int32_t selection = scaled >= static_cast<float>(count) ? count : static_cast<int32_t>(scaled);
    return selection >= count ? count - 1 : selection;
}

// --- MIDI ---

void Model::PushMidiEvent(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2)
{
    midiEventQueue.Push(Morlent::MidiEvent{deltaFrames, status, data1, data2});
}

void Model::ProcessBlock(float** inputs, float** outputs, int32_t sampleFrames)
{
    if (sampleFrames <= 0)
        return;
    int32_t position = 0;
    while (position < sampleFrames) {
        if (midiEventQueue.Empty()) {
            Process(inputs, outputs, position, sampleFrames - position);
            return;
        }
        const Morlent::MidiEvent event = midiEventQueue.Pop();
        if (event.deltaFrames <= sampleFrames) {
            // An event out of order (or at a negative frame) takes effect where the block is now:
            // rendering never moves backwards.
            const int32_t frame = event.deltaFrames < position ? position : event.deltaFrames;
            Process(inputs, outputs, position, frame - position);
            DispatchMidiMessage(frame, event.status, event.data1, event.data2);
            position = frame;
            if (position == sampleFrames)
                return;
        } else {
            Process(inputs, outputs, position, sampleFrames - position);
            DispatchMidiMessage(event.deltaFrames, event.status, event.data1, event.data2);
            while (!midiEventQueue.Empty()) {
                const Morlent::MidiEvent late = midiEventQueue.Pop();
                DispatchMidiMessage(late.deltaFrames, late.status, late.data1, late.data2);
            }
            return;
        }
    }
}

void Model::DispatchMidiMessage(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2)
{
    if (status < 0x80 || status > 0xEF)
        return;
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        OnNoteOff(deltaFrames, channel, data1, data2);
        break;
    case 0x90:
        if (data2 != 0)
            OnNoteOn(deltaFrames, channel, data1, data2);
        else
            OnNoteOff(deltaFrames, channel, data1, data2);
        break;
    case 0xA0:
        OnPolyPressure(deltaFrames, channel, data1, data2);
        break;
    case 0xB0:
        // Data bytes are 7-bit; anything larger cannot come from a conforming host.
        if (data1 > 127 || data2 > 127)
            return;
        DispatchController(deltaFrames, channel, data1, data2);
        OnControlChange(deltaFrames, channel, data1, data2);
        break;
    case 0xC0:
        OnProgramChange(deltaFrames, channel, data1);
        break;
    case 0xD0:
        OnChannelPressure(deltaFrames, channel, data1);
        break;
    case 0xE0:
        OnPitchBend(deltaFrames, channel, data2 * 128 + data1);
        break;
    default:
        break;
    }
}

void Model::DispatchController(int32_t deltaFrames, int channel, int controllerNumber, int value)
{
    if (controllerNumber < 0 || controllerNumber >= kControllerCount || value < 0 || value > 127)
        return;
    if (learningMidi.load(std::memory_order_relaxed))
        LearnController(controllerNumber);
    else if (controller != nullptr && midiControllerMap[controllerNumber].mapped.load(std::memory_order_relaxed))
        ApplyController(controllerNumber, value);
    if (controllerNumber == 64) {
        if (value >= 64)
            OnSustainOn(deltaFrames, channel);
        else
            OnSustainOff(deltaFrames, channel);
    }
}

void Model::LearnController(int controllerNumber)
{
    const int32_t parameter = learnParameter.load(std::memory_order_relaxed);
    const int previous = ParameterToController(parameter);
    if (previous >= 0)
        Unregister(previous);
    Register(controllerNumber, parameter);
    if (controller != nullptr)
        controller->OnModelMidiLearned();
    learningMidi.store(false, std::memory_order_relaxed);
}

void Model::ApplyController(int controllerNumber, int value)
{
    const int32_t parameter = midiControllerMap[controllerNumber].parameter.load(std::memory_order_relaxed);
    const float normalised = static_cast<float>(value) * MorlentDelay::kControllerScale;
    StoreParameterValue(parameter, normalised);
    controller->OnModelParameterValueChanged(parameter, normalised);
}

bool Model::IsLearningMidi() const
{
    creatorTrace("Model::IsLearningMidi\r\n");
    return learningMidi.load(std::memory_order_relaxed);
}

void Model::StartLearningMidi(int32_t parameter)
{
    creatorTrace("Model::StartLearningMidi\r\n");
    if (!IsParameterIndex(parameter))
        return;
    learnParameter.store(parameter, std::memory_order_relaxed);
    learningMidi.store(true, std::memory_order_relaxed);
}

void Model::StopLearningMidi()
{
    creatorTrace("Model::StopLearningMidi\r\n");
    learningMidi.store(false, std::memory_order_relaxed);
}

void Model::ClearMidiControllerMap()
{
    creatorTrace("Model::ClearMidiControllerMap\r\n");
    for (ControllerMapEntry& entry : midiControllerMap) {
        entry.mapped.store(false, std::memory_order_relaxed);
        entry.parameter.store(0, std::memory_order_relaxed);
    }
}

void Model::RegisterMidiControllerMapping(int controllerNumber, int32_t parameter)
{
    creatorTrace("Model::RegisterMidiControllerMapping\r\n");
    if (controllerNumber >= 0 && controllerNumber < kControllerCount && IsParameterIndex(parameter))
        Register(controllerNumber, parameter);
}

void Model::UnregisterMidiControllerMapping(int controllerNumber)
{
    creatorTrace("Model::UnregisterMidiControllerMapping\r\n");
    if (controllerNumber >= 0 && controllerNumber < kControllerCount)
        Unregister(controllerNumber);
}

void Model::Register(int controllerNumber, int32_t parameter)
{
    // The parameter first: the audio thread reads "mapped" and then the parameter.
    midiControllerMap[controllerNumber].parameter.store(parameter, std::memory_order_relaxed);
    midiControllerMap[controllerNumber].mapped.store(true, std::memory_order_release);
}

void Model::Unregister(int controllerNumber)
{
    midiControllerMap[controllerNumber].mapped.store(false, std::memory_order_relaxed);
    midiControllerMap[controllerNumber].parameter.store(0, std::memory_order_relaxed);
}

bool Model::IsControllerMapped(int controllerNumber) const
{
    return controllerNumber >= 0 && controllerNumber < kControllerCount &&
           midiControllerMap[controllerNumber].mapped.load(std::memory_order_relaxed);
}

int32_t Model::ControllerToParameter(int controllerNumber) const
{
    if (controllerNumber < 0 || controllerNumber >= kControllerCount)
        return 0;
    return midiControllerMap[controllerNumber].parameter.load(std::memory_order_relaxed);
}

int Model::ParameterToController(int32_t parameter) const
{
    for (int number = 0; number < kControllerCount; ++number)
        if (midiControllerMap[number].mapped.load(std::memory_order_acquire) &&
            midiControllerMap[number].parameter.load(std::memory_order_relaxed) == parameter)
            return number;
    return -1;
}

// --- chunks ---

void Model::WriteHeader(Morlent::ChunkBuffer& buffer) const
{
    Platform::Trace("Model::WriteHeader\r\n");
    Morlent::WriteChunkHeader(buffer, effectName, vendorString, productString, vendorVersion);
}

bool Model::ReadHeader(Morlent::ChunkReader& reader, int32_t& version) const
{
    Platform::Trace("Model::ReadHeader\r\n");
    return Morlent::ReadChunkHeader(reader, effectName, vendorString, productString, version);
}

void Model::SerializeSelectedProgram(Morlent::ChunkBuffer& buffer)
{
    Platform::Trace("Model::SerializeSelectedProgram\r\n");
    const int32_t program = GetSelectedProgramIndex();
    WriteHeader(buffer);
    buffer.Write(programNames[program], kProgramNameSize);
    for (int index = 0; index < kParameterCount; ++index)
        buffer.WriteFloat(programValues[program][index].load(std::memory_order_relaxed));
}

void Model::SerializeBank(Morlent::ChunkBuffer& buffer)
{
    Platform::Trace("Model::SerializeBank\r\n");
    WriteHeader(buffer);
    for (int program = 0; program < kProgramCount; ++program) {
        buffer.Write(programNames[program], kProgramNameSize);
        for (int index = 0; index < kParameterCount; ++index)
            buffer.WriteFloat(programValues[program][index].load(std::memory_order_relaxed));
    }
    // One pass over the map, not one per parameter: the lowest controller bound to each.
    int controllerOf[kParameterCount];
    for (int& number : controllerOf)
        number = -1;
    for (int number = 0; number < kControllerCount; ++number) {
        if (!midiControllerMap[number].mapped.load(std::memory_order_acquire))
            continue;
        const int32_t parameter = midiControllerMap[number].parameter.load(std::memory_order_relaxed);
        if (parameter >= 0 && parameter < kParameterCount && controllerOf[parameter] < 0)
            controllerOf[parameter] = number;
    }
    for (int index = 0; index < kParameterCount; ++index) {
        const int number = controllerOf[index];
        if (number < 0) {
            buffer.WriteByte(0);
        } else {
            buffer.WriteByte(1);
            buffer.WriteByte(static_cast<uint8_t>(number));
        }
    }
}

// Both readers take the whole chunk in first and change the model only when it is complete:
// a host told "failed" finds the plug-in exactly as it was.
bool Model::DeserializeSelectedProgram(Morlent::ChunkReader& reader)
{
    Platform::Trace("Model::DeserializeSelectedProgram\r\n");
    int32_t version = 0;
    if (!ReadHeader(reader, version) || version > vendorVersion)
        return false;
    char name[kProgramNameSize];
    float values[kParameterCount];
    if (!reader.Read(name, kProgramNameSize))
        return false;
    for (float& value : values)
        if (!reader.ReadFloat(value))
            return false;

    // Our own chunks always carry the terminator; a foreign one must not take it away.
    name[kProgramNameSize - 1] = '\0';
    std::memcpy(programNames[GetSelectedProgramIndex()], name, kProgramNameSize);
    for (int index = 0; index < kParameterCount; ++index)
        StoreParameterValue(index, values[index]);
    return true;
}

bool Model::DeserializeBank(Morlent::ChunkReader& reader)
{
    Platform::Trace("Model::DeserializeBank\r\n");
    int32_t version = 0;
    if (!ReadHeader(reader, version) || version > vendorVersion)
        return false;
    struct Program {
        char name[kProgramNameSize];
        float values[kParameterCount];
    };
    std::unique_ptr<Program[]> programs(new Program[kProgramCount]);
    for (int program = 0; program < kProgramCount; ++program) {
        if (!reader.Read(programs[program].name, kProgramNameSize))
            return false;
        for (float& value : programs[program].values)
            if (!reader.ReadFloat(value))
                return false;
    }
    const bool hasControllerMap = version > kLastVersionWithoutControllerMap;
    int controllers[kParameterCount];
    if (hasControllerMap) {
        for (int& number : controllers) {
            uint8_t bound = 0;
            uint8_t controllerNumber = 0;
            if (!reader.ReadByte(bound))
                return false;
            number = -1;
            if (bound != 0) {
                if (!reader.ReadByte(controllerNumber))
                    return false;
                number = controllerNumber;
            }
        }
    }

    const int32_t selected = GetSelectedProgramIndex();
    for (int program = 0; program < kProgramCount; ++program) {
        programs[program].name[kProgramNameSize - 1] = '\0';
        std::memcpy(programNames[program], programs[program].name, kProgramNameSize);
        for (int index = 0; index < kParameterCount; ++index) {
            if (program == selected) {
                StoreParameterValue(index, programs[program].values[index]);
            } else {
                float value = programs[program].values[index];
                if (MorlentDelay::SanitiseParameterValue(value))
                    programValues[program][index].store(value, std::memory_order_relaxed);
            }
        }
    }
    if (hasControllerMap) {
        ClearMidiControllerMap();
        for (int index = 0; index < kParameterCount; ++index)
            if (controllers[index] >= 0 && controllers[index] < kControllerCount)
                Register(controllers[index], index);
    }
    return true;
}

} // namespace VstToolkit
