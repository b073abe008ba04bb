#include "tests/legacy/parameters/DelayFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using Dsp::FilterKind;
using VovezEdeduvo::Effects::DelayParameters;
using VovezEdeduvo::Effects::DelayProcessor;

constexpr int32_t kMaxFrames = DelayProcessor::kMaxFrames;
constexpr double kPi = 3.14159265358979323846;

// The first generation's signal path written the plain way, one sample at a time, from the
// processor's settings and the ramps it reads, to pin the optimised loops bit for bit.
struct ReferenceDelay {
    explicit ReferenceDelay(uint32_t length) : length(length), mask(length - 1), left(length), right(length) {}

    float Read(const std::vector<float>& line, float d) const
    {
        while (d < 0.0f)
            d += static_cast<float>(length);
        const uint32_t i = static_cast<uint32_t>(d);
        const float f = d - static_cast<float>(i);
        const float a = line[(writeIndex - i) & mask];
        const float b = line[(writeIndex - i - 1) & mask];
        return a + (b - a) * f;
    }

    void Process(const DelayProcessor& p, const float* delayL, const float* delayR, const float* mix,
                 const float* inL, const float* inR, float* outL, float* outR, int32_t count)
    {
        const DelayProcessor::Settings& settings = p.GetSettings();
        if (!settings.enabled) {
            std::memmove(outL, inL, sizeof(float) * static_cast<size_t>(count));
            std::memmove(outR, inR, sizeof(float) * static_cast<size_t>(count));
            return;
        }
        const bool lowPass = settings.filter == FilterKind::LowPass;
        const bool highPass = settings.filter == FilterKind::HighPass;
        for (int32_t n = 0; n < count; ++n) {
            const float dL = Read(left, delayL[n]), dR = Read(right, delayR[n]);
            float wL = dL, wR = dR;
            if (lowPass) {
                wL = stateL = stateL + (dL - stateL) * p.GetLeftLowPass().coefficient + 1e-25f;
                wR = stateR = stateR + (dR - stateR) * p.GetRightLowPass().coefficient + 1e-25f;
            } else if (highPass) {
                const auto& hl = p.GetLeftHighPass();
                const auto& hr = p.GetRightHighPass();
                wL = yL = hl.gain * (dL - xL1) + hl.coefficient * yL + 1e-25f;
                wR = yR = hr.gain * (dR - xR1) + hr.coefficient * yR + 1e-25f;
                xL1 = dL;
                xR1 = dR;
            }
            // Silence stands in for what is not a sound.
            const float xL = std::fabs(inL[n]) <= 1e30f ? inL[n] : 0.0f;
            const float xR = std::fabs(inR[n]) <= 1e30f ? inR[n] : 0.0f;
            writeIndex = (writeIndex + 1) & mask;
            left[writeIndex] = (settings.crossFeedback ? wR : wL) * settings.feedback + xL + 1e-25f;
            right[writeIndex] = (settings.crossFeedback ? wL : wR) * settings.feedback + xR + 1e-25f;
            const float m = mix[n];
            outL[n] = (1.0f - m) * xL + wL * m;
            outR[n] = (1.0f - m) * xR + wR * m;
        }
    }

    uint32_t length, mask, writeIndex = 0;
    std::vector<float> left, right;
    float stateL = 0.0f, stateR = 0.0f, xL1 = 0.0f, xR1 = 0.0f, yL = 0.0f, yR = 0.0f;
};

// Changes some of a processor's settings, as its parameters do between calls.
template <typename Change>
void ChangeSettings(DelayProcessor& processor, Change change)
{
    DelayProcessor::Settings settings = processor.GetSettings();
    change(settings);
    processor.SetSettings(settings);
}

// A processor with fixed ramps of its own.
struct FixedRamps {
    explicit FixedRamps(float leftDelay, float rightDelay, float mixValue)
        : left(kMaxFrames, leftDelay), right(kMaxFrames, rightDelay), mix(kMaxFrames, mixValue)
    {
        processor.SetRamps(left.data(), right.data(), mix.data());
    }
    std::vector<float> left, right, mix;
    DelayProcessor processor;
};

