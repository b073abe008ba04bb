#include "legacy/framework/Model.h"

#include "description/EffectDescription.h"

#include <cmath>
#include <cstring>

namespace VovezEdeduvo {

Model::Model(uint32_t numInputs, uint32_t numOutputs, int32_t numPrograms)
    : ProcessDispatcher(numInputs, numOutputs),
      ParameterGroupComposite(numPrograms),
      programCount(numPrograms > 0 ? numPrograms : 0),
      programNames(new ProgramName[static_cast<size_t>(programCount)])
{
    for (auto& observer : observers)
        observer.store(nullptr, std::memory_order_relaxed);
    char blank[kProgramNameSize];
    CopyFixedName(blank, MorlentDelay::kDefaultProgramName);
    for (int32_t program = 0; program < programCount; ++program)
        StoreName(program, blank);
}

Model::~Model() = default;

void Model::CopyFixedName(char (&bytes)[kProgramNameSize], const char* text)
{
    size_t i = 0;
    if (text != nullptr)
        for (; i < kProgramNameSize - 1 && text[i] != '\0'; ++i)
            bytes[i] = text[i];
    for (; i < kProgramNameSize; ++i)
        bytes[i] = '\0';
}

// --- audio thread ---

void Model::ProcessMessage(uint8_t status, uint8_t data1, uint8_t data2)
{
    MessageDispatcher::Dispatch(status, data1, data2);
}

void Model::OnControlChange(int channel, int controller, int value)
{
    if (IsLearning()) {
        Platform::ScopedLock<Model> held(*this);
        Map(static_cast<uint8_t>(controller), GetLearnParameter());
        SetLearning(false);
        return;
    }
    const float normalized = static_cast<float>(value) * MorlentDelay::kControllerScale;
    {
        Platform::ScopedLock<Model> held(*this);
        Apply(static_cast<uint8_t>(controller), *this, normalized);
    }
    ControllerDispatcher::Dispatch(channel, controller, value);
}

void Model::Reset() {}

// --- observers ---

bool Model::AddObserver(ModelObserverInterface* observer)
{
    if (observer == nullptr)
        return false;
    Platform::ScopedLock<Model> held(*this);
    for (auto& slot : observers) {
        if (slot.load(std::memory_order_relaxed) == nullptr) {
            slot.store(observer, std::memory_order_relaxed);
            return true;
        }
    }
    return false;
}

void Model::RemoveObserver(ModelObserverInterface* observer)
{
    Platform::ScopedLock<Model> held(*this);
    // Kept packed in registration order.
    int32_t kept = 0;
    for (auto& slot : observers) {
        ModelObserverInterface* current = slot.load(std::memory_order_relaxed);
        if (current != nullptr && current != observer)
            observers[kept++].store(current, std::memory_order_relaxed);
    }
    for (; kept < kMaxObservers; ++kept)
        observers[kept].store(nullptr, std::memory_order_relaxed);
}

void Model::NotifyParameterChanged(const ModelObserverInterface* excluded, int32_t index)
{
    for (auto& slot : observers) {
        ModelObserverInterface* observer = slot.load(std::memory_order_relaxed);
        if (observer == nullptr)
            break;
        if (observer != excluded)
            observer->OnParameterChanged(this, index, GetParameterValue(index));
    }
}

void Model::NotifyProgramChanged(const ModelObserverInterface* excluded)
{
    for (auto& slot : observers) {
        ModelObserverInterface* observer = slot.load(std::memory_order_relaxed);
        if (observer == nullptr)
            break;
        if (observer != excluded)
            observer->OnProgramChanged(this);
    }
}

// --- program names ---

void Model::StoreName(int32_t program, const char* bytes)
{
    for (int32_t word = 0; word < kNameWords; ++word) {
        uint64_t bits;
        std::memcpy(&bits, bytes + 8 * word, 8);
        programNames[program].words[word].store(bits, std::memory_order_relaxed);
    }
}

void Model::LoadName(int32_t program, char (&bytes)[kProgramNameSize]) const
{
    for (int32_t word = 0; word < kNameWords; ++word) {
        const uint64_t bits = programNames[program].words[word].load(std::memory_order_relaxed);
        std::memcpy(bytes + 8 * word, &bits, 8);
    }
}

void Model::GetCurrentProgramName(char* text, int32_t maxLength) const
{
    GetProgramName(GetCurrentProgram(), text, maxLength);
}

void Model::GetProgramName(int32_t index, char* text, int32_t maxLength) const
{
    if (text == nullptr || maxLength <= 0)
        return;
    char bytes[kProgramNameSize] = {};
    if (index >= 0 && index < programCount)
        LoadName(index, bytes);
    const int32_t width = maxLength < kProgramNameSize ? maxLength : kProgramNameSize;
    // A name read from a foreign chunk may fill all its bytes; the copy always ends in a zero.
    int32_t i = 0;
    for (; i < width - 1 && bytes[i] != '\0'; ++i)
        text[i] = bytes[i];
    for (; i < width; ++i)
        text[i] = '\0';
}

void Model::SetCurrentProgramName(const char* text)
{
    if (text == nullptr)
        return;
    const int32_t program = GetCurrentProgram();
    if (program < 0 || program >= programCount)
        return;
    char bytes[kProgramNameSize];
    CopyFixedName(bytes, text);
    StoreName(program, bytes);
}

// --- chunk bodies ---

void Model::WriteProgram(int32_t, ChunkWriter& writer)
{
    char name[kProgramNameSize];
    LoadName(GetCurrentProgram(), name);
    writer.Write(name, kProgramNameSize);
    for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index)
        writer.WriteFloat(GetParameterValue(index));
}

