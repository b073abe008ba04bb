#include "tests/legacy/parameters/DelayFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using VovezEdeduvo::Effects::DelayParameters;
using VovezEdeduvo::Effects::DelayProcessor;
using VovezEdeduvo::ParameterHandling::ParameterSmoother;

std::string Display(DelayParameters& parameters, int32_t index, int32_t width = MorlentDelay::kDisplaySize)
{
    char text[64];
    parameters.GetParameterDisplay(index, text, width);
    return text;
}

float Target(const DelayParameters& parameters, int32_t index)
{
    return parameters.GetSmoother(index)->GetTarget();
}

// The value of a choice parameter that picks entry i of n.
float Pick(int32_t i, int32_t n)
{
    return (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
}

TEST(DelayParametersTest, TheDefaultProgramDisplaysAsTheFirstGenerationDid)
{
    FirstGenerationDelay delay;
    const std::vector<std::string> expected = {"On",   "1.00",    "0.25", "Off", "1/8", "1/8",
                                               "0.00", "Off",     "2515.00", "Lowpass", "Off", "0"};
    for (int32_t i = 0; i < MorlentDelay::kParameterCount; ++i)
        EXPECT_EQ(Display(delay.parameters, i), expected[static_cast<size_t>(i)]) << "parameter " << i;
    EXPECT_EQ(Target(delay.parameters, MorlentDelay::kLeftDelay), 44100.0f);
    EXPECT_EQ(Target(delay.parameters, MorlentDelay::kRightDelay), 11025.0f);
    EXPECT_EQ(Target(delay.parameters, MorlentDelay::kWetDryMix), 0.5f);
    EXPECT_TRUE(delay.processor.GetSettings().enabled);
    EXPECT_EQ(delay.processor.GetSettings().feedback, 0.0f);
    EXPECT_EQ(delay.processor.GetSettings().filter, Dsp::FilterKind::None);
    EXPECT_FALSE(delay.processor.GetSettings().crossFeedback);
}

TEST(DelayParametersTest, ExtremesAndChoicesDisplayCutToTheCallersWidth)
{
    FirstGenerationDelay delay;
    DelayParameters& p = delay.parameters;
    p.SetParameterValue(MorlentDelay::kCutoffFrequency, 1.0f);
    EXPECT_EQ(Display(p, MorlentDelay::kCutoffFrequency), "10000.0");
    EXPECT_EQ(Display(p, MorlentDelay::kCutoffFrequency, 32), "10000.00");
    p.SetParameterValue(MorlentDelay::kCutoffFrequency, 0.0f);
    EXPECT_EQ(Display(p, MorlentDelay::kCutoffFrequency), "20.00");
    p.SetParameterValue(MorlentDelay::kWetDryMix, 0.0f);
    EXPECT_EQ(Display(p, MorlentDelay::kWetDryMix), "-100");
    p.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    EXPECT_EQ(Display(p, MorlentDelay::kWetDryMix), "100");
    p.SetParameterValue(MorlentDelay::kWetDryMix, 0.75f);
    EXPECT_EQ(Display(p, MorlentDelay::kWetDryMix), "50");
    p.SetParameterValue(MorlentDelay::kEnabled, 0.49f);
    EXPECT_EQ(Display(p, MorlentDelay::kEnabled), "Bypass");
    EXPECT_EQ(Display(p, MorlentDelay::kEnabled, 4), "Byp");
    p.SetParameterValue(MorlentDelay::kFilterType, 1.0f);
    EXPECT_EQ(Display(p, MorlentDelay::kFilterType), "Highpas");
    p.SetParameterValue(MorlentDelay::kFilter, 1.0f);
    EXPECT_EQ(delay.processor.GetSettings().filter, Dsp::FilterKind::HighPass);
    p.SetParameterValue(MorlentDelay::kFilter, 0.0f);
    p.SetParameterValue(MorlentDelay::kFilterType, 0.49f);
    EXPECT_EQ(Display(p, MorlentDelay::kFilterType), "Lowpass");
    for (int32_t note = 0; note < MorlentDelay::kNoteCount; ++note) {
        p.SetParameterValue(MorlentDelay::kRightSync, Pick(note, MorlentDelay::kNoteCount));
        EXPECT_EQ(Display(p, MorlentDelay::kRightSync), MorlentDelay::kNoteNames[note]);
    }
    p.SetParameterValue(MorlentDelay::kLeftSync, 1.0f);
    EXPECT_EQ(Display(p, MorlentDelay::kLeftSync), "1/2") << "the top of the range picks the last note";
    p.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.5f);
    EXPECT_EQ(Display(p, MorlentDelay::kFeedbackLevel), "0.25");
    p.SetParameterValue(MorlentDelay::kPan, 0.5f);
    EXPECT_EQ(Display(p, MorlentDelay::kPan), "On");
    char untouched[4] = {'x', 'x', 'x', 'x'};
    p.GetParameterDisplay(MorlentDelay::kPan, untouched, 0);
    EXPECT_EQ(untouched[0], 'x');
}