TEST(DelayProcessorTest, AFractionalDelayReadsTowardTheOlderNeighbour)
{
    for (const float delay : {2.25f, 20.25f}) { // frame by frame, and in stretches
        FixedRamps fixture(delay, delay + 1.0f, 1.0f);
        std::vector<float> in(64, 0.0f), outL(64), outR(64);
        in[5] = 1.0f;
        fixture.processor.Process(in.data(), in.data(), outL.data(), outR.data(), 64);
        const int32_t whole = static_cast<int32_t>(delay);
        for (int32_t n = 0; n < 64; ++n) {
            const float left = n == 5 + whole + 1 ? 0.75f : (n == 5 + whole + 2 ? 0.25f : 0.0f);
            const float right = n == 5 + whole + 2 ? 0.75f : (n == 5 + whole + 3 ? 0.25f : 0.0f);
            EXPECT_NEAR(outL[static_cast<size_t>(n)], left, 1e-6f) << "delay " << delay << " frame " << n;
            EXPECT_NEAR(outR[static_cast<size_t>(n)], right, 1e-6f) << "delay " << delay << " frame " << n;
        }
    }
}

// Frames from the start until the first output above half.
int32_t FirstEcho(FirstGenerationDelay& delay, int32_t frames)
{
    std::vector<float> in(static_cast<size_t>(frames), 0.0f), outL(in.size()), outR(in.size());
    in[0] = 1.0f;
    for (int32_t start = 0; start < frames; start += 4096) {
        const int32_t count = std::min(4096, frames - start);
        delay.Process(in.data() + start, in.data() + start, outL.data() + start, outR.data() + start, count);
    }
    for (int32_t n = 1; n < frames; ++n)
        if (outL[static_cast<size_t>(n)] > 0.5f)
            return n;
    return -1;
}

TEST(DelayProcessorTest, SyncedDelaysEchoOnTheBeatAndLongOnesWrapThroughTheMask)
{
    FirstGenerationDelay delay;
    delay.parameters.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    delay.parameters.SetParameterValue(MorlentDelay::kSync, 1.0f);
    delay.parameters.ResetSmoothers();
    EXPECT_EQ(FirstEcho(delay, 12000), 11025 + 1) << "1/8 at 120 BPM: a delay of 11025 samples";

    FirstGenerationDelay slow;
    slow.parameters.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    slow.parameters.SetParameterValue(MorlentDelay::kSync, 1.0f);
    slow.parameters.SetParameterValue(MorlentDelay::kLeftSync, 1.0f);
    slow.parameters.SetSampleRate(96000.0f);
    slow.parameters.SetTempo(40.0f);
    slow.parameters.ResetSmoothers();
    EXPECT_EQ(FirstEcho(slow, 30000), 25856 + 1) << "288000 samples read through the mask of 262144";
}

// The wet gain of a sine through the low-pass, measured once it has settled.
double LowPassGain(float hostRate, double frequency)
{
    FirstGenerationDelay delay;
    DelayParameters& p = delay.parameters;
    p.SetSampleRate(hostRate);
    p.SetParameterValue(MorlentDelay::kFilter, 1.0f);
    p.SetParameterValue(MorlentDelay::kCutoffFrequency, std::sqrt((1000.0f - 20.0f) / 9980.0f));
    p.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    p.SetParameterValue(MorlentDelay::kLeftDelay, 0.01f); // 1e-4 s
    p.ResetSmoothers();
    const int32_t frames = static_cast<int32_t>(hostRate); // a second
    std::vector<float> in(static_cast<size_t>(frames)), outL(in.size()), outR(in.size());
    for (int32_t n = 0; n < frames; ++n)
        in[static_cast<size_t>(n)] = static_cast<float>(0.5 * std::sin(2.0 * kPi * frequency * n / hostRate));
    for (int32_t start = 0; start < frames; start += 512)
        delay.Process(in.data() + start, in.data() + start, outL.data() + start, outR.data() + start,
                      std::min(512, frames - start));
    double peak = 0.0;
    for (int32_t n = frames / 2; n < frames; ++n)
        peak = std::max(peak, std::fabs(static_cast<double>(outL[static_cast<size_t>(n)])));
    return peak / 0.5;
}

