#include "legacy/parameters/ParameterGroup.h"

#include "common/FixedString.h"
#include "description/EffectDescription.h"

#include <cmath>
#include <cstring>

namespace VovezEdeduvo {
namespace ParameterHandling {

ParameterGroup::ParameterGroup(int32_t parameterCount, int32_t programCount)
    : parameterCount(parameterCount < 0 ? 0 : parameterCount),
      programCount(programCount < 0 ? 0 : programCount),
      values(new std::atomic<float>[static_cast<size_t>(this->programCount) * static_cast<size_t>(this->parameterCount)])
{
    for (int32_t program = 0; program < this->programCount; ++program)
        for (int32_t index = 0; index < this->parameterCount; ++index)
            Value(program, index).store(0.0f, std::memory_order_relaxed);
}

void ParameterGroup::SetCurrentProgram(int32_t program)
{
    if (!IsProgram(program))
        return;
    currentProgram.store(program, std::memory_order_relaxed);
    // The count is read again after each hook, as a group may be told about its own changes.
    for (int32_t i = 0; i < GetParameterCount(); ++i)
        OnParameterValueChanged(i, Value(program, i).load(std::memory_order_relaxed));
}

template <std::size_t size>
void ParameterGroup::StoreName(Names<size>& names, int32_t index, const char* text)
{
    if (!IsParameter(index))
        return;
    Morlent::CopyFixedString(names[index].data(), text, static_cast<int32_t>(size));
}

template <std::size_t size>
void ParameterGroup::ReadName(const Names<size>& names, int32_t index, char* text, int32_t maxLength)
{
    const auto found = names.find(index);
    Morlent::CopyFixedString(text, found == names.end() ? "" : found->second.data(), maxLength);
}

void ParameterGroup::GetParameterShortName(int32_t index, char* text, int32_t maxLength) const
{
    ReadName(shortNames, index, text, maxLength);
}

void ParameterGroup::SetParameterShortName(int32_t index, const char* text)
{
    StoreName(shortNames, index, text);
}

void ParameterGroup::GetParameterLongName(int32_t index, char* text, int32_t maxLength) const
{
    ReadName(longNames, index, text, maxLength);
}

void ParameterGroup::SetParameterLongName(int32_t index, const char* text)
{
    StoreName(longNames, index, text);
}

void ParameterGroup::GetParameterLabel(int32_t index, char* text, int32_t maxLength) const
{
    ReadName(labels, index, text, maxLength);
}

void ParameterGroup::SetParameterLabel(int32_t index, const char* text)
{
    StoreName(labels, index, text);
}

float ParameterGroup::GetProgramParameterValue(int32_t program, int32_t index) const
{
    if (!IsProgram(program) || !IsParameter(index))
        return 0.0f;
    return Value(program, index).load(std::memory_order_relaxed);
}

float ParameterGroup::GetParameterValue(int32_t index) const
{
    return GetProgramParameterValue(GetCurrentProgram(), index);
}

void ParameterGroup::SetProgramParameterValue(int32_t program, int32_t index, float value)
{
    if (!IsProgram(program) || !IsParameter(index) || !MorlentDelay::SanitiseParameterValue(value))
        return;
    Value(program, index).store(value, std::memory_order_relaxed);
    if (program == GetCurrentProgram())
        OnParameterValueChanged(index, value);
}

void ParameterGroup::SetParameterValue(int32_t index, float value)
{
    SetProgramParameterValue(GetCurrentProgram(), index, value);
}

} // namespace ParameterHandling
} // namespace VovezEdeduvo
