#pragma once
// The parameters in the units the editor's status line shows them in: seconds, gain, hertz,
// percent, on/off and entry numbers. Formats whose hosts hold values in a parameter's own units
// (LV2's control ports, CLAP's parameters) convert here, the only place those units meet the
// parameters' 0..1 values; the tests hold the conversions to the core's display texts.

#include "description/EffectDescription.h"
#include "framework/Model.h"

#include <cmath>
#include <cstdint>

namespace VstToolkit {

// How a value in display units relates to its parameter's 0..1 value.
enum class DisplayScale {
    kToggle, // 0 off, 1 on
    kChoice, // the entry's number, 0 first
    kSquare, // v²: seconds of delay, the feedback's gain
    kCutoff, // 20 + 9980 v² Hz
    kMix,    // −100 (dry) .. +100 (wet): 200 v − 100
};

struct DisplayRange {
    DisplayScale scale;
    float minimum;
    float maximum;
};

constexpr float kLowestCutoffHz = 20.0f;
constexpr float kCutoffSpanHz = 9980.0f;

constexpr float LastEntry(int32_t parameter)
{
    return static_cast<float>(MorlentDelay::kParameters[parameter].entryCount - 1);
}

// By parameter index.
constexpr DisplayRange kDisplayRanges[MorlentDelay::kParameterCount] = {
    {DisplayScale::kToggle, 0.0f, 1.0f},
    {DisplayScale::kSquare, 0.0f, 1.0f},
    {DisplayScale::kSquare, 0.0f, 1.0f},
    {DisplayScale::kToggle, 0.0f, 1.0f},
    {DisplayScale::kChoice, 0.0f, LastEntry(MorlentDelay::kLeftSync)},
    {DisplayScale::kChoice, 0.0f, LastEntry(MorlentDelay::kRightSync)},
    {DisplayScale::kSquare, 0.0f, 1.0f},
    {DisplayScale::kToggle, 0.0f, 1.0f},
    {DisplayScale::kCutoff, kLowestCutoffHz, kLowestCutoffHz + kCutoffSpanHz},
    {DisplayScale::kChoice, 0.0f, LastEntry(MorlentDelay::kFilterType)},
    {DisplayScale::kToggle, 0.0f, 1.0f},
    {DisplayScale::kMix, -100.0f, 100.0f},
};

constexpr bool DisplayScalesMatchKinds()
{
    for (int32_t i = 0; i < MorlentDelay::kParameterCount; ++i) {
        const MorlentDelay::ParameterKind kind = MorlentDelay::kParameters[i].kind;
        const DisplayScale scale = kDisplayRanges[i].scale;
        if ((kind == MorlentDelay::ParameterKind::kSwitch) != (scale == DisplayScale::kToggle) ||
            (kind == MorlentDelay::ParameterKind::kChoice) != (scale == DisplayScale::kChoice))
            return false;
    }
    return true;
}
static_assert(DisplayScalesMatchKinds(), "switches are toggles and choices are entry numbers");

// The parameter value (0..1) a value in display units stands for. Out of range is held at the
// range's ends; a NaN stays a NaN, which the core ignores, as it does from a VST 2 host.
inline float FromDisplayValue(int32_t parameter, float value)
{
    const DisplayRange& range = kDisplayRanges[parameter];
    if (value < range.minimum)
        value = range.minimum;
    else if (value > range.maximum)
        value = range.maximum;
    switch (range.scale) {
    case DisplayScale::kToggle:
        return value > 0.0f ? 1.0f : value <= 0.0f ? 0.0f : value;
    case DisplayScale::kChoice: {
        if (value != value)
            return value;
        // The middle of the entry's share of 0..1, as the factory bank writes notes.
        const float entry = std::floor(value + 0.5f);
        return (entry + 0.5f) / static_cast<float>(MorlentDelay::kParameters[parameter].entryCount);
    }
    case DisplayScale::kSquare:
        return std::sqrt(value);
    case DisplayScale::kCutoff:
        return std::sqrt((value - kLowestCutoffHz) / kCutoffSpanHz);
    case DisplayScale::kMix:
        return (value + 100.0f) / 200.0f;
    }
    return value;
}

// The value in display units that shows a parameter value (0..1).
inline float ToDisplayValue(int32_t parameter, float value)
{
    switch (kDisplayRanges[parameter].scale) {
    case DisplayScale::kToggle:
        return Model::NormalizedFloatToBool(value) ? 1.0f : 0.0f;
    case DisplayScale::kChoice:
        return static_cast<float>(
            Model::NormalizedFloatToSelection(value, MorlentDelay::kParameters[parameter].entryCount));
    case DisplayScale::kSquare:
        return value * value;
    case DisplayScale::kCutoff:
        return value * value * kCutoffSpanHz + kLowestCutoffHz;
    case DisplayScale::kMix:
        return value * 200.0f - 100.0f;
    }
    return value;
}

// A display value that gives back exactly this parameter value where one exists (the nearest
// floats around ToDisplayValue), so presets and saved values reach the core as they were.
inline float ExactDisplayValue(int32_t parameter, float value)
{
    const float first = ToDisplayValue(parameter, value);
    float down = first;
    float up = first;
    for (int step = 0; step < 8; ++step) {
        if (FromDisplayValue(parameter, down) == value)
            return down;
        if (FromDisplayValue(parameter, up) == value)
            return up;
        down = std::nextafter(down, -INFINITY);
        up = std::nextafter(up, INFINITY);
    }
    return first;
}

} // namespace VstToolkit