TEST(DelayProcessorTest, TheCutoffActsAtTheCoefficientsOf44100HzAtAnyHostRate)
{
    EXPECT_EQ(FirstGenerationDelay().processor.GetLeftLowPass().sampleRate, 44100.0f);
    const double atReference = LowPassGain(44100.0f, 1000.0);
    EXPECT_NEAR(atReference, 0.7, 0.1) << "the one-pole's corner";
    // The same coefficient at 96 kHz acts on frequencies 96000 / 44100 times higher.
    EXPECT_NEAR(LowPassGain(96000.0f, 1000.0 * 96000.0 / 44100.0), atReference, 0.005);
    EXPECT_GT(LowPassGain(96000.0f, 1000.0), atReference + 0.1);
}

TEST(DelayProcessorTest, TheMixGlidesOverAboutATenthOfASecond)
{
    FirstGenerationDelay delay;
    delay.parameters.SetParameterValue(MorlentDelay::kWetDryMix, 0.0f);
    delay.parameters.ResetSmoothers();
    delay.parameters.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    // A constant input and empty lines: the output is the dry share, 1 - mix.
    const int32_t frames = 44100;
    std::vector<float> in(static_cast<size_t>(frames), 1.0f), outL(in.size()), outR(in.size());
    for (int32_t start = 0; start < frames; start += 441)
        delay.Process(in.data() + start, in.data() + start, outL.data() + start, outR.data() + start, 441);
    EXPECT_GT(outL[0], 0.999f) << "no jump";
    EXPECT_NEAR(outL[4410], std::exp(-1.0f), 0.01f) << "one time constant, 0.1 s";
    EXPECT_NEAR(outL[22049], 0.0f, 0.01f);
    for (int32_t n = 1; n < frames; ++n)
        ASSERT_LE(outL[static_cast<size_t>(n)], outL[static_cast<size_t>(n - 1)]);
}

TEST(DelayProcessorTest, BypassCopiesAndKeepsTheEchoesInTheLines)
{
    FixedRamps fixture(99.0f, 99.0f, 1.0f);
    DelayProcessor& processor = fixture.processor;
    std::vector<float> in(300, 0.0f), outL(300), outR(300);
    in[0] = 1.0f;
    processor.Process(in.data(), in.data(), outL.data(), outR.data(), 50);
    ChangeSettings(processor, [](DelayProcessor::Settings& settings) { settings.enabled = false; });
    std::vector<float> signal(30, 0.25f);
    processor.Process(signal.data(), signal.data(), outL.data(), outR.data(), 30);
    for (int32_t n = 0; n < 30; ++n)
        EXPECT_EQ(outL[static_cast<size_t>(n)], 0.25f);
    processor.Process(outL.data(), outR.data(), outL.data(), outR.data(), 30); // in place: nothing moves
    EXPECT_EQ(outL[29], 0.25f);
    ChangeSettings(processor, [](DelayProcessor::Settings& settings) { settings.enabled = true; });
    processor.Process(in.data() + 50, in.data() + 50, outL.data(), outR.data(), 100);
    // The impulse was written 50 frames before the pause; 100 frames of delay from its write.
    for (int32_t n = 0; n < 100; ++n)
        EXPECT_NEAR(outL[static_cast<size_t>(n)], n == 50 ? 1.0f : 0.0f, 1e-20f) << n;
}

TEST(DelayProcessorTest, ResetEmptiesTheLinesAndFiltersButKeepsThePosition)
{
    FixedRamps fixture(10.0f, 10.0f, 1.0f);
    DelayProcessor& processor = fixture.processor;
    ChangeSettings(processor, [](DelayProcessor::Settings& settings) {
        settings.filter = FilterKind::LowPass;
        settings.feedback = 0.5f;
    });
    std::vector<float> in(100, 0.3f), outL(100), outR(100);
    processor.Process(in.data(), in.data(), outL.data(), outR.data(), 100);
    EXPECT_NE(processor.GetLeftLowPass().state, 0.0f);
    processor.Reset();
    EXPECT_EQ(processor.GetLeftLine().writeIndex, 100u);
    EXPECT_EQ(processor.GetLeftLowPass().state, 0.0f);
    for (uint32_t i = 0; i < processor.GetRightLine().length; ++i)
        ASSERT_EQ(processor.GetRightLine().samples[i], 0.0f);
    EXPECT_EQ(DelayProcessor(1000).GetLeftLine().length, 1024u) << "lines are powers of two";
    EXPECT_EQ(DelayProcessor().GetLeftLine().length, 262144u);
}

