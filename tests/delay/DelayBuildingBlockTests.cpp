#include "delay/DelayEngine.h"
#include "delay/FeedbackLimiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Steady-state amplitude of a filter's response to a sine of the given frequency.
float SineAmplitude(FirstOrderFilter& filter, float hz)
{
    const float rate = filter.GetSampleRate();
    const int settle = static_cast<int>(rate);
    const int measure = static_cast<int>(rate);
    float peak = 0.0f;
    for (int n = 0; n < settle + measure; ++n) {
        const float y = filter.Process(static_cast<float>(std::sin(2.0 * kPi * hz * n / rate)));
        if (n >= settle)
            peak = std::max(peak, std::fabs(y));
    }
    return peak;
}

TEST(FirstOrderFilter, GainIsMinusThreeDecibelsAtTheCutoffAndPassesItsBand)
{
    FirstOrderFilter lowPass(FirstOrderFilter::Kind::LowPass, 48000.0f, 0.0f);
    lowPass.SetCutoff(1000.0f);
    EXPECT_NEAR(SineAmplitude(lowPass, 1000.0f), 0.70711f, 2e-3f);
    FirstOrderFilter highPass(FirstOrderFilter::Kind::HighPass, 48000.0f, 0.0f);
    highPass.SetCutoff(1000.0f);
    EXPECT_NEAR(SineAmplitude(highPass, 1000.0f), 0.70711f, 2e-3f);

    lowPass.Reset();
    highPass.Reset();
    float lowPassOut = 0.0f, highPassOut = 0.0f;
    for (int n = 0; n < 48000; ++n) {
        lowPassOut = lowPass.Process(1.0f);
        highPassOut = highPass.Process(1.0f);
    }
    EXPECT_NEAR(lowPassOut, 1.0f, 1e-5f);
    EXPECT_NEAR(highPassOut, 0.0f, 1e-5f);
}

TEST(FirstOrderFilter, CutoffStaysBelowHalfTheRateWithAStablePole)
{
    FirstOrderFilter lowPass(FirstOrderFilter::Kind::LowPass, 48000.0f, 0.0f);
    lowPass.SetCutoff(10000.0f);
    lowPass.SetSampleRate(8000.0f);
    EXPECT_EQ(lowPass.GetCutoff(), 8000.0f * FirstOrderFilter::kHighestCutoffRatio);
    EXPECT_LT(std::fabs(lowPass.GetCoefficient()), 1.0f);
    lowPass.SetSampleRate(96000.0f);
    EXPECT_EQ(lowPass.GetCutoff(), 8000.0f * FirstOrderFilter::kHighestCutoffRatio) << "not restored by a higher rate";
    lowPass.SetCutoff(10000.0f);
    EXPECT_EQ(lowPass.GetCutoff(), 10000.0f);

    for (float rate : {1000.0f, 11025.0f, 19999.0f, 22050.0f, 44100.0f, 767999.0f}) {
        for (auto kind : {FirstOrderFilter::Kind::LowPass, FirstOrderFilter::Kind::HighPass}) {
            FirstOrderFilter filter(kind, rate, 0.0f);
            filter.SetCutoff(1e9f);
            EXPECT_LE(filter.GetCutoff(), rate * 0.5f);
            EXPECT_LT(std::fabs(filter.GetCoefficient()), 1.0f) << rate;
        }
    }
}

TEST(FirstOrderFilter, SilenceAfterAnImpulseNeverTurnsDenormal)
{
    FirstOrderFilter lowPass(FirstOrderFilter::Kind::LowPass, 44100.0f, 0.0f);
    lowPass.SetCutoff(100.0f);
    lowPass.Process(1.0f);
    for (int n = 0; n < 2000000; ++n) {
        const float y = lowPass.Process(0.0f);
        ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << n;
    }
}

