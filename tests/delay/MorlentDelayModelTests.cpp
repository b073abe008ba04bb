#include "delay/MorlentDelayModel.h"

#include "tests/support/Noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using Dsp::FilterKind;
using Model = MorlentDelayModel;

std::string Display(const Model& model, int32_t index)
{
    char text[8];
    model.GetParameterDisplay(index, text);
    return text;
}

using TestSupport::Noise;

// Stereo buffers for one host block.
struct Block {
    std::vector<float> inL, inR, outL, outR;
    explicit Block(size_t count, unsigned seed = 1)
        : inL(Noise(count, seed)), inR(Noise(count, seed + 100)), outL(count), outR(count)
    {
    }
    void Render(Model& model)
    {
        float* inputs[2] = {inL.data(), inR.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        model.ProcessBlock(inputs, outputs, static_cast<int32_t>(inL.size()));
    }
};

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Audio thread view of the engine: changes from hooks arrive at the next Process call.
const DelayEngine& Engine(Model& model)
{
    float* none[2] = {nullptr, nullptr};
    model.Process(none, none, 0, 0);
    return model.GetEngine();
}

TEST(MorlentDelayModel, DefaultProgramDisplaysAndEngineSettings)
{
    Model model;
    const char* expected[] = {"On", "1.00", "0.25", "Off", "1/8", "1/8", "0.00", "Off", "2515.00", "Low", "Off", "0"};
    for (int32_t index = 0; index < Model::kParameterCount; ++index)
        EXPECT_EQ(Display(model, index), expected[index]) << index;
    const DelayEngine& engine = Engine(model);
    EXPECT_EQ(engine.GetLeftDelaySeconds(), 1.0f);
    EXPECT_EQ(engine.GetRightDelaySeconds(), 0.25f);
    EXPECT_FALSE(engine.GetLeftSmoother().IsGliding()) << "a new model starts at its delays";
    EXPECT_EQ(engine.GetSettings().feedback, 0.0f);
    EXPECT_EQ(engine.GetSettings().filter, FilterKind::None);
    EXPECT_FALSE(engine.GetSettings().crossFeedback);
    EXPECT_EQ(engine.GetSettings().mix, 0.5f);
    EXPECT_EQ(engine.GetCutoff(), 2515.0f);
}

TEST(MorlentDelayModel, DisplayStringsAtTheEdgesOfEachMapping)
{
    Model model;
    const std::pair<float, const char*> mixes[] = {
        {0.0f, "-100"}, {0.5f, "0"}, {1.0f, "+100"}, {0.999f, "+99"}, {0.004f, "-100"}, {0.75f, "+50"}};
    for (const auto& [value, text] : mixes) {
        model.SetParameterValue(MorlentDelay::kWetDryMix, value);
        EXPECT_EQ(Display(model, MorlentDelay::kWetDryMix), text) << value;
    }
    model.SetParameterValue(MorlentDelay::kCutoffFrequency, 1.0f);
    EXPECT_EQ(Display(model, MorlentDelay::kCutoffFrequency), "10000.0");
    model.SetParameterValue(MorlentDelay::kCutoffFrequency, 0.0f);
    EXPECT_EQ(Display(model, MorlentDelay::kCutoffFrequency), "20.00");
    model.SetParameterValue(MorlentDelay::kLeftSync, 1.0f);
    EXPECT_EQ(Display(model, MorlentDelay::kLeftSync), "1/2");
    model.SetParameterValue(MorlentDelay::kRightSync, 0.19f);
    EXPECT_EQ(Display(model, MorlentDelay::kRightSync), "1/32");
    model.SetParameterValue(MorlentDelay::kRightSync, 0.2f);
    EXPECT_EQ(Display(model, MorlentDelay::kRightSync), "1/16");
    model.SetParameterValue(MorlentDelay::kFilterType, 0.5f);
    EXPECT_EQ(Display(model, MorlentDelay::kFilterType), "High");
    model.SetParameterValue(MorlentDelay::kFilterType, 0.49f);
    EXPECT_EQ(Display(model, MorlentDelay::kFilterType), "Low");
    model.SetParameterValue(MorlentDelay::kEnabled, 0.49f);
    EXPECT_EQ(Display(model, MorlentDelay::kEnabled), "Bypass");
    model.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.5f);
    EXPECT_EQ(Display(model, MorlentDelay::kFeedbackLevel), "0.25");
    model.SetParameterValue(MorlentDelay::kLeftDelay, 0.3f);
    EXPECT_EQ(Display(model, MorlentDelay::kLeftDelay), "0.09");
}

