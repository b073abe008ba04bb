#pragma once

#include <cstdint>

namespace VovezEdeduvo {
namespace ParameterHandling {

// The parameters of a set of programs, addressed by parameter index within the object. Text
// getters copy at most maxLength - 1 characters and always terminate the caller's buffer.
//
// Threads: no locks; the model serialises every call (the audio thread's included) with its own.
class ParameterGroupInterface {
public:
    virtual ~ParameterGroupInterface() = default;
    virtual int32_t GetProgramCount() const = 0;
    virtual int32_t GetParameterCount() const = 0;
    virtual int32_t GetCurrentProgram() const = 0;
    virtual void SetCurrentProgram(int32_t program) = 0;
    virtual void GetParameterShortName(int32_t index, char* text, int32_t maxLength) const = 0;
    virtual void SetParameterShortName(int32_t index, const char* text) = 0;
    virtual void GetParameterLongName(int32_t index, char* text, int32_t maxLength) const = 0;
    virtual void SetParameterLongName(int32_t index, const char* text) = 0;
    virtual void GetParameterLabel(int32_t index, char* text, int32_t maxLength) const = 0;
    virtual void SetParameterLabel(int32_t index, const char* text) = 0;
    virtual void GetParameterDisplay(int32_t index, char* text, int32_t maxLength) = 0;
    virtual float GetProgramParameterValue(int32_t program, int32_t index) const = 0;
    virtual float GetParameterValue(int32_t index) const = 0;
    virtual void SetProgramParameterValue(int32_t program, int32_t index, float value) = 0;
    virtual void SetParameterValue(int32_t index, float value) = 0;
};

} // namespace ParameterHandling
} // namespace VovezEdeduvo