void Model::WriteBank(int32_t, ChunkWriter& writer)
{
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
        char name[kProgramNameSize];
        LoadName(program, name);
        writer.Write(name, kProgramNameSize);
        for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index)
            writer.WriteFloat(GetProgramParameterValue(program, index));
    }
    for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index) {
        if (IsMapped(index)) {
            writer.WriteByte(1);
            writer.WriteByte(GetController(index));
        } else {
            writer.WriteByte(0);
        }
    }
}

bool Model::ParseProgram(ChunkReader& reader, ProgramBody& body) const
{
    if (!reader.Read(body.name, kProgramNameSize))
        return false;
    for (float& value : body.values)
        if (!reader.ReadFloat(value))
            return false;
    return true;
}

bool Model::ParseBank(ChunkReader& reader, bool carriesControllerMap, BankBody& body) const
{
    for (ProgramBody& program : body.programs)
        if (!ParseProgram(reader, program))
            return false;
    body.hasControllerMap = carriesControllerMap;
    for (int16_t& controller : body.controllers)
        controller = -1;
    if (!carriesControllerMap)
        return true;
    for (int16_t& controller : body.controllers) {
        uint8_t bound = 0;
        if (!reader.ReadByte(bound))
            return false;
        if (bound != 0) {
            uint8_t number = 0;
            if (!reader.ReadByte(number))
                return false;
            // No message could move the parameter: it stays unbound.
            if (number < kControllerCount)
                controller = number;
        }
    }
    return true;
}

void Model::ApplyProgram(const ProgramBody& body)
{
    // Stored as read, so the chunk comes back byte for byte; every reader of a name ends it.
    StoreName(GetCurrentProgram(), body.name);
    for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index)
        SetParameterValue(index, body.values[index]);
}

void Model::ApplyBank(const BankBody& body)
{
    for (int32_t program = 0; program < MorlentDelay::kProgramCount && program < programCount; ++program) {
        StoreName(program, body.programs[program].name);
        for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index)
            SetProgramParameterValue(program, index, body.programs[program].values[index]);
    }
    if (!body.hasControllerMap)
        return;
    Clear();
    for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index)
        if (body.controllers[index] >= 0)
            Map(static_cast<uint8_t>(body.controllers[index]), index);
}

bool Model::BankCarriesControllerMap(int32_t) const
{
    return true;
}

bool Model::ReadProgram(int32_t, ChunkReader& reader)
{
    ProgramBody body;
    if (!ParseProgram(reader, body))
        return false;
    ApplyProgram(body);
    return true;
}

bool Model::ReadBank(int32_t version, ChunkReader& reader)
{
    std::unique_ptr<BankBody> body(new BankBody);
    if (!ParseBank(reader, BankCarriesControllerMap(version), *body))
        return false;
    ApplyBank(*body);
    return true;
}

} // namespace VovezEdeduvo
