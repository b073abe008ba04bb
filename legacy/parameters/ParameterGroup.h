#pragma once

#include "legacy/parameters/ParameterGroupInterface.h"

#include <array>
#include <atomic>
#include <memory>
#include <cstddef>
#include <map>
#include <vector>

namespace VovezEdeduvo {
namespace ParameterHandling {

// The values of parameterCount parameters in programCount programs, with their names and
// labels. A concrete group overrides OnParameterValueChanged to react to the current program's
// values and GetParameterDisplay to show them.
//
// Values are kept within 0..1 whatever path they take, and a NaN is no value at all. Indexes
// and program numbers out of range are ignored (getters answer 0 or the empty string).
class ParameterGroup : public ParameterGroupInterface {
public:
    static constexpr int32_t kShortNameSize = 8;
    static constexpr int32_t kLongNameSize = 64;
    static constexpr int32_t kLabelSize = 8;

    // Set-up: allocates the value rows, all 0.
    ParameterGroup(int32_t parameterCount, int32_t programCount);

    int32_t GetProgramCount() const override { return programCount; }
    int32_t GetParameterCount() const override { return parameterCount; }
    int32_t GetCurrentProgram() const override { return currentProgram.load(std::memory_order_relaxed); }
    // Reports every value of the new program to OnParameterValueChanged, lowest index first.
    void SetCurrentProgram(int32_t program) override;
    void GetParameterShortName(int32_t index, char* text, int32_t maxLength) const override;
    // Set-up: may allocate. Cut to the field's size, terminated.
    void SetParameterShortName(int32_t index, const char* text) override;
    void GetParameterLongName(int32_t index, char* text, int32_t maxLength) const override;
    void SetParameterLongName(int32_t index, const char* text) override;
    void GetParameterLabel(int32_t index, char* text, int32_t maxLength) const override;
    void SetParameterLabel(int32_t index, const char* text) override;
    float GetProgramParameterValue(int32_t program, int32_t index) const override;
    float GetParameterValue(int32_t index) const override;
    // Only a change to the current program reaches OnParameterValueChanged.
    void SetProgramParameterValue(int32_t program, int32_t index, float value) override;
    void SetParameterValue(int32_t index, float value) override;

    // A value of the current program has changed (or the program has); empty in the base.
    virtual void OnParameterValueChanged(int32_t, float) {}

protected:
    bool IsParameter(int32_t index) const { return index >= 0 && index < parameterCount; }
    bool IsProgram(int32_t program) const { return program >= 0 && program < programCount; }

private:
    template <std::size_t size>
    using Names = std::map<int32_t, std::array<char, size>>;
    template <std::size_t size>
    void StoreName(Names<size>& names, int32_t index, const char* text);
    template <std::size_t size>
    static void ReadName(const Names<size>& names, int32_t index, char* text, int32_t maxLength);

    int32_t parameterCount;
    int32_t programCount;
    // Atomics: the host reads values and the program without the model's lock while the audio
    // thread may change them (a learned controller).
    std::atomic<int32_t> currentProgram{0};
    std::unique_ptr<std::atomic<float>[]> values; // programCount rows of parameterCount
    std::atomic<float>& Value(int32_t program, int32_t index) const
    {
        return values[static_cast<size_t>(program) * static_cast<size_t>(parameterCount) + static_cast<size_t>(index)];
    }
    Names<kShortNameSize> shortNames;
    Names<kLongNameSize> longNames;
    Names<kLabelSize> labels;
};

} // namespace ParameterHandling
} // namespace VovezEdeduvo
