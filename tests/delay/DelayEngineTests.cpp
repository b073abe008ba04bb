#include "delay/DelayEngine.h"
#include "delay/FeedbackLimiter.h"

#include "tests/support/Noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using Dsp::FilterKind;

// The signal path written the plain way, one sample at a time from the field values, to pin
// the optimised loops bit for bit.
struct ReferenceDelay {
    struct Smoother {
        float c, oneMinusC, state, target, aim, current;
        bool falling;
        int creeps = 0;
        void SetTarget(float samples)
        {
            target = samples;
            falling = !(samples > current);
            aim = falling ? samples - 0.001f : samples + 0.001f;
        }
        float Step()
        {
            if (target < current || target > current) {
                float y = aim * oneMinusC + c * state + 1e-25f;
                if (y == state) {
                    y = std::nextafter(state, falling ? -1e30f : 1e30f);
                    ++creeps;
                }
                state = current = y;
                if ((!falling && y >= target) || (falling && y <= target))
                    current = target;
            }
            return current;
        }
    };
    struct Filter {
        float g, k, x1 = 0.0f, y1 = 0.0f;
        float Step(float x, bool highPass)
        {
            const float y = highPass ? g * (x - x1) + k * y1 : g * (x + x1) + k * y1;
            y1 = y + 1e-25f;
            x1 = x + 1e-25f;
            return y;
        }
    };

    std::vector<float> line[2];
    int32_t writeIndex = 0;
    Smoother smoother[2];
    Filter lowPass[2], highPass[2];
    float offset = 1e-25f;

    // Copies the engine's state, so both start from the same point.
    explicit ReferenceDelay(const DelayEngine& engine)
    {
        const DelayLine* lines[2] = {&engine.GetLeftLine(), &engine.GetRightLine()};
        const DelayTimeSmoother* smoothers[2] = {&engine.GetLeftSmoother(), &engine.GetRightSmoother()};
        const FirstOrderFilter* lows[2] = {&engine.GetLeftLowPass(), &engine.GetRightLowPass()};
        const FirstOrderFilter* highs[2] = {&engine.GetLeftHighPass(), &engine.GetRightHighPass()};
        for (int c = 0; c < 2; ++c) {
            line[c].assign(lines[c]->GetSamples(), lines[c]->GetSamples() + lines[c]->GetLength());
            const float coefficient = smoothers[c]->GetCoefficient();
            smoother[c] = {coefficient, 1.0f - coefficient, smoothers[c]->GetState(), 0.0f, 0.0f,
                           smoothers[c]->GetCurrent(), false};
            smoother[c].SetTarget(smoothers[c]->GetTarget());
            lowPass[c] = {lows[c]->GetGain(), lows[c]->GetCoefficient()};
            highPass[c] = {highs[c]->GetGain(), highs[c]->GetCoefficient()};
        }
        writeIndex = lines[0]->GetWriteIndex();
        offset = engine.GetWriteOffset();
    }

    void Process(const DelayEngine& engine, const float* inL, const float* inR, float* outL, float* outR,
                 int32_t count)
    {
        const DelayEngine::Settings& settings = engine.GetSettings();
        const float* in[2] = {inL, inR};
        float* out[2] = {outL, outR};
        const int32_t length = static_cast<int32_t>(line[0].size());
        for (int32_t n = 0; n < count; ++n) {
            float wetSignal[2];
            float x[2];
            for (int c = 0; c < 2; ++c) {
                x[c] = in[c][n];
                const float delay = smoother[c].Step();
                const int32_t i = static_cast<int32_t>(delay);
                const float f = delay - static_cast<float>(i);
                int32_t p = writeIndex - i;
                if (p < 0)
                    p += length;
                const int32_t q = p + 1 == length ? 0 : p + 1;
                const float d = line[c][p] + (line[c][q] - line[c][p]) * f;
                wetSignal[c] = settings.filter == FilterKind::None      ? d
                               : settings.filter == FilterKind::LowPass ? lowPass[c].Step(d, false)
                                                                        : highPass[c].Step(d, true);
            }
            writeIndex = writeIndex + 1 == length ? 0 : writeIndex + 1;
            for (int c = 0; c < 2; ++c) {
                const float source = settings.crossFeedback ? wetSignal[1 - c] : wetSignal[c];
                line[c][writeIndex] = settings.feedback * DelayLoops::Limit(source) + x[c] + offset;
                out[c][n] = (1.0f - settings.mix) * x[c] + settings.mix * wetSignal[c];
            }
        }
        offset = -offset;
    }
};