// The processor has one filter setting; the switch and the type each keep their own value.
TEST(DelayParametersTest, TheFilterSwitchAndTypeTogetherPickTheProcessorsFilter)
{
    FirstGenerationDelay delay;
    DelayParameters& p = delay.parameters;
    const DelayProcessor::Settings& settings = delay.processor.GetSettings();
    p.SetParameterValue(MorlentDelay::kFilterType, 1.0f);
    EXPECT_EQ(settings.filter, Dsp::FilterKind::None) << "a type chosen while the filter is off";
    p.SetParameterValue(MorlentDelay::kFilter, 1.0f);
    EXPECT_EQ(settings.filter, Dsp::FilterKind::HighPass);
    p.SetParameterValue(MorlentDelay::kFilterType, 0.0f);
    EXPECT_EQ(settings.filter, Dsp::FilterKind::LowPass) << "a type chosen while it is on";
    p.SetParameterValue(MorlentDelay::kFilter, 0.0f);
    EXPECT_EQ(settings.filter, Dsp::FilterKind::None);
    EXPECT_EQ(Display(p, MorlentDelay::kFilter), "Off");
    EXPECT_EQ(Display(p, MorlentDelay::kFilterType), "Lowpass") << "the type stays chosen";

    p.SetParameterValue(MorlentDelay::kFilter, 1.0f);
    p.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.5f);
    p.SetParameterValue(MorlentDelay::kPan, 1.0f);
    p.SetParameterValue(MorlentDelay::kEnabled, 0.0f);
    EXPECT_EQ(settings.filter, Dsp::FilterKind::LowPass) << "other parameters leave the filter alone";
    EXPECT_EQ(settings.feedback, 0.25f);
    EXPECT_TRUE(settings.crossFeedback);
    EXPECT_FALSE(settings.enabled);
}

TEST(DelayParametersTest, NamesComeFromTheSharedDescriptionWithTheFirstGenerationsCutoffName)
{
    FirstGenerationDelay delay;
    char text[64];
    for (int32_t i = 0; i < MorlentDelay::kParameterCount; ++i) {
        delay.parameters.GetParameterLongName(i, text, sizeof text);
        EXPECT_STREQ(text, MorlentDelay::FirstGenerationLongName(i));
        delay.parameters.GetParameterShortName(i, text, MorlentDelay::kShortNameSize);
        EXPECT_STREQ(text, MorlentDelay::kParameters[i].shortName);
        delay.parameters.GetParameterLabel(i, text, MorlentDelay::kLabelSize);
        EXPECT_STREQ(text, MorlentDelay::kParameters[i].label);
    }
    delay.parameters.GetParameterLongName(MorlentDelay::kCutoffFrequency, text, sizeof text);
    EXPECT_STREQ(text, "Cutoff Freq.");
}

