#pragma once
// The LV2 plug-in's identity and ports: what the bundle's description says and what the adapter
// reads. A control port carries its parameter in the units the editor's status line shows;
// the conversions here are the only place those units meet the parameters' 0..1 values, and
// the tests hold them to the core's display texts.

#include "description/EffectDescription.h"
#include "framework/Model.h"

#include <cmath>
#include <cstdint>

namespace MorlentLv2 {

// Published once and never changed: hosts store it in every session and preset.
#define MORLENT_LV2_URI "https://www.example.com/lv2/morlent-delay"
constexpr char kPluginUri[] = MORLENT_LV2_URI;
constexpr char kProjectUri[] = MORLENT_LV2_URI "#project";
// The state property that holds the bank chunk, and the type of its value.
constexpr char kBankKeyUri[] = MORLENT_LV2_URI "#bank";
constexpr char kBankTypeUri[] = MORLENT_LV2_URI "#BankChunk";
// Factory presets live under this; each ends in its program's name made into a word.
constexpr char kPresetUriBase[] = MORLENT_LV2_URI "/presets#";

// LV2's own version of the description, counted as LV2 asks: even numbers for releases. The
// minor version goes up when ports are added, the micro version for every other release of
// the bundle.
constexpr int32_t kMinorVersion = 2;
constexpr int32_t kMicroVersion = 0;

// Port indices: the twelve controls first, in parameter order, then audio and time. Hosts
// keep these in their sessions, so they never move.
constexpr uint32_t kControlPortCount = MorlentDelay::kParameterCount;
constexpr uint32_t kLeftInPort = kControlPortCount;
constexpr uint32_t kRightInPort = kControlPortCount + 1;
constexpr uint32_t kLeftOutPort = kControlPortCount + 2;
constexpr uint32_t kRightOutPort = kControlPortCount + 3;
constexpr uint32_t kTimePort = kControlPortCount + 4;
constexpr uint32_t kPortCount = kControlPortCount + 5;

// How a control port's value relates to its parameter's 0..1 value.
enum class Scale {
    kToggle, // 0 off, 1 on
    kChoice, // the entry's number, 0 first
    kSquare, // v²: seconds of delay, the feedback's gain
    kCutoff, // 20 + 9980 v² Hz
    kMix,    // −100 (dry) .. +100 (wet): 200 v − 100
};

struct ControlPort {
    const char* symbol;
    Scale scale;
    float minimum;
    float maximum;
    const char* unit; // a term of LV2's units vocabulary, or null
};

constexpr float kLowestCutoffHz = 20.0f;
constexpr float kCutoffSpanHz = 9980.0f;

constexpr float ChoiceMaximum(int32_t parameter)
{
    return static_cast<float>(MorlentDelay::kParameters[parameter].entryCount - 1);
}

constexpr ControlPort kControlPorts[kControlPortCount] = {
    {"enabled", Scale::kToggle, 0.0f, 1.0f, nullptr},
    {"left_delay", Scale::kSquare, 0.0f, 1.0f, "s"},
    {"right_delay", Scale::kSquare, 0.0f, 1.0f, "s"},
    {"sync", Scale::kToggle, 0.0f, 1.0f, nullptr},
    {"left_sync", Scale::kChoice, 0.0f, ChoiceMaximum(MorlentDelay::kLeftSync), nullptr},
    {"right_sync", Scale::kChoice, 0.0f, ChoiceMaximum(MorlentDelay::kRightSync), nullptr},
    {"feedback", Scale::kSquare, 0.0f, 1.0f, "coef"},
    {"filter", Scale::kToggle, 0.0f, 1.0f, nullptr},
    {"cutoff", Scale::kCutoff, kLowestCutoffHz, kLowestCutoffHz + kCutoffSpanHz, "hz"},
    {"filter_type", Scale::kChoice, 0.0f, ChoiceMaximum(MorlentDelay::kFilterType), nullptr},
    {"pan", Scale::kToggle, 0.0f, 1.0f, nullptr},
    {"mix", Scale::kMix, -100.0f, 100.0f, "pc"},
};

constexpr bool ScalesMatchKinds()
{
    for (uint32_t i = 0; i < kControlPortCount; ++i) {
        const MorlentDelay::ParameterKind kind = MorlentDelay::kParameters[i].kind;
        const Scale scale = kControlPorts[i].scale;
        if ((kind == MorlentDelay::ParameterKind::kSwitch) != (scale == Scale::kToggle) ||
            (kind == MorlentDelay::ParameterKind::kChoice) != (scale == Scale::kChoice))
            return false;
    }
    return true;
}
static_assert(ScalesMatchKinds(), "switches are toggles and choices are enumerations");

// The parameter value a port value stands for. Out of range is held at the range's ends; a NaN
// stays a NaN, which the core ignores, as it does from a VST 2 host.
inline float ToParameterValue(uint32_t port, float value)
{
    const ControlPort& facts = kControlPorts[port];
    if (value < facts.minimum)
        value = facts.minimum;
    else if (value > facts.maximum)
        value = facts.maximum;
    switch (facts.scale) {
    case Scale::kToggle:
        return value > 0.0f ? 1.0f : value <= 0.0f ? 0.0f : value;
    case Scale::kChoice: {
        if (value != value)
            return value;
        // The middle of the entry's share of 0..1, as the factory bank writes notes.
        const float entry = std::floor(value + 0.5f);
        return (entry + 0.5f) / static_cast<float>(MorlentDelay::kParameters[port].entryCount);
    }
    case Scale::kSquare:
        return std::sqrt(value);
    case Scale::kCutoff:
        return std::sqrt((value - kLowestCutoffHz) / kCutoffSpanHz);
    case Scale::kMix:
        return (value + 100.0f) / 200.0f;
    }
    return value;
}

// The port value that shows a parameter value (0..1).
inline float ToPortValue(uint32_t port, float value)
{
    switch (kControlPorts[port].scale) {
    case Scale::kToggle:
        return VstToolkit::Model::NormalizedFloatToBool(value) ? 1.0f : 0.0f;
    case Scale::kChoice:
        return static_cast<float>(
            VstToolkit::Model::NormalizedFloatToSelection(value, MorlentDelay::kParameters[port].entryCount));
    case Scale::kSquare:
        return value * value;
    case Scale::kCutoff:
        return value * value * kCutoffSpanHz + kLowestCutoffHz;
    case Scale::kMix:
        return value * 200.0f - 100.0f;
    }
    return value;
}

// A port value that gives back exactly this parameter value where one exists (the nearest
// floats around ToPortValue), so presets reach the core as the factory bank has them.
inline float ExactPortValue(uint32_t port, float value)
{
    const float first = ToPortValue(port, value);
    float down = first;
    float up = first;
    for (int step = 0; step < 8; ++step) {
        if (ToParameterValue(port, down) == value)
            return down;
        if (ToParameterValue(port, up) == value)
            return up;
        down = std::nextafter(down, -INFINITY);
        up = std::nextafter(up, INFINITY);
    }
    return first;
}

} // namespace MorlentLv2