using TestSupport::Noise;

// Changes some of an engine's settings, as its owner does between calls.
template <typename Change>
void ChangeSettings(DelayEngine& engine, Change change)
{
    DelayEngine::Settings settings = engine.GetSettings();
    change(settings);
    engine.SetSettings(settings);
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Runs the engine over an impulse on both channels; returns the left output.
std::vector<float> LeftImpulseResponse(DelayEngine& engine, int32_t count)
{
    std::vector<float> inLeft(count, 0.0f), inRight(count, 0.0f), outLeft(count), outRight(count);
    inLeft[0] = inRight[0] = 1.0f;
    engine.Process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), count);
    return outLeft;
}

// A wet-only, feedback-free engine at a rate where delays in samples are exact.
DelayEngine& WetOnly(DelayEngine& engine, float rate)
{
    engine.Prepare(rate);
    ChangeSettings(engine, [](DelayEngine::Settings& settings) {
        settings.mix = 1.0f;
        settings.feedback = 0.0f;
        settings.crossFeedback = false;
    });
    return engine;
}

TEST(DelayEngine, ConstructionStateAndTimeConstantsPerRate)
{
    DelayEngine engine;
    EXPECT_EQ(engine.GetLeftLine().GetLength(), 44101);
    EXPECT_EQ(engine.GetLeftSmoother().GetCurrent(), 22050.0f);
    EXPECT_EQ(engine.GetRightSmoother().GetCurrent(), 11025.0f);
    EXPECT_EQ(engine.GetLeftSmoother().GetState(), 22050.0f) << "seeded with the delay the listener hears";
    EXPECT_EQ(engine.GetLeftLowPass().GetCutoff(), 11025.0f);
    EXPECT_EQ(engine.GetLeftSmoother().GetTimeConstant(), 10000);

    const std::pair<float, int32_t> expected[] = {{44100.0f, 10000}, {48000.0f, 10884}, {88200.0f, 20000},
                                                  {96000.0f, 21768}};
    for (const auto& [rate, samples] : expected) {
        engine.Prepare(rate);
        EXPECT_EQ(engine.GetLeftSmoother().GetTimeConstant(), samples) << rate;
        EXPECT_EQ(engine.GetRightSmoother().GetTimeConstant(), samples) << rate;
        EXPECT_EQ(engine.GetLeftLine().GetLength(), static_cast<int32_t>(rate) + 1);
    }
}

TEST(DelayEngine, ImpulseResponsesPinTheFractionalRead)
{
    DelayEngine engine;
    WetOnly(engine, 1024.0f);
    engine.SetLeftDelayTime(0.0f);
    engine.Prepare(1024.0f); // jump there instead of gliding
    std::vector<float> out = LeftImpulseResponse(engine, 8);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 1.0f) << "a zero delay is one sample";
    EXPECT_NEAR(out[2], 0.0f, 1e-20f);

    // 2.25 samples: 0.75 x[n-3] + 0.25 x[n-2].
    engine.SetLeftDelayTime(2.25f / 1024.0f);
    engine.Prepare(1024.0f);
    out = LeftImpulseResponse(engine, 8);
    EXPECT_NEAR(out[1], 0.0f, 1e-20f);
    EXPECT_EQ(out[2], 0.25f);
    EXPECT_EQ(out[3], 0.75f);
    EXPECT_NEAR(out[4], 0.0f, 1e-20f);

    // The full second reads the oldest sample in the line.
    engine.SetLeftDelayTime(1.0f);
    engine.Prepare(1024.0f);
    out = LeftImpulseResponse(engine, 1100);
    for (int n = 0; n < 1100; ++n)
        EXPECT_NEAR(out[n], n == 1025 ? 1.0f : 0.0f, 1e-20f) << n;
}