TEST(DelayParametersTest, SyncedDelaysFollowTheTempoAndLongOnesAreKeptAsAsked)
{
    FirstGenerationDelay delay;
    DelayParameters& p = delay.parameters;
    p.SetParameterValue(MorlentDelay::kSync, 1.0f);
    EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), 11025.0f) << "1/8 at 120 BPM and 44.1 kHz";
    p.SetTempo(60.0f);
    EXPECT_EQ(Target(p, MorlentDelay::kRightDelay), 22050.0f);
    p.SetParameterValue(MorlentDelay::kLeftSync, 1.0f);
    p.SetTempo(40.0f);
    p.SetSampleRate(96000.0f);
    EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), 288000.0f) << "longer than the line: it wraps in the read";
    EXPECT_EQ(DelayParameters::DelaySamples(true, 0.0f, 2, 120.0f, 44100.0f), 11025.0L);

    // Without sync the tempo changes nothing; the seconds follow the rate.
    p.SetParameterValue(MorlentDelay::kSync, 0.0f);
    EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), 96000.0f);
    p.SetTempo(90.0f);
    EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), 96000.0f);
    p.SetParameterValue(MorlentDelay::kRightDelay, 0.1f);
    EXPECT_EQ(Target(p, MorlentDelay::kRightDelay), static_cast<float>(96000.0L * (0.1f * 0.1f)));
    EXPECT_EQ(p.GetParameterValue(MorlentDelay::kRightDelay), 0.1f);
}

TEST(DelayParametersTest, AHostileTempoOrRateNeverGivesAnUnusableDelay)
{
    FirstGenerationDelay delay;
    DelayParameters& p = delay.parameters;
    p.SetParameterValue(MorlentDelay::kSync, 1.0f);
    p.SetTempo(100.0f);
    const float usable = Target(p, MorlentDelay::kLeftDelay);
    const float inf = std::numeric_limits<float>::infinity();
    for (const float tempo : {0.0f, -120.0f, inf, -inf, std::nanf("")}) {
        p.SetTempo(tempo);
        EXPECT_EQ(p.GetTempo(), 100.0f);
        EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), usable);
    }
    for (const float rate : {0.0f, 999.0f, 768001.0f, 1e12f, -48000.0f, inf, std::nanf("")}) {
        p.SetSampleRate(rate);
        EXPECT_EQ(p.GetSampleRate(), 44100.0f);
        EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), usable);
    }
    // A tempo that is usable but absurdly slow asks for more than the read can count.
    p.SetParameterValue(MorlentDelay::kLeftSync, 1.0f);
    for (const float tempo : {1e-30f, std::numeric_limits<float>::denorm_min()}) {
        p.SetTempo(tempo);
        EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), DelayParameters::kLongestDelaySamples);
    }
    p.SetSampleRate(768000.0f);
    p.SetTempo(0.001f); // 2 beats: 92 160 000 000 samples
    EXPECT_EQ(Target(p, MorlentDelay::kLeftDelay), DelayParameters::kLongestDelaySamples);

    // And the engine renders it: finite output, no hang.
    std::vector<float> in(512, 0.5f), out(512, 0.0f);
    for (int block = 0; block < 4; ++block) {
        delay.Process(in.data(), in.data() + 256, out.data(), out.data() + 256, 256);
        for (int32_t n = 0; n < 512; ++n)
            ASSERT_TRUE(std::isfinite(out[static_cast<size_t>(n)]));
    }
}

TEST(DelayParametersTest, TheRateReachesTheSmoothersAfterTheDelays)
{
    FirstGenerationDelay delay;
    delay.parameters.SetSampleRate(48000.0f);
    ParameterSmoother reference;
    reference.SetSampleRate(48000.0f);
    for (int32_t index : {MorlentDelay::kLeftDelay, MorlentDelay::kRightDelay, MorlentDelay::kWetDryMix})
        EXPECT_EQ(delay.parameters.GetSmoother(index)->GetCoefficient(), reference.GetCoefficient());
    EXPECT_EQ(Target(delay.parameters, MorlentDelay::kLeftDelay), 48000.0f);
    EXPECT_EQ(Target(delay.parameters, MorlentDelay::kRightDelay), 12000.0f);
    // The filters keep the coefficients of 44.1 kHz.
    EXPECT_EQ(delay.processor.GetLeftLowPass().sampleRate, 44100.0f);
}

} // namespace