TEST(MorlentDelayModel, BypassIsAnExactCopyAndEmptiesTheLines)
{
    Model model;
    model.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    model.SetParameterValue(MorlentDelay::kLeftDelay, 0.1f);
    Block block(512);
    block.Render(model);
    model.SetParameterValue(MorlentDelay::kEnabled, 0.0f);
    Block bypassed(512, 7);
    bypassed.inL[3] = std::numeric_limits<float>::quiet_NaN();
    bypassed.Render(model);
    EXPECT_EQ(std::memcmp(bypassed.inL.data(), bypassed.outL.data(), 512 * sizeof(float)), 0);
    EXPECT_TRUE(SameBits(bypassed.inR, bypassed.outR));
    // In place as well.
    std::vector<float> left = bypassed.inR, right = bypassed.inL;
    float* channels[2] = {left.data(), right.data()};
    model.ProcessBlock(channels, channels, 512);
    EXPECT_TRUE(SameBits(left, bypassed.inR));

    model.SetParameterValue(MorlentDelay::kEnabled, 1.0f);
    Block silence(2000);
    std::fill(silence.inL.begin(), silence.inL.end(), 0.0f);
    std::fill(silence.inR.begin(), silence.inR.end(), 0.0f);
    silence.Render(model);
    for (size_t n = 0; n < 2000; ++n)
        ASSERT_LT(std::fabs(silence.outL[n]), 1e-20f) << "no old echoes after switching back on";
}

TEST(MorlentDelayModel, TransportStartAndStopEmptyTheLines)
{
    for (bool playing : {false, true}) {
        Model model;
        model.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
        model.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.9f);
        Block block(4096);
        block.Render(model);
        model.OnTransportPlayingChanged(playing);
        Block silence(50000);
        std::fill(silence.inL.begin(), silence.inL.end(), 0.0f);
        std::fill(silence.inR.begin(), silence.inR.end(), 0.0f);
        silence.Render(model);
        float loudest = 0.0f;
        for (float sample : silence.outL)
            loudest = std::max(loudest, std::fabs(sample));
        EXPECT_LT(loudest, 1e-20f) << playing;
    }
}

TEST(MorlentDelayModel, TempoSyncUsesTheNoteTableAndTheOneSecondCap)
{
    Model model;
    model.SetParameterValue(MorlentDelay::kSync, 1.0f);
    EXPECT_EQ(Engine(model).GetLeftDelaySeconds(), 0.25f) << "1/8 at 120 BPM";
    EXPECT_EQ(Engine(model).GetRightDelaySeconds(), 0.25f);

    model.SetParameterValue(MorlentDelay::kLeftSync, 1.0f);
    model.StoreTempo(100.0);
    model.OnTempoChanged(120.0, 100.0);
    EXPECT_EQ(Engine(model).GetLeftDelaySeconds(), 1.0f) << "1/2 at 100 BPM asks 1.2 s";
    EXPECT_EQ(Engine(model).GetRightDelaySeconds(), 0.3f);

    // Manual times wait while sync is on and come back when it goes off.
    model.SetParameterValue(MorlentDelay::kLeftDelay, 0.5f);
    EXPECT_EQ(Display(model, MorlentDelay::kLeftDelay), "0.25");
    EXPECT_EQ(Engine(model).GetLeftDelaySeconds(), 1.0f);
    model.SetParameterValue(MorlentDelay::kSync, 0.0f);
    EXPECT_EQ(Engine(model).GetLeftDelaySeconds(), 0.25f);
    model.StoreTempo(60.0);
    model.OnTempoChanged(100.0, 60.0);
    EXPECT_EQ(Engine(model).GetLeftDelaySeconds(), 0.25f) << "tempo ignored while sync is off";
}

TEST(MorlentDelayModel, AnyTempoKeepsTheDelaysInsideTheLines)
{
    const double tempos[] = {0.0, -0.0, -120.0, 1e300, -1e300, std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                             1e-300};
    for (int32_t note = 0; note < Model::kNoteCount; ++note)
        for (double tempo : tempos) {
            const float seconds = Model::TempoDelaySeconds(tempo, note);
            EXPECT_GE(seconds, 0.0f) << tempo;
            EXPECT_LE(seconds, 1.0f) << tempo;
        }
    Model model;
    model.SetParameterValue(MorlentDelay::kSync, 1.0f);
    model.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    for (double tempo : tempos) {
        model.StoreTempo(tempo);
        model.OnTempoChanged(120.0, tempo);
        Block block(3000);
        block.Render(model);
        EXPECT_LE(model.GetEngine().GetLeftSmoother().GetCurrent(), model.GetEngine().GetSampleRate());
        for (float sample : block.outL)
            ASSERT_TRUE(std::isfinite(sample)) << tempo;
    }
}

TEST(MorlentDelayModel, UnusableSampleRatesAreIgnored)
{
    Model model;
    model.SetSampleRate(48000.0f);
    Block block(256);
    block.Render(model);
    for (float bad : {0.0f, -48000.0f, 500.0f, 1e9f, std::numeric_limits<float>::infinity()}) {
        model.SetSampleRate(bad);
        EXPECT_EQ(Engine(model).GetSampleRate(), 48000.0f) << bad;
        EXPECT_EQ(model.GetEngine().GetLeftLine().GetLength(), 48001);
        EXPECT_NE(model.GetEngine().GetLeftLine().GetWriteIndex(), 0) << "lines kept";
    }
    model.SetSampleRate(22050.0f);
    model.SetSampleRate(96000.0f); // replaces the first before the audio thread took it
    EXPECT_EQ(Engine(model).GetSampleRate(), 96000.0f);
    EXPECT_EQ(model.GetEngine().GetLeftLine().GetLength(), 96001);
}