TEST(DelayEngine, StepResponseThroughFeedbackAndMix)
{
    DelayEngine engine;
    WetOnly(engine, 1000.0f);
    engine.SetLeftDelayTime(0.002f); // 2 samples: a 3-sample loop
    engine.Prepare(1000.0f);
    ChangeSettings(engine, [](DelayEngine::Settings& settings) {
        settings.feedback = 0.5f;
        settings.mix = 0.25f;
    });
    std::vector<float> out = LeftImpulseResponse(engine, 12);
    // The output takes the echo before the limiter; the line gets it limited (1.0 -> 0.7984).
    const float limited = DelayLoops::Limit(1.0f);
    EXPECT_EQ(out[0], 0.75f) << "dry share";
    EXPECT_NEAR(out[3], 0.25f, 1e-7f);
    EXPECT_NEAR(out[6], 0.25f * 0.5f * limited, 1e-7f);
    EXPECT_NEAR(out[9], 0.25f * 0.25f * limited, 1e-7f);
    EXPECT_NEAR(out[4], 0.0f, 1e-20f);

    // Crossed feedback: a left-only impulse echoes on the right, then on the left again.
    DelayEngine crossed;
    WetOnly(crossed, 1000.0f);
    crossed.SetLeftDelayTime(0.002f);
    crossed.SetRightDelayTime(0.004f);
    crossed.Prepare(1000.0f);
    ChangeSettings(crossed, [](DelayEngine::Settings& settings) {
        settings.feedback = 0.5f;
        settings.crossFeedback = true;
    });
    std::vector<float> inLeft(16, 0.0f), inRight(16, 0.0f), outLeft(16), outRight(16);
    inLeft[0] = 1.0f;
    crossed.Process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), 16);
    EXPECT_NEAR(outLeft[3], 1.0f, 1e-7f);
    EXPECT_NEAR(outRight[3 + 5], 0.5f * limited, 1e-7f);
    EXPECT_NEAR(outLeft[3 + 5 + 3], 0.25f * limited, 1e-7f);
    EXPECT_NEAR(outLeft[6], 0.0f, 1e-20f) << "no straight feedback";
}

TEST(DelayEngine, MatchesThePlainReferenceLoopBitForBit)
{
    struct Case {
        FilterKind filter;
        bool cross;
        float rate;
        float rightDelay;
    };
    // Delays from a few samples (frame by frame) to hundreds (in stretches), lines of odd lengths.
    const Case cases[] = {
        {FilterKind::None, false, 44100.0f, 0.01f},    {FilterKind::LowPass, true, 48000.0f, 0.0001f},
        {FilterKind::HighPass, true, 1000.0f, 0.011f}, {FilterKind::HighPass, false, 96000.0f, 0.5f},
        {FilterKind::None, true, 1001.0f, 0.005f},     {FilterKind::LowPass, false, 1003.0f, 0.037f}};
    for (const Case& c : cases) {
        DelayEngine engine;
        engine.Prepare(c.rate);
        ChangeSettings(engine, [&](DelayEngine::Settings& settings) {
            settings.filter = c.filter;
            settings.crossFeedback = c.cross;
            settings.feedback = 0.97f;
            settings.mix = 0.7f;
        });
        engine.SetCutoff(1500.0f);
        engine.SetLeftDelayTime(0.3f);
        engine.SetRightDelayTime(c.rightDelay);
        engine.Prepare(c.rate); // start idle
        ReferenceDelay reference(engine);

        const std::vector<float> inL = Noise(20000, 1, 1.5f), inR = Noise(20000, 2, 1.5f);
        std::vector<float> outL(20000), outR(20000), refL(20000), refR(20000);
        std::mt19937 random(3);
        int32_t position = 0;
        int round = 0;
        while (position < 20000) {
            const int32_t count = std::min<int32_t>(static_cast<int32_t>(random() % 700), 20000 - position);
            engine.Process(inL.data() + position, inR.data() + position, outL.data() + position,
                           outR.data() + position, count);
            reference.Process(engine, inL.data() + position, inR.data() + position, refL.data() + position,
                              refR.data() + position, count);
            position += count;
            // New targets mid-run: glides in both directions, one channel idle at times.
            if (++round % 9 == 0) {
                const float left = static_cast<float>(random() % 1000) / 1000.0f;
                engine.SetLeftDelayTime(left);
                reference.smoother[0].SetTarget(engine.GetLeftDelaySamples());
            }
        }
        EXPECT_TRUE(SameBits(outL, refL)) << c.rate;
        EXPECT_TRUE(SameBits(outR, refR)) << c.rate;
    }
}