TEST(DelayProcessorTest, ResetEmptiesWhatWasWrittenHoweverTheRingWasFilled)
{
    // A clear zeroes only what was written since the last one; both renderers report their
    // writes, across the ring's end and round it more than once.
    const std::vector<float> in(kMaxFrames, 0.3f);
    std::vector<float> outL(kMaxFrames), outR(kMaxFrames);
    auto allZero = [](const DelayProcessor& processor) {
        for (uint32_t i = 0; i < processor.GetLeftLine().length; ++i)
            if (processor.GetLeftLine().samples[i] != 0.0f || processor.GetRightLine().samples[i] != 0.0f)
                return false;
        return true;
    };
    for (const float delay : {2.0f, 300.0f}) { // frame by frame, and in stretches
        SCOPED_TRACE(delay);
        std::vector<float> ramp(kMaxFrames, delay), mix(kMaxFrames, 1.0f);
        DelayProcessor processor(1024);
        processor.SetRamps(ramp.data(), ramp.data(), mix.data());
        ChangeSettings(processor, [](DelayProcessor::Settings& settings) { settings.feedback = 0.5f; });
        for (int32_t frames : {700, 500, 77, 1, 3000, 1023}) {
            for (int32_t done = 0; done < frames; done += 97)
                processor.Process(in.data(), in.data(), outL.data(), outR.data(), std::min(97, frames - done));
            processor.Reset();
            ASSERT_TRUE(allZero(processor)) << frames << " frames before the reset";
        }
        processor.Reset(); // nothing written since: nothing to do, nothing left
        EXPECT_TRUE(allZero(processor));
    }
}

TEST(DelayProcessorTest, WhatIsNotASoundEntersNeitherLineNorFilter)
{
    const float inf = std::numeric_limits<float>::infinity();
    for (const FilterKind filter : {FilterKind::LowPass, FilterKind::HighPass, FilterKind::None}) {
        for (const float delay : {3.0f, 300.0f}) {
            FixedRamps fixture(delay, delay, 0.5f);
            DelayProcessor& processor = fixture.processor;
            ChangeSettings(processor, [&](DelayProcessor::Settings& settings) {
                settings.feedback = 0.9f;
                settings.crossFeedback = true;
                settings.filter = filter;
            });
            std::vector<float> in(2048, 0.1f), outL(2048), outR(2048);
            in[10] = std::nanf("");
            in[11] = inf;
            in[12] = -inf;
            in[13] = 3e30f;
            in[14] = -std::numeric_limits<float>::max();
            processor.Process(in.data(), in.data(), outL.data(), outR.data(), 2048);
            for (int32_t n = 0; n < 2048; ++n) {
                ASSERT_TRUE(std::isfinite(outL[static_cast<size_t>(n)])) << n;
                ASSERT_LT(std::fabs(outR[static_cast<size_t>(n)]), 10.0f) << n;
            }
            if (delay > 100.0f) {
                for (size_t n = 10; n < 15; ++n)
                    EXPECT_NEAR(outL[n], 0.0f, 1e-20f) << "silence in the dry share too, frame " << n;
            }
            for (uint32_t i = 0; i < 4096; ++i)
                ASSERT_TRUE(std::isfinite(processor.GetLeftLine().samples[i]));
        }
    }
}