TEST(FirstOrderFilter, RecursionResumedFromItsStatesContinuesBitForBit)
{
    // The engine runs the recursion in its own loops and hands the states back.
    for (auto kind : {FirstOrderFilter::Kind::LowPass, FirstOrderFilter::Kind::HighPass}) {
        FirstOrderFilter whole(kind, 44100.0f, 900.0f), first(kind, 44100.0f, 900.0f), second(kind, 44100.0f, 900.0f);
        std::vector<float> input(200);
        for (size_t n = 0; n < input.size(); ++n)
            input[n] = static_cast<float>(std::sin(0.37 * static_cast<double>(n))) * (n < 100 ? 1.0f : 1e-20f);
        for (size_t n = 0; n < input.size(); ++n) {
            const float expected = whole.Process(input[n]);
            if (n == 120)
                second.SetStates(first.GetPreviousInput(), first.GetPreviousOutput());
            const float y = n < 120 ? first.Process(input[n]) : second.Process(input[n]);
            ASSERT_EQ(std::memcmp(&y, &expected, sizeof y), 0) << n;
        }
    }
}

TEST(DelayTimeSmoother, GlideHasTheTimeConstantAndLandsExactlyOnTheTarget)
{
    DelayTimeSmoother smoother;
    smoother.SetTimeConstant(10000);
    smoother.SetTarget(1000.0f);
    smoother.JumpToTarget();
    smoother.SetTarget(3000.0f);
    int steps = 0;
    float afterOneTimeConstant = 0.0f;
    float previous = smoother.GetCurrent();
    while (smoother.IsGliding() && steps < 1000000) {
        const float value = smoother.Step();
        ASSERT_GT(value, previous) << "keeps rising until it lands";
        previous = value;
        if (++steps == 10000)
            afterOneTimeConstant = value;
    }
    EXPECT_NEAR((afterOneTimeConstant - 1000.0f) / 2000.0f, 1.0f - std::exp(-1.0f), 1e-4f);
    EXPECT_EQ(smoother.GetCurrent(), 3000.0f);
    EXPECT_GT(steps, 10000 * 5);
    EXPECT_LT(steps, 10000 * 16);
    EXPECT_EQ(smoother.Step(), 3000.0f) << "idle after landing";

    // A glide down continues from the state the upward glide left.
    smoother.SetTarget(0.0f);
    const float first = smoother.Step();
    EXPECT_GT(first, 2999.0f);
    EXPECT_LT(first, 3000.0f);
    while (smoother.IsGliding())
        ASSERT_GE(smoother.Step(), 0.0f) << "never below a zero target";
    EXPECT_EQ(smoother.GetCurrent(), 0.0f);
}

TEST(DelayTimeSmoother, RetargetingMidGlideDoesNotJump)
{
    DelayTimeSmoother smoother;
    smoother.SetTimeConstant(100);
    smoother.SetTarget(0.0f);
    smoother.JumpToTarget();
    smoother.SetTarget(500.0f);
    for (int n = 0; n < 50; ++n)
        smoother.Step();
    const float before = smoother.GetCurrent();
    smoother.SetTarget(100.0f);
    const float after = smoother.Step();
    EXPECT_LT(after, before);
    EXPECT_GT(after, before - 10.0f);
}

TEST(DelayEngineLimiter, PassesTheKneeAndBendsLouderValuesInsideOne)
{
    EXPECT_EQ(DelayLoops::kLimiterRange, std::nextafter(0.28f, 0.0f));
    EXPECT_EQ(DelayLoops::Limit(0.72f), 0.72f);
    EXPECT_EQ(DelayLoops::Limit(-0.72f), -0.72f);
    EXPECT_EQ(DelayLoops::Limit(0.5f), 0.5f);
    EXPECT_NEAR(DelayLoops::Limit(1.0f), 0.7984f, 1e-6f);
    EXPECT_NEAR(DelayLoops::Limit(-1.0f), -0.7984f, 1e-6f);
    for (float s : {0.73f, 2.0f, 1e3f}) {
        EXPECT_EQ(DelayLoops::Limit(-s), -DelayLoops::Limit(s));
        EXPECT_LT(DelayLoops::Limit(s), 1.0f);
    }
    // Beyond about 1e7 the bend rounds to exactly 1: still bounded.
    EXPECT_EQ(DelayLoops::Limit(3e38f), 1.0f);
}

} // namespace