// Drives an engine and the plain loop side by side through blocks of random sizes (none to
// several stretches long), changing delay times between blocks as a script says.
struct GlideRun {
    DelayEngine& engine;
    ReferenceDelay reference;
    std::mt19937 random{11};

    explicit GlideRun(DelayEngine& engine) : engine(engine), reference(engine) {}

    void SetDelay(int channel, float seconds)
    {
        if (channel == 0)
            engine.SetLeftDelayTime(seconds);
        else
            engine.SetRightDelayTime(seconds);
        reference.smoother[channel].SetTarget(channel == 0 ? engine.GetLeftDelaySamples()
                                                           : engine.GetRightDelaySamples());
    }

    // Renders frames of noise; false at the first block where outputs or smoothers differ.
    bool Render(int32_t frames)
    {
        const std::vector<float> inL = Noise(static_cast<size_t>(frames), random(), 1.5f);
        const std::vector<float> inR = Noise(static_cast<size_t>(frames), random(), 1.5f);
        std::vector<float> outL(frames), outR(frames), refL(frames), refR(frames);
        for (int32_t position = 0; position < frames;) {
            const int32_t count = std::min<int32_t>(static_cast<int32_t>(random() % 300), frames - position);
            engine.Process(inL.data() + position, inR.data() + position, outL.data() + position,
                           outR.data() + position, count);
            reference.Process(engine, inL.data() + position, inR.data() + position, refL.data() + position,
                              refR.data() + position, count);
            position += count;
            const DelayTimeSmoother* smoothers[2] = {&engine.GetLeftSmoother(), &engine.GetRightSmoother()};
            for (int c = 0; c < 2; ++c) {
                if (smoothers[c]->GetCurrent() != reference.smoother[c].current ||
                    smoothers[c]->GetState() != reference.smoother[c].state) {
                    ADD_FAILURE() << "smoother " << c << " differs after frame " << position;
                    return false;
                }
            }
        }
        return SameBits(outL, refL) && SameBits(outR, refR);
    }
};