// Random parameter moves every few blocks, each block as the model renders it, against the plain
// loop reading the same ramps: short and long delays, sync, filters, feedback and both pans.
TEST(DelayProcessorTest, TheOptimisedEngineRendersAsThePlainLoopBitForBit)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::uniform_real_distribution<float> signal(-0.5f, 0.5f);
        FirstGenerationDelay delay;
        ReferenceDelay reference(delay.processor.GetLeftLine().length);
        const float rates[] = {44100.0f, 48000.0f, 96000.0f, 8000.0f};
        delay.parameters.SetSampleRate(rates[seed % 4]);
        std::vector<float> inL(kMaxFrames), inR(kMaxFrames), outL(kMaxFrames), outR(kMaxFrames);
        std::vector<float> refL(kMaxFrames), refR(kMaxFrames);
        int64_t frames = 0;
        for (int block = 0; block < 400; ++block) {
            if (block % 3 == 0) {
                const int32_t index = static_cast<int32_t>(random() % MorlentDelay::kParameterCount);
                float value = unit(random);
                // Delays short enough to read what the last frames wrote, often.
                if ((index == MorlentDelay::kLeftDelay || index == MorlentDelay::kRightDelay) && random() % 2 == 0)
                    value *= 0.02f;
                if (index == MorlentDelay::kFeedbackLevel)
                    value *= 0.95f;
                if (index == MorlentDelay::kEnabled)
                    value = random() % 5 == 0 ? 0.0f : 1.0f;
                delay.parameters.SetParameterValue(index, value);
                if (random() % 4 == 0)
                    delay.parameters.SetTempo(40.0f + 200.0f * unit(random));
            }
            const int32_t count = block % 50 == 7 ? kMaxFrames : static_cast<int32_t>(1 + random() % 700);
            for (int32_t n = 0; n < count; ++n) {
                inL[static_cast<size_t>(n)] = signal(random);
                inR[static_cast<size_t>(n)] = signal(random);
            }
            if (block % 97 == 13)
                inL[0] = std::nanf("");
            delay.parameters.Advance(count);
            reference.Process(delay.processor, delay.parameters.GetSmoothedValues(MorlentDelay::kLeftDelay),
                              delay.parameters.GetSmoothedValues(MorlentDelay::kRightDelay),
                              delay.parameters.GetSmoothedValues(MorlentDelay::kWetDryMix), inL.data(), inR.data(),
                              refL.data(), refR.data(), count);
            const bool inPlace = block % 2 == 0;
            if (inPlace) {
                std::copy(inL.begin(), inL.begin() + count, outL.begin());
                std::copy(inR.begin(), inR.begin() + count, outR.begin());
            }
            delay.processor.Process(inPlace ? outL.data() : inL.data(), inPlace ? outR.data() : inR.data(),
                                    outL.data(), outR.data(), count);
            ASSERT_EQ(std::memcmp(outL.data(), refL.data(), sizeof(float) * static_cast<size_t>(count)), 0)
                << "seed " << seed << " block " << block << " frame " << frames;
            ASSERT_EQ(std::memcmp(outR.data(), refR.data(), sizeof(float) * static_cast<size_t>(count)), 0)
                << "seed " << seed << " block " << block << " frame " << frames;
            frames += count;
        }
        ASSERT_EQ(std::memcmp(delay.processor.GetLeftLine().samples.get(), reference.left.data(),
                              sizeof(float) * reference.length),
                  0);
    }
}

TEST(DelayProcessorTest, DelaysAroundAndBeyondTheLineLengthWrapAsThePlainLoopDoes)
{
    // Just short of the length (the older tap is the newest sample), and beyond it by short and
    // long remainders.
    const float delays[][2] = {{262143.5f, 262143.0f}, {262149.25f, 300000.75f}, {262244.5f, 262144.0f}};
    std::mt19937 random(11);
    std::uniform_real_distribution<float> signal(-0.5f, 0.5f);
    for (const auto& pair : delays) {
        FixedRamps fixture(pair[0], pair[1], 0.5f);
        ChangeSettings(fixture.processor, [&](DelayProcessor::Settings& settings) {
            settings.feedback = 0.7f;
            settings.crossFeedback = pair[0] > 262200.0f;
        });
        ReferenceDelay reference(fixture.processor.GetLeftLine().length);
        std::vector<float> inL(4096), inR(4096), outL(4096), outR(4096), refL(4096), refR(4096);
        for (int block = 0; block < 80; ++block) {
            for (size_t n = 0; n < inL.size(); ++n) {
                inL[n] = signal(random);
                inR[n] = signal(random);
            }
            fixture.processor.Process(inL.data(), inR.data(), outL.data(), outR.data(), 4096);
            reference.Process(fixture.processor, fixture.left.data(), fixture.right.data(), fixture.mix.data(),
                              inL.data(), inR.data(), refL.data(), refR.data(), 4096);
            ASSERT_EQ(outL, refL) << pair[0] << " block " << block;
            ASSERT_EQ(outR, refR) << pair[1] << " block " << block;
        }
    }
}

