#pragma once

#include "legacy/parameters/ParameterGroupInterface.h"

#include <atomic>
#include <vector>

namespace VovezEdeduvo {
namespace ParameterHandling {

// Several groups joined into one index space: the first group's parameters first, then the
// next group's, in the order the groups were added. Every parameter operation goes to the group
// that owns the index, with the index within that group. The composite does not own its groups.
class ParameterGroupComposite : public ParameterGroupInterface {
public:
    explicit ParameterGroupComposite(int32_t programCount);

    // Set-up: may allocate. A group already present (or none) is ignored.
    void AddGroup(ParameterGroupInterface* group);
    // The group owning a global index, which is reduced to the index within that group; null
    // (index untouched) for an index beyond the last group.
    ParameterGroupInterface* FindGroup(int32_t& index) const;

    int32_t GetProgramCount() const override { return programCount; }
    int32_t GetParameterCount() const override { return parameterCount; }
    int32_t GetCurrentProgram() const override { return currentProgram.load(std::memory_order_relaxed); }
    // Every group in the order added, so the hooks run in global index order.
    void SetCurrentProgram(int32_t program) override;
    void GetParameterShortName(int32_t index, char* text, int32_t maxLength) const override;
    void SetParameterShortName(int32_t index, const char* text) override;
    void GetParameterLongName(int32_t index, char* text, int32_t maxLength) const override;
    void SetParameterLongName(int32_t index, const char* text) override;
    void GetParameterLabel(int32_t index, char* text, int32_t maxLength) const override;
    void SetParameterLabel(int32_t index, const char* text) override;
    void GetParameterDisplay(int32_t index, char* text, int32_t maxLength) override;
    float GetProgramParameterValue(int32_t program, int32_t index) const override;
    float GetParameterValue(int32_t index) const override;
    void SetProgramParameterValue(int32_t program, int32_t index, float value) override;
    void SetParameterValue(int32_t index, float value) override;

private:
    int32_t programCount;
    int32_t parameterCount = 0;
    std::atomic<int32_t> currentProgram{0}; // read without the model's lock
    std::vector<ParameterGroupInterface*> groups;
};

} // namespace ParameterHandling
} // namespace VovezEdeduvo