TEST(DelayEngine, GlidesMatchThePlainReferenceLoopBitForBit)
{
    // At 1000 Hz a glide takes about three seconds of frames, the lines are 1001 samples long
    // and wrap every second, and a few samples of delay are a few frames.
    struct Step {
        int channel; // 0 left, 1 right, 2 both
        float seconds;
        int32_t frames; // rendered after the change
    };
    struct Script {
        const char* name;
        float left, right; // where both delays start, idle
        std::vector<Step> steps;
    };
    const Script scripts[] = {
        {"both glide, apart and together, landing mid-block", 0.3f, 0.1f,
         {{0, 0.9f, 500}, {1, 0.02f, 4000}, {2, 0.5f, 1500}, {0, 0.05f, 5000}}},
        {"one channel glides while the other is idle", 0.25f, 0.4f,
         {{0, 0.8f, 5000}, {1, 0.1f, 5000}, {0, 0.25f, 2000}, {0, 0.6f, 4000}}},
        {"short delays, under a stretch and under one sample", 0.004f, 0.3f,
         {{0, 0.0f, 3000}, {0, 0.007f, 3000}, {2, 0.0015f, 3000}, {1, 0.0f, 2000}, {2, 0.2f, 200},
          {2, 0.003f, 4000}}},
        {"retargeted in every block, across the delay range", 0.5f, 0.5f,
         {{0, 0.9f, 40}, {1, 0.001f, 70}, {0, 0.0f, 3}, {2, 0.3f, 250}, {1, 1.0f, 1}, {0, 0.01f, 600}}},
    };
    const FilterKind filters[] = {FilterKind::None, FilterKind::LowPass, FilterKind::HighPass};
    for (const Script& script : scripts) {
        for (int setting = 0; setting < 3; ++setting) {
            for (bool cross : {false, true}) {
                DelayEngine engine;
                engine.Prepare(1000.0f);
                ChangeSettings(engine, [&](DelayEngine::Settings& settings) {
                    settings.filter = filters[setting];
                    settings.crossFeedback = cross;
                    settings.feedback = 0.9f;
                    settings.mix = 0.6f;
                });
                engine.SetCutoff(150.0f);
                engine.SetLeftDelayTime(script.left);
                engine.SetRightDelayTime(script.right);
                engine.Prepare(1000.0f); // start idle
                GlideRun run(engine);
                bool same = run.Render(300);
                for (const Step& step : script.steps) {
                    for (int channel = 0; channel < 2; ++channel)
                        if (step.channel == channel || step.channel == 2)
                            run.SetDelay(channel, step.seconds);
                    same = same && run.Render(step.frames);
                }
                EXPECT_TRUE(same) << script.name << ", filter setting " << setting << ", cross " << cross;
            }
        }
    }
}

TEST(DelayEngine, LongGlideStallsNearTheTargetThenCreepsOntoItBitForBit)
{
    // From half the line to all of it at 44.1 kHz the curve's step rounds to nothing about 25
    // samples short of the target; from there the delay creeps one float step per frame.
    DelayEngine engine;
    ChangeSettings(engine, [](DelayEngine::Settings& settings) { settings.filter = FilterKind::LowPass; });
    engine.SetLeftDelayTime(0.5f);
    engine.SetRightDelayTime(0.5f);
    engine.Prepare(44100.0f);
    GlideRun run(engine);
    run.SetDelay(0, 1.0f);
    bool same = true;
    for (int32_t frames = 0; engine.GetLeftSmoother().IsGliding() && frames < 400000 && same; frames += 20000)
        same = run.Render(20000);
    EXPECT_TRUE(same);
    EXPECT_EQ(engine.GetLeftSmoother().GetCurrent(), 44100.0f);
    EXPECT_GT(run.reference.smoother[0].creeps, 1000) << "the creep is part of the glide";
}

TEST(DelayEngine, InPlaceEqualsSeparateBuffers)
{
    DelayEngine separate, inPlace;
    for (DelayEngine* engine : {&separate, &inPlace}) {
        ChangeSettings(*engine, [](DelayEngine::Settings& settings) { settings.filter = FilterKind::HighPass; });
        engine->SetLeftDelayTime(0.001f);
        engine->SetRightDelayTime(0.3f);
    }
    const std::vector<float> inL = Noise(5000, 4), inR = Noise(5000, 5);
    std::vector<float> outL(5000), outR(5000);
    std::vector<float> bufferL = inL, bufferR = inR;
    separate.Process(inL.data(), inR.data(), outL.data(), outR.data(), 5000);
    inPlace.Process(bufferL.data(), bufferR.data(), bufferL.data(), bufferR.data(), 5000);
    EXPECT_TRUE(SameBits(outL, bufferL));
    EXPECT_TRUE(SameBits(outR, bufferR));
}