// Echoes that die away leave the filters' states down among the write offsets, where the loops
// take the offset's add another way than for a sound.
TEST(DelayProcessorTest, EchoesDyingIntoSilenceRenderAsThePlainLoopDoes)
{
    for (const FilterKind filter : {FilterKind::LowPass, FilterKind::HighPass}) {
        const int filterType = static_cast<int>(filter);
        for (const float delay : {3.0f, 300.25f}) { // frame by frame, and in stretches
            FixedRamps fixture(delay, delay + 1.0f, 0.5f);
            ChangeSettings(fixture.processor, [&](DelayProcessor::Settings& settings) {
                settings.feedback = 0.3f;
                settings.crossFeedback = true;
                settings.filter = filter;
            });
            fixture.processor.SetCutoff(2000.0f);
            ReferenceDelay reference(fixture.processor.GetLeftLine().length);
            std::vector<float> in(512), outL(512), outR(512), refL(512), refR(512);
            std::mt19937 random(5);
            std::uniform_real_distribution<float> signal(-0.5f, 0.5f);
            float quietest = 1.0f;
            for (int block = 0; block < 400; ++block) {
                for (float& x : in)
                    x = block < 2 ? signal(random) : 0.0f;
                fixture.processor.Process(in.data(), in.data(), outL.data(), outR.data(), 512);
                reference.Process(fixture.processor, fixture.left.data(), fixture.right.data(), fixture.mix.data(),
                                  in.data(), in.data(), refL.data(), refR.data(), 512);
                ASSERT_EQ(outL, refL) << filterType << " " << delay << " block " << block;
                ASSERT_EQ(outR, refR) << filterType << " " << delay << " block " << block;
                const float state = filter == FilterKind::LowPass
                                        ? fixture.processor.GetLeftLowPass().state
                                        : fixture.processor.GetLeftHighPass().previousOutput;
                quietest = std::min(quietest, std::fabs(state));
            }
            EXPECT_LT(quietest, 1e-20f) << "the echoes never died away";
        }
    }
}

TEST(DelayProcessorTest, ACallBeyondTheRampsGoesInPiecesThatEachReadTheRampsFromTheStart)
{
    constexpr int32_t kFrames = 40000;
    std::vector<float> in(kFrames), outWhole(2 * kFrames), outPieces(2 * kFrames);
    std::mt19937 random(3);
    std::uniform_real_distribution<float> signal(-0.5f, 0.5f);
    for (float& x : in)
        x = signal(random);
    FixedRamps whole(500.5f, 1.0f, 0.5f), pieces(500.5f, 1.0f, 0.5f);
    for (FixedRamps* f : {&whole, &pieces}) {
        for (int32_t n = 0; n < kMaxFrames; ++n)
            f->mix[static_cast<size_t>(n)] = static_cast<float>(n) / kMaxFrames; // a ramp that is not fixed
        ChangeSettings(f->processor, [](DelayProcessor::Settings& settings) { settings.feedback = 0.5f; });
    }
    whole.processor.Process(in.data(), in.data(), outWhole.data(), outWhole.data() + kFrames, kFrames);
    for (int32_t start = 0; start < kFrames; start += kMaxFrames) {
        const int32_t count = std::min(kMaxFrames, kFrames - start);
        pieces.processor.Process(in.data() + start, in.data() + start, outPieces.data() + start,
                                 outPieces.data() + kFrames + start, count);
    }
    EXPECT_EQ(outWhole, outPieces);
}

} // namespace
