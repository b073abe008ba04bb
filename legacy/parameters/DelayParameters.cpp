#include "legacy/parameters/DelayParameters.h"

#include "common/FixedString.h"
#include "description/EffectDescription.h"

#include <cmath>
#include <cstdio>

namespace VovezEdeduvo {
namespace Effects {

namespace {

// Note lengths in beats, in the order of MorlentDelay::kNoteNames.
constexpr long double kNoteBeats[MorlentDelay::kNoteCount] = {0.125L, 0.25L, 0.5L, 1.0L, 2.0L};
constexpr int32_t kFilterTypeCount = 2;
constexpr const char* kFilterTypeNames[kFilterTypeCount] = {"Lowpass", "Highpass"};
constexpr float kLowestCutoff = 20.0f;
constexpr float kCutoffRange = 9980.0f;

// A choice among count entries; the top of the range picks the last.
int32_t Choice(float value, int32_t count)
{
    const int32_t choice = static_cast<int32_t>(std::floor(value * static_cast<float>(count)));
    return choice < 0 ? 0 : (choice >= count ? count - 1 : choice);
}

const char* OnOff(bool on)
{
    return on ? "On" : "Off";
}

} // namespace

DelayParameters::DelayParameters(int32_t programCount, DelayProcessor* processor)
    : SmoothableParameterGroup(MorlentDelay::kParameterCount, programCount), processor(processor)
{
    AddSmoother(MorlentDelay::kLeftDelay);
    AddSmoother(MorlentDelay::kRightDelay);
    AddSmoother(MorlentDelay::kWetDryMix);
    leftDelaySmoother = GetSmoother(MorlentDelay::kLeftDelay);
    rightDelaySmoother = GetSmoother(MorlentDelay::kRightDelay);
    processor->SetRamps(GetSmoothedValues(MorlentDelay::kLeftDelay), GetSmoothedValues(MorlentDelay::kRightDelay),
                        GetSmoothedValues(MorlentDelay::kWetDryMix));
    for (int32_t i = 0; i < MorlentDelay::kParameterCount; ++i) {
        SetParameterShortName(i, MorlentDelay::kParameters[i].shortName);
        SetParameterLongName(i, MorlentDelay::FirstGenerationLongName(i));
        SetParameterLabel(i, MorlentDelay::kParameters[i].label);
    }
}

void DelayParameters::OnParameterValueChanged(int32_t index, float value)
{
    const float squared = value * value;
    DelayProcessor::Settings settings = processor->GetSettings();
    switch (index) {
    case MorlentDelay::kEnabled:
        settings.enabled = value >= 0.5f;
        break;
    case MorlentDelay::kLeftDelay:
        leftSeconds = squared;
        if (!syncEnabled)
            UpdateDelayTarget(kLeft);
        break;
    case MorlentDelay::kRightDelay:
        rightSeconds = squared;
        if (!syncEnabled)
            UpdateDelayTarget(kRight);
        break;
    case MorlentDelay::kSync:
        syncEnabled = value >= 0.5f;
        UpdateDelayTarget(kLeft);
        UpdateDelayTarget(kRight);
        break;
    case MorlentDelay::kLeftSync:
        leftNoteIndex = Choice(value, MorlentDelay::kNoteCount);
        if (syncEnabled)
            UpdateDelayTarget(kLeft);
        break;
    case MorlentDelay::kRightSync:
        rightNoteIndex = Choice(value, MorlentDelay::kNoteCount);
        if (syncEnabled)
            UpdateDelayTarget(kRight);
        break;
    case MorlentDelay::kFeedbackLevel:
        settings.feedback = squared;
        break;
    case MorlentDelay::kFilter:
        filterEnabled = value >= 0.5f;
        settings.filter = filterEnabled ? filterType : Dsp::FilterKind::None;
        break;
    case MorlentDelay::kCutoffFrequency:
        processor->SetCutoff(squared * kCutoffRange + kLowestCutoff);
        break;
    case MorlentDelay::kFilterType:
        filterType = Choice(value, kFilterTypeCount) == 0 ? Dsp::FilterKind::LowPass : Dsp::FilterKind::HighPass;
        settings.filter = filterEnabled ? filterType : Dsp::FilterKind::None;
        break;
    case MorlentDelay::kPan:
        settings.crossFeedback = value >= 0.5f;
        break;
    case MorlentDelay::kWetDryMix:
        mix = value;
        SetSmootherTarget(MorlentDelay::kWetDryMix, value);
        break;
    default:
        break;
    }
    processor->SetSettings(settings);
}

void DelayParameters::Advance(int32_t count)
{
    SmoothableParameterGroup::Advance(count);
    processor->SetDelaysHeld(DelaysHeld());
}

bool DelayParameters::DelaysHeld() const
{
    using ParameterHandling::ParameterSmoother;
    return leftDelaySmoother->GetMode() == ParameterSmoother::kIdle &&
           rightDelaySmoother->GetMode() == ParameterSmoother::kIdle;
}

long double DelayParameters::DelaySamples(bool sync, float seconds, int32_t noteIndex, float tempo, float sampleRate)
{
    if (sync)
        return 60.0L / static_cast<long double>(tempo) * static_cast<long double>(sampleRate) *
               kNoteBeats[noteIndex];
    return static_cast<long double>(sampleRate) * static_cast<long double>(seconds);
}

void DelayParameters::UpdateDelayTarget(Channel channel)
{
    const bool left = channel == kLeft;
    long double samples = DelaySamples(syncEnabled, left ? leftSeconds : rightSeconds,
                                       left ? leftNoteIndex : rightNoteIndex, GetTempo(), GetSampleRate());
    // The read steps back through the line by whole samples: a target it cannot count (or a
    // NaN) would leave the array or never end, so the target stays within what it can.
    if (!(samples >= 0.0L))
        samples = 0.0L;
    else if (samples > static_cast<long double>(kLongestDelaySamples))
        samples = kLongestDelaySamples;
    SetSmootherTarget(left ? MorlentDelay::kLeftDelay : MorlentDelay::kRightDelay, static_cast<float>(samples));
}

void DelayParameters::OnSampleRateChanged(float hz)
{
    UpdateDelayTarget(kLeft);
    UpdateDelayTarget(kRight);
    SmoothableParameterGroup::OnSampleRateChanged(hz);
}

void DelayParameters::OnTempoChanged(float)
{
    if (!syncEnabled)
        return;
    UpdateDelayTarget(kLeft);
    UpdateDelayTarget(kRight);
}

void DelayParameters::GetParameterDisplay(int32_t index, char* text, int32_t maxLength)
{
    if (text == nullptr || maxLength <= 0)
        return;
    // Formatted in a buffer of its own, then cut to the caller's width.
    char formatted[32] = "";
    switch (index) {
    case MorlentDelay::kEnabled:
        std::snprintf(formatted, sizeof formatted, "%s", processor->GetSettings().enabled ? "On" : "Bypass");
        break;
    case MorlentDelay::kLeftDelay:
        std::snprintf(formatted, sizeof formatted, "%.2f", static_cast<double>(leftSeconds));
        break;
    case MorlentDelay::kRightDelay:
        std::snprintf(formatted, sizeof formatted, "%.2f", static_cast<double>(rightSeconds));
        break;
    case MorlentDelay::kSync:
        std::snprintf(formatted, sizeof formatted, "%s", OnOff(syncEnabled));
        break;
    case MorlentDelay::kLeftSync:
        std::snprintf(formatted, sizeof formatted, "%s", MorlentDelay::kNoteNames[leftNoteIndex]);
        break;
    case MorlentDelay::kRightSync:
        std::snprintf(formatted, sizeof formatted, "%s", MorlentDelay::kNoteNames[rightNoteIndex]);
        break;
    case MorlentDelay::kFeedbackLevel:
        std::snprintf(formatted, sizeof formatted, "%.2f", static_cast<double>(processor->GetSettings().feedback));
        break;
    case MorlentDelay::kFilter:
        std::snprintf(formatted, sizeof formatted, "%s", OnOff(filterEnabled));
        break;
    case MorlentDelay::kCutoffFrequency:
        std::snprintf(formatted, sizeof formatted, "%.2f", static_cast<double>(processor->GetCutoff()));
        break;
    case MorlentDelay::kFilterType:
        std::snprintf(formatted, sizeof formatted, "%s",
                      kFilterTypeNames[filterType == Dsp::FilterKind::HighPass ? 1 : 0]);
        break;
    case MorlentDelay::kPan:
        std::snprintf(formatted, sizeof formatted, "%s", OnOff(processor->GetSettings().crossFeedback));
        break;
    case MorlentDelay::kWetDryMix:
        std::snprintf(formatted, sizeof formatted, "%d", static_cast<int>((2.0f * mix - 1.0f) * 100.0f));
        break;
    default:
        break;
    }
    Morlent::CopyFixedString(text, formatted, maxLength);
}

} // namespace Effects
} // namespace VovezEdeduvo