TEST(DelayEngine, EmptyCallOnlyFlipsTheWriteOffset)
{
    DelayEngine engine;
    engine.SetLeftDelayTime(0.1f);
    const float current = engine.GetLeftSmoother().GetCurrent();
    engine.Process(nullptr, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(engine.GetWriteOffset(), -DelayEngine::kWriteOffset);
    EXPECT_EQ(engine.GetLeftSmoother().GetCurrent(), current);
    EXPECT_EQ(engine.GetLeftLine().GetWriteIndex(), 0);
    engine.Process(nullptr, nullptr, nullptr, nullptr, -3);
    EXPECT_EQ(engine.GetWriteOffset(), DelayEngine::kWriteOffset);
}

TEST(DelayEngine, SampleRateChangeEmptiesJumpsAndClampsTheCutoff)
{
    DelayEngine engine;
    engine.SetCutoff(10000.0f);
    engine.SetLeftDelayTime(0.2f);
    const std::vector<float> in = Noise(1000, 6);
    std::vector<float> out(1000), out2(1000);
    engine.Process(in.data(), in.data(), out.data(), out2.data(), 1000);
    engine.Prepare(16000.0f);
    EXPECT_EQ(engine.GetLeftSmoother().GetCurrent(), 0.2f * 16000.0f) << "jumps, no glide";
    EXPECT_EQ(engine.GetRightSmoother().GetCurrent(), 0.25f * 16000.0f);
    EXPECT_EQ(engine.GetLeftLine().GetWriteIndex(), 0);
    for (int32_t i = 0; i < engine.GetLeftLine().GetLength(); ++i)
        ASSERT_EQ(engine.GetLeftLine().GetSamples()[i], 0.0f);
    const float clamped = 16000.0f * FirstOrderFilter::kHighestCutoffRatio;
    EXPECT_EQ(engine.GetLeftLowPass().GetCutoff(), clamped);
    EXPECT_EQ(engine.GetRightHighPass().GetCutoff(), clamped);
    engine.Prepare(48000.0f);
    EXPECT_EQ(engine.GetLeftLowPass().GetCutoff(), clamped) << "raising the rate does not restore it";
    EXPECT_EQ(engine.GetCutoff(), 10000.0f);

    for (float bad : {0.0f, -44100.0f, 999.0f, 768001.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        engine.Prepare(bad);
        EXPECT_EQ(engine.GetSampleRate(), 48000.0f);
        EXPECT_EQ(engine.GetLeftLine().GetLength(), 48001);
    }
}

// What lets one engine stand in for a new one: after anything it rendered, a restart renders
// the next input as a new engine with the same settings does, bit for bit.
TEST(DelayEngine, RestartRendersAsANewEngineDoes)
{
    // As the model builds its engine: the settings, then the rate, which brings the delays there.
    const auto configure = [](DelayEngine& engine) {
        engine.SetCutoff(3000.0f);
        ChangeSettings(engine, [](DelayEngine::Settings& settings) {
            settings.filter = FilterKind::HighPass;
            settings.feedback = 0.9f;
        });
        engine.SetLeftDelayTime(0.01f);
        engine.SetRightDelayTime(0.013f);
        engine.Prepare(48000.0f);
    };
    const std::vector<float> loud = Noise(3001, 8, 4.0f);
    // Silence first, where nothing but the write offset reaches the output.
    std::vector<float> next = Noise(4000, 9);
    std::fill(next.begin(), next.begin() + 2000, 0.0f);
    std::vector<float> outL(4000), outR(4000), newL(4000), newR(4000);

    DelayEngine used;
    configure(used);
    used.Process(loud.data(), loud.data(), outL.data(), outR.data(), 3001);
    used.SetLeftDelayTime(0.3f); // mid-glide, an odd number of calls, both filters warm
    ChangeSettings(used, [](DelayEngine::Settings& settings) { settings.filter = FilterKind::LowPass; });
    used.Process(loud.data(), loud.data(), outL.data(), outR.data(), 3001);
    used.Process(nullptr, nullptr, nullptr, nullptr, 0);
    ChangeSettings(used, [](DelayEngine::Settings& settings) { settings.filter = FilterKind::HighPass; });
    used.SetLeftDelayTime(0.01f);
    used.Restart();

    DelayEngine fresh;
    configure(fresh);
    for (int call = 0; call < 2; ++call) {
        used.Process(next.data(), next.data(), outL.data(), outR.data(), 4000);
        fresh.Process(next.data(), next.data(), newL.data(), newR.data(), 4000);
        ASSERT_TRUE(SameBits(outL, newL)) << call;
        ASSERT_TRUE(SameBits(outR, newR)) << call;
    }
}

TEST(DelayEngine, DelayTimesStayInsideTheLine)
{
    DelayEngine engine;
    for (float seconds : {-1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        engine.SetLeftDelayTime(seconds);
        EXPECT_GE(engine.GetLeftDelaySamples(), 0.0f);
        EXPECT_LE(engine.GetLeftDelaySamples(), engine.GetSampleRate());
    }
}

TEST(DelayEngine, LoudFeedbackStaysBoundedAndNonFiniteInputIsSilence)
{
    DelayEngine engine;
    engine.Prepare(1000.0f);
    ChangeSettings(engine, [](DelayEngine::Settings& settings) { settings.feedback = 1.0f; });
    engine.SetLeftDelayTime(0.003f);
    engine.SetRightDelayTime(0.007f);
    std::vector<float> in = Noise(5000, 7, 4.0f), outL(5000), outR(5000);
    engine.Process(in.data(), in.data(), outL.data(), outR.data(), 5000);
    for (int32_t i = 0; i < engine.GetLeftLine().GetLength(); ++i)
        ASSERT_LT(std::fabs(engine.GetLeftLine().GetSamples()[i]), 5.0f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // The largest finite floats too: summed in the filter they would overflow to infinity.
    const float huge = std::numeric_limits<float>::max();
    std::vector<float> bad = {nan, inf, -inf, 0.5f, nan, huge, -huge, huge, 1e31f};
    ChangeSettings(engine, [](DelayEngine::Settings& settings) { settings.filter = FilterKind::HighPass; });
    engine.Process(bad.data(), bad.data(), outL.data(), outR.data(), static_cast<int32_t>(bad.size()));
    std::vector<float> silence(3000, 0.0f);
    engine.Process(silence.data(), silence.data(), outL.data(), outR.data(), 3000);
    for (int n = 0; n < 3000; ++n) {
        ASSERT_TRUE(std::isfinite(outL[n])) << n;
        ASSERT_TRUE(std::isfinite(outR[n])) << n;
    }
}

// Drives an engine and the plain loop through the same input in blocks of random sizes; false
// at the first difference in outputs or filter states.
bool SameAsReference(DelayEngine& engine, ReferenceDelay& reference, const std::vector<float>& inL,
                     const std::vector<float>& inR, std::mt19937& random)
{
    const int32_t frames = static_cast<int32_t>(inL.size());
    std::vector<float> outL(frames), outR(frames), refL(frames), refR(frames);
    const FirstOrderFilter* filters[2] = {&engine.GetLeftLowPass(), &engine.GetRightLowPass()};
    const bool highPass = engine.GetSettings().filter == FilterKind::HighPass;
    if (highPass) {
        filters[0] = &engine.GetLeftHighPass();
        filters[1] = &engine.GetRightHighPass();
    }
    for (int32_t position = 0; position < frames;) {
        const int32_t count = std::min<int32_t>(static_cast<int32_t>(random() % 400), frames - position);
        engine.Process(inL.data() + position, inR.data() + position, outL.data() + position, outR.data() + position,
                       count);
        reference.Process(engine, inL.data() + position, inR.data() + position, refL.data() + position,
                          refR.data() + position, count);
        position += count;
        for (int c = 0; c < 2; ++c) {
            const ReferenceDelay::Filter& plain =
                highPass ? reference.highPass[c] : reference.lowPass[c];
            if (filters[c]->GetPreviousOutput() != plain.y1 || filters[c]->GetPreviousInput() != plain.x1) {
                ADD_FAILURE() << "filter " << c << " differs after frame " << position;
                return false;
            }
        }
    }
    return SameBits(outL, refL) && SameBits(outR, refR);
}

TEST(DelayEngine, FilterFadingIntoSilenceMidStretchMatchesThePlainLoopBitForBit)
{
    // Without feedback the delayed signal stops dead and the filter's output decays from loud to
    // the size of the denormal offset within a stretch of frames, where the offset starts to
    // count; then the sound comes back. Stretches of odd lengths end in partial groups.
    for (FilterKind type : {FilterKind::LowPass, FilterKind::HighPass}) {
        for (float cutoffRatio : {0.05f, 0.2f}) {
            for (float rate : {1000.0f, 1003.0f}) {
                DelayEngine engine;
                engine.Prepare(rate);
                ChangeSettings(engine, [&](DelayEngine::Settings& settings) {
                    settings.filter = type;
                    settings.feedback = 0.0f;
                    settings.mix = 0.8f;
                });
                engine.SetCutoff(rate * cutoffRatio);
                engine.SetLeftDelayTime(0.3f);
                engine.SetRightDelayTime(0.077f);
                engine.Prepare(rate); // start idle
                ReferenceDelay reference(engine);
                std::mt19937 random(5);
                bool same = true;
                for (int round = 0; round < 4 && same; ++round) {
                    std::vector<float> inL = Noise(3000, 20 + round), inR = Noise(3000, 30 + round);
                    std::fill(inL.begin() + 700 + round * 37, inL.end(), 0.0f);
                    std::fill(inR.begin() + 900 - round * 53, inR.end(), 0.0f);
                    same = SameAsReference(engine, reference, inL, inR, random);
                }
                EXPECT_TRUE(same) << "type " << static_cast<int>(type) << ", cutoff ratio " << cutoffRatio << ", rate " << rate;
            }
        }
    }
}

TEST(DelayEngine, FeedbackAroundTheLimiterKneeMatchesThePlainLoopBitForBit)
{
    // Fed-back values a few float steps either side of the knee, and far above it, in every lane
    // of a group: the lane limiter must round exactly as DelayEngine::Limit does.
    std::vector<float> values;
    for (float v = DelayLoops::kLimiterKnee, i = 0; i < 12; ++i)
        v = std::nextafter(v, 0.0f), values.push_back(v), values.push_back(-v);
    for (float v = DelayLoops::kLimiterKnee, i = 0; i < 40; ++i)
        values.push_back(v), values.push_back(-v), v = std::nextafter(v, 2.0f);
    for (float v : {0.73f, 0.99f, 1.0f, 1.7f, 15.99f, 16.0f, 16.01f, 300.0f, 1e6f, 1e29f})
        values.push_back(v), values.push_back(-v);
    for (bool cross : {false, true}) {
        DelayEngine engine;
        engine.Prepare(1000.0f);
        ChangeSettings(engine, [&](DelayEngine::Settings& settings) {
            settings.crossFeedback = cross;
            settings.feedback = 1.0f;
            settings.mix = 1.0f;
        });
        engine.SetLeftDelayTime(0.1f);
        engine.SetRightDelayTime(0.013f);
        engine.Prepare(1000.0f);
        ReferenceDelay reference(engine);
        // Each value once, with silence behind it, so it comes back from the line unchanged.
        std::vector<float> inL(values.size() * 2, 0.0f), inR(values.size() * 2, 0.0f);
        for (size_t i = 0; i < values.size(); ++i) {
            inL[i * 2] = values[i];
            inR[i * 2 + 1] = values[values.size() - 1 - i];
        }
        inL.resize(inL.size() + 1000, 0.0f);
        inR.resize(inR.size() + 1000, 0.0f);
        std::mt19937 random(9);
        EXPECT_TRUE(SameAsReference(engine, reference, inL, inR, random)) << "cross " << cross;
    }
}

} // namespace
