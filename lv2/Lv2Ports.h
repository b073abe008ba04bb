#pragma once
// The LV2 plug-in's identity and ports: what the bundle's description says and what the adapter
// reads. A control port carries its parameter in the units the editor's status line shows.

#include "description/EffectDescription.h"
#include "framework/DisplayUnits.h"

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
// The editor, an X11 UI in a binary of its own beside the plug-in's.
constexpr char kUiUri[] = MORLENT_LV2_URI "#ui";

// LV2's own version of the description, counted as LV2 asks: even numbers for releases. The
// minor version goes up when ports are added, the micro version for every other release of
// the bundle.
constexpr int32_t kMinorVersion = 4;
constexpr int32_t kMicroVersion = 0;

// Port indices: the twelve controls first, in parameter order, then audio, the events in, MIDI
// in and the notifications out. Hosts keep these in their sessions, so they never move; new
// ports go at the end.
constexpr uint32_t kControlPortCount = MorlentDelay::kParameterCount;
constexpr uint32_t kLeftInPort = kControlPortCount;
constexpr uint32_t kRightInPort = kControlPortCount + 1;
constexpr uint32_t kLeftOutPort = kControlPortCount + 2;
constexpr uint32_t kRightOutPort = kControlPortCount + 3;
// The host's time positions and the editor's learn commands (symbol "time", its name since the
// first release).
constexpr uint32_t kEventsInPort = kControlPortCount + 4;
// MIDI for learned controllers, on a port of its own: a host may fill a port that takes MIDI
// from the track's MIDI only, and an audio track has none, nor would its time positions come.
constexpr uint32_t kMidiInPort = kControlPortCount + 5;
// The learn state and the values learned controllers set, for the editor.
constexpr uint32_t kNotifyPort = kControlPortCount + 6;
constexpr uint32_t kPortCount = kControlPortCount + 7;
// The notification port's buffer holds every message one block can have, with room to spare.
constexpr uint32_t kNotifyMinimumSize = 2048;

// A control port's value is its parameter in display units (framework/DisplayUnits.h).
using Scale = VstToolkit::DisplayScale;

struct ControlPort {
    const char* symbol;
    Scale scale;
    float minimum;
    float maximum;
    const char* unit; // a term of LV2's units vocabulary, or null
};

constexpr ControlPort Port(const char* symbol, uint32_t parameter, const char* unit)
{
    return {symbol, VstToolkit::kDisplayRanges[parameter].scale, VstToolkit::kDisplayRanges[parameter].minimum,
            VstToolkit::kDisplayRanges[parameter].maximum, unit};
}

constexpr ControlPort kControlPorts[kControlPortCount] = {
    Port("enabled", MorlentDelay::kEnabled, nullptr),
    Port("left_delay", MorlentDelay::kLeftDelay, "s"),
    Port("right_delay", MorlentDelay::kRightDelay, "s"),
    Port("sync", MorlentDelay::kSync, nullptr),
    Port("left_sync", MorlentDelay::kLeftSync, nullptr),
    Port("right_sync", MorlentDelay::kRightSync, nullptr),
    Port("feedback", MorlentDelay::kFeedbackLevel, "coef"),
    Port("filter", MorlentDelay::kFilter, nullptr),
    Port("cutoff", MorlentDelay::kCutoffFrequency, "hz"),
    Port("filter_type", MorlentDelay::kFilterType, nullptr),
    Port("pan", MorlentDelay::kPan, nullptr),
    Port("mix", MorlentDelay::kWetDryMix, "pc"),
};

inline float ToParameterValue(uint32_t port, float value)
{
    return VstToolkit::FromDisplayValue(static_cast<int32_t>(port), value);
}

inline float ToPortValue(uint32_t port, float value)
{
    return VstToolkit::ToDisplayValue(static_cast<int32_t>(port), value);
}

inline float ExactPortValue(uint32_t port, float value)
{
    return VstToolkit::ExactDisplayValue(static_cast<int32_t>(port), value);
}

} // namespace MorlentLv2
