#include "legacy/parameters/ParameterGroupComposite.h"

#include "common/FixedString.h"

#include <algorithm>

namespace VovezEdeduvo {
namespace ParameterHandling {

ParameterGroupComposite::ParameterGroupComposite(int32_t programCount)
    : programCount(programCount < 0 ? 0 : programCount)
{
}

void ParameterGroupComposite::AddGroup(ParameterGroupInterface* group)
{
    if (group == nullptr || std::find(groups.begin(), groups.end(), group) != groups.end())
        return;
    groups.push_back(group);
    parameterCount += group->GetParameterCount();
}

ParameterGroupInterface* ParameterGroupComposite::FindGroup(int32_t& index) const
{
    if (index < 0)
        return nullptr;
    int32_t reduced = index;
    for (ParameterGroupInterface* group : groups) {
        const int32_t count = group->GetParameterCount();
        if (reduced < count) {
            index = reduced;
            return group;
        }
        reduced -= count;
    }
    return nullptr;
}

void ParameterGroupComposite::SetCurrentProgram(int32_t program)
{
    if (program < 0 || program >= programCount)
        return;
    currentProgram.store(program, std::memory_order_relaxed);
    for (ParameterGroupInterface* group : groups)
        group->SetCurrentProgram(program);
}

void ParameterGroupComposite::GetParameterShortName(int32_t index, char* text, int32_t maxLength) const
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->GetParameterShortName(index, text, maxLength);
    else
        Morlent::CopyFixedString(text, "", maxLength);
}

void ParameterGroupComposite::SetParameterShortName(int32_t index, const char* text)
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->SetParameterShortName(index, text);
}

void ParameterGroupComposite::GetParameterLongName(int32_t index, char* text, int32_t maxLength) const
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->GetParameterLongName(index, text, maxLength);
    else
        Morlent::CopyFixedString(text, "", maxLength);
}

void ParameterGroupComposite::SetParameterLongName(int32_t index, const char* text)
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->SetParameterLongName(index, text);
}

void ParameterGroupComposite::GetParameterLabel(int32_t index, char* text, int32_t maxLength) const
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->GetParameterLabel(index, text, maxLength);
    else
        Morlent::CopyFixedString(text, "", maxLength);
}

void ParameterGroupComposite::SetParameterLabel(int32_t index, const char* text)
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->SetParameterLabel(index, text);
}

void ParameterGroupComposite::GetParameterDisplay(int32_t index, char* text, int32_t maxLength)
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->GetParameterDisplay(index, text, maxLength);
    else
        Morlent::CopyFixedString(text, "", maxLength);
}

float ParameterGroupComposite::GetProgramParameterValue(int32_t program, int32_t index) const
{
    ParameterGroupInterface* group = FindGroup(index);
    return group != nullptr ? group->GetProgramParameterValue(program, index) : 0.0f;
}

float ParameterGroupComposite::GetParameterValue(int32_t index) const
{
    ParameterGroupInterface* group = FindGroup(index);
    return group != nullptr ? group->GetParameterValue(index) : 0.0f;
}

void ParameterGroupComposite::SetProgramParameterValue(int32_t program, int32_t index, float value)
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->SetProgramParameterValue(program, index, value);
}

void ParameterGroupComposite::SetParameterValue(int32_t index, float value)
{
    if (ParameterGroupInterface* group = FindGroup(index))
        group->SetParameterValue(index, value);
}

} // namespace ParameterHandling
} // namespace VovezEdeduvo
