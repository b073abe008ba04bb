#pragma once
// What the files of the VST 3 adapter share and nobody else needs: the effect's bus facts, the
// conversions between the format's values and texts and ours, and the editor's drag watch.

#include "vst3/Vst3Effect.h"
#include "vst3/Vst3PlugView.h"

#include <cmath>

namespace MorlentVst3 {

constexpr int32 kExtraParameterCount = 2; // bypass and program change, then the controllers
constexpr int32 kMidiChannelCount = 16;
constexpr int32 kChannelCount = 2;

// Our plain ASCII texts in the format's 128-character strings, cut to fit.
inline void ToString128(const char* text, String128 out)
{
    int i = 0;
    if (text != nullptr)
        for (; i < 127 && text[i] != '\0'; ++i)
            out[i] = static_cast<char16>(static_cast<unsigned char>(text[i]));
    out[i] = 0;
}

inline float Clamp01(ParamValue value)
{
    if (!(value >= 0.0)) // NaN too
        return 0.0f;
    return value > 1.0 ? 1.0f : static_cast<float>(value);
}

inline int32 ProgramFromNormalized(ParamValue value, int32 count)
{
    const int32 program = static_cast<int32>(std::lround(Clamp01(value) * (count - 1)));
    return program < 0 ? 0 : (program >= count ? count - 1 : program);
}


} // namespace MorlentVst3
