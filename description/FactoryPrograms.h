#pragma once
// The factory programs: 32 programs in the units a musician thinks in, and their normalised
// parameter values. The bank tool writes them as the factory bank and the LV2 bundle as its
// presets; the bank's tests read them back through both modules.

#include "description/EffectDescription.h"

#include <cmath>
#include <cstdint>

namespace FactoryBank {

enum class Filter { kOff, kLowPass, kHighPass };

// Indices into MorlentDelay::kNoteNames.
constexpr int32_t kFree = -1;
constexpr int32_t k32nd = 0, k16th = 1, k8th = 2, kQuarter = 3, kHalf = 4;

struct Program {
    const char* name;
    // Free-running delays; a synced program keeps them for when sync is switched off.
    float leftSeconds;
    float rightSeconds;
    // Both notes or neither: sync is one switch for both sides.
    int32_t leftNote;
    int32_t rightNote;
    float feedback; // gain of the repeats, 0..1
    Filter filter;
    float cutoffHz; // 20..10000
    bool pingPong;  // the feedback crosses between the sides
    float mix;      // 0 dry .. 1 wet
};

// Every delay stays within a second and every synced note within a second at 120 BPM and
// above, so both modules play them alike at common tempos.
constexpr Program kPrograms[MorlentDelay::kProgramCount] = {
    {"Basic Echo", 0.40f, 0.40f, kFree, kFree, 0.30f, Filter::kOff, 10000.0f, false, 0.35f},
    {"Slapback", 0.09f, 0.10f, kFree, kFree, 0.05f, Filter::kOff, 10000.0f, false, 0.35f},
    {"Slapback Wide", 0.075f, 0.11f, kFree, kFree, 0.10f, Filter::kLowPass, 6000.0f, false, 0.40f},
    {"Rockabilly Slap", 0.12f, 0.12f, kFree, kFree, 0.15f, Filter::kLowPass, 4500.0f, false, 0.45f},
    {"Ping-Pong 1/8", 0.25f, 0.25f, k8th, k8th, 0.45f, Filter::kOff, 10000.0f, true, 0.40f},
    {"Ping-Pong 1/4", 0.50f, 0.50f, kQuarter, kQuarter, 0.50f, Filter::kOff, 10000.0f, true, 0.40f},
    {"Ping-Pong 1/8 Dark", 0.25f, 0.25f, k8th, k8th, 0.55f, Filter::kLowPass, 2500.0f, true, 0.40f},
    {"Ping-Pong 1/16", 0.125f, 0.125f, k16th, k16th, 0.40f, Filter::kOff, 10000.0f, true, 0.35f},
    {"Eighth Note Echo", 0.25f, 0.25f, k8th, k8th, 0.35f, Filter::kOff, 10000.0f, false, 0.35f},
    {"Quarter Note Echo", 0.50f, 0.50f, kQuarter, kQuarter, 0.35f, Filter::kOff, 10000.0f, false, 0.35f},
    {"Split 1/8 & 1/4", 0.25f, 0.50f, k8th, kQuarter, 0.40f, Filter::kLowPass, 5000.0f, false, 0.40f},
    {"Sixteenth Stutter", 0.125f, 0.125f, k16th, k16th, 0.60f, Filter::kOff, 10000.0f, false, 0.40f},
    {"1/32 Flutter", 0.0625f, 0.0625f, k32nd, k32nd, 0.50f, Filter::kHighPass, 300.0f, false, 0.35f},
    {"Half Note Swell", 0.90f, 0.90f, kHalf, kHalf, 0.60f, Filter::kLowPass, 2500.0f, false, 0.45f},
    {"Dub Echo", 0.50f, 0.50f, kQuarter, kQuarter, 0.70f, Filter::kLowPass, 1200.0f, false, 0.45f},
    {"Dub Echo Deep", 0.75f, 0.50f, kFree, kFree, 0.75f, Filter::kLowPass, 800.0f, true, 0.50f},
    {"Tape Echo 1/4", 0.50f, 0.50f, kQuarter, kQuarter, 0.55f, Filter::kLowPass, 3500.0f, false, 0.40f},
    {"Tape Echo 1/8", 0.25f, 0.25f, k8th, k8th, 0.50f, Filter::kLowPass, 3500.0f, false, 0.40f},
    {"Lo-Fi Dark Echo", 0.30f, 0.32f, kFree, kFree, 0.50f, Filter::kLowPass, 1800.0f, false, 0.40f},
    {"Bright High-Pass Echo", 0.35f, 0.35f, kFree, kFree, 0.40f, Filter::kHighPass, 1500.0f, false, 0.40f},
    {"Telephone Echo", 0.25f, 0.27f, kFree, kFree, 0.35f, Filter::kHighPass, 2500.0f, false, 0.40f},
    {"Airy Shimmer Echo", 0.45f, 0.60f, kFree, kFree, 0.55f, Filter::kHighPass, 700.0f, true, 0.35f},
    {"Subtle Vocal Echo", 0.28f, 0.30f, kFree, kFree, 0.25f, Filter::kLowPass, 6000.0f, false, 0.25f},
    {"Guitar Lead Echo", 0.38f, 0.42f, kFree, kFree, 0.40f, Filter::kLowPass, 5000.0f, false, 0.35f},
    {"Doubler", 0.018f, 0.026f, kFree, kFree, 0.0f, Filter::kOff, 10000.0f, false, 0.50f},
    {"Haas Widener", 0.0f, 0.020f, kFree, kFree, 0.0f, Filter::kOff, 10000.0f, false, 0.50f},
    {"Snare Flam", 0.030f, 0.045f, kFree, kFree, 0.20f, Filter::kHighPass, 800.0f, false, 0.35f},
    {"Short Room Bounce", 0.035f, 0.047f, kFree, kFree, 0.45f, Filter::kLowPass, 5000.0f, true, 0.30f},
    {"Metallic Comb", 0.005f, 0.007f, kFree, kFree, 0.80f, Filter::kOff, 10000.0f, false, 0.40f},
    {"Ambient Tail", 0.90f, 0.70f, kFree, kFree, 0.80f, Filter::kLowPass, 4000.0f, true, 0.50f},
    {"Ambient Tail Dark", 1.00f, 0.85f, kFree, kFree, 0.85f, Filter::kLowPass, 1500.0f, true, 0.50f},
    {"Endless Drone", 0.80f, 0.60f, kFree, kFree, 0.92f, Filter::kLowPass, 2000.0f, true, 0.60f},
};

// --- the parameters' normalised values: times and gains are v², the cutoff 20 + 9980 v² Hz ---
inline float FromSquare(float quantity) { return std::sqrt(quantity); }
// The middle of the note's fifth of the range, so rounding never lands on a neighbour.
inline float FromNote(int32_t note)
{
    return (static_cast<float>(note) + 0.5f) / static_cast<float>(MorlentDelay::kNoteCount);
}
inline float FromCutoff(float hz) { return std::sqrt((hz - 20.0f) / 9980.0f); }

inline bool IsSynced(const Program& program) { return program.leftNote != kFree; }

inline float NormalisedValue(const Program& program, int32_t parameter)
{
    using namespace MorlentDelay;
    const bool synced = IsSynced(program);
    switch (parameter) {
    case kEnabled:
        return 1.0f;
    case kLeftDelay:
        return FromSquare(program.leftSeconds);
    case kRightDelay:
        return FromSquare(program.rightSeconds);
    case kSync:
        return synced ? 1.0f : 0.0f;
    case kLeftSync:
        return synced ? FromNote(program.leftNote) : kParameters[kLeftSync].defaultValue;
    case kRightSync:
        return synced ? FromNote(program.rightNote) : kParameters[kRightSync].defaultValue;
    case kFeedbackLevel:
        return FromSquare(program.feedback);
    case kFilter:
        return program.filter == Filter::kOff ? 0.0f : 1.0f;
    case kCutoffFrequency:
        return FromCutoff(program.cutoffHz);
    case kFilterType:
        return program.filter == Filter::kHighPass ? 1.0f : 0.0f;
    case kPan:
        return program.pingPong ? 1.0f : 0.0f;
    case kWetDryMix:
        return program.mix;
    default:
        return 0.0f;
    }
}

constexpr char kBankFileName[] = "Morlent Delay Factory.fxb";

} // namespace FactoryBank