TEST(MorlentDelayModel, ProgramChangeReappliesEveryParameter)
{
    Model model;
    model.SetSelectedProgramIndex(1);
    model.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.5f);
    model.SetParameterValue(MorlentDelay::kFilter, 1.0f);
    model.SetParameterValue(MorlentDelay::kFilterType, 1.0f);
    model.SetParameterValue(MorlentDelay::kPan, 1.0f);
    model.SetParameterValue(MorlentDelay::kRightDelay, 0.1f);
    model.SetSelectedProgramIndex(0);
    EXPECT_EQ(Engine(model).GetSettings().feedback, 0.0f);
    EXPECT_EQ(model.GetEngine().GetSettings().filter, FilterKind::None);
    EXPECT_EQ(Display(model, MorlentDelay::kFilterType), "Low");
    model.SetSelectedProgramIndex(1);
    const DelayEngine& engine = Engine(model);
    EXPECT_EQ(engine.GetSettings().feedback, 0.25f);
    EXPECT_EQ(engine.GetSettings().filter, FilterKind::HighPass) << "switched on, high-pass";
    EXPECT_TRUE(engine.GetSettings().crossFeedback);
    EXPECT_EQ(engine.GetRightDelaySeconds(), 0.1f * 0.1f);
    EXPECT_TRUE(engine.GetRightSmoother().IsGliding()) << "delay changes glide from the present delay";
    EXPECT_EQ(Display(model, MorlentDelay::kRightDelay), "0.01");
}

// The model hands changes to the audio thread; the listener must hear exactly what the
// engine gives when driven directly in the same order.
TEST(MorlentDelayModel, SoundsExactlyLikeTheEngineDrivenDirectly)
{
    Model model;
    DelayEngine engine;
    DelayEngine::Settings settings = engine.GetSettings();
    engine.SetLeftDelayTime(1.0f);
    engine.SetRightDelayTime(0.25f);
    settings.feedback = 0.0f;
    settings.crossFeedback = false;
    engine.SetSettings(settings);
    engine.SetCutoff(2515.0f);
    engine.Prepare(44100.0f);

    std::vector<float> outL, outR, refL, refR;
    unsigned seed = 10;
    auto render = [&](size_t count) {
        Block block(count, ++seed);
        block.Render(model);
        std::vector<float> l(count), r(count);
        engine.Process(block.inL.data(), block.inR.data(), l.data(), r.data(), static_cast<int32_t>(count));
        outL.insert(outL.end(), block.outL.begin(), block.outL.end());
        outR.insert(outR.end(), block.outR.begin(), block.outR.end());
        refL.insert(refL.end(), l.begin(), l.end());
        refR.insert(refR.end(), r.begin(), r.end());
    };
    render(300);
    model.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.9f);
    settings.feedback = 0.9f * 0.9f;
    model.SetParameterValue(MorlentDelay::kLeftDelay, 0.2f);
    engine.SetLeftDelayTime(0.2f * 0.2f);
    model.SetParameterValue(MorlentDelay::kFilter, 0.7f);
    settings.filter = FilterKind::LowPass;
    model.SetParameterValue(MorlentDelay::kPan, 1.0f);
    settings.crossFeedback = true;
    engine.SetSettings(settings);
    render(4000);
    // A delay asked for before a rate change jumps with it; a cutoff asked for after it is
    // not held down by the clamp.
    model.SetParameterValue(MorlentDelay::kRightDelay, 0.3f);
    engine.SetRightDelayTime(0.3f * 0.3f);
    model.SetParameterValue(MorlentDelay::kCutoffFrequency, 1.0f);
    engine.SetCutoff(10000.0f);
    model.SetSampleRate(16000.0f);
    engine.Prepare(16000.0f);
    model.SetParameterValue(MorlentDelay::kCutoffFrequency, 0.9f);
    engine.SetCutoff(0.9f * 0.9f * 9980.0f + 20.0f);
    model.SetParameterValue(MorlentDelay::kLeftDelay, 0.6f);
    engine.SetLeftDelayTime(0.6f * 0.6f);
    render(3000);
    model.SetSampleRate(48000.0f);
    engine.Prepare(48000.0f);
    model.SetParameterValue(MorlentDelay::kFilterType, 1.0f);
    settings.filter = FilterKind::HighPass;
    model.SetParameterValue(MorlentDelay::kWetDryMix, 0.8f);
    settings.mix = 0.8f;
    engine.SetSettings(settings);
    render(5000);
    model.OnTransportPlayingChanged(false);
    engine.Clear();
    model.SetParameterValue(MorlentDelay::kSync, 1.0f);
    engine.SetLeftDelayTime(0.25f);
    engine.SetRightDelayTime(0.25f);
    render(2000);
    EXPECT_TRUE(SameBits(outL, refL));
    EXPECT_TRUE(SameBits(outR, refR));
}

} // namespace
