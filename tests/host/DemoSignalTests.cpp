#include "host/DemoSignal.h"

#include <gtest/gtest.h>

#include <cmath>

namespace MorlentHost {
namespace {

std::vector<float> Generate(int rate, size_t piece)
{
    DemoSignal demo(rate);
    std::vector<float> all, buffer(2 * piece);
    size_t got;
    while ((got = demo.Read(buffer.data(), piece)) > 0)
        all.insert(all.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(2 * got));
    EXPECT_EQ(static_cast<size_t>(demo.Frames()) * 2, all.size());
    return all;
}

float Peak(const std::vector<float>& samples, int64_t from, int64_t to)
{
    float peak = 0.0f;
    for (int64_t i = 2 * from; i < 2 * to; ++i)
        peak = std::max(peak, std::fabs(samples[static_cast<size_t>(i)]));
    return peak;
}

TEST(DemoSignal, IsAStereoPhraseOfDecayingHitsThatStaysInRange)
{
    const int rate = 44100;
    const std::vector<float> samples = Generate(rate, 1000);
    DemoSignal demo(rate);
    EXPECT_EQ(2, demo.Format().channels);
    EXPECT_EQ(rate, demo.Format().sampleRate);
    EXPECT_EQ(static_cast<int64_t>(rate / 4) * 16 + 2 * rate, demo.Frames());
    EXPECT_LE(Peak(samples, 0, demo.Frames()), 1.0f);
    // Every quarter note starts with a hit; the accented ones on each bar's first beat have
    // decayed to less than half by the next eighth.
    for (int step = 0; step < DemoSignal::kSteps; step += 2)
        EXPECT_GT(Peak(samples, demo.StepFrame(step), demo.StepFrame(step) + 200), 0.15f) << step;
    for (int step : {0, 8}) {
        const int64_t start = demo.StepFrame(step), next = demo.StepFrame(step + 1);
        EXPECT_GT(Peak(samples, start, start + 200), 0.5f) << step;
        EXPECT_LT(Peak(samples, next - 200, next), 0.5f * Peak(samples, start, start + 200)) << step;
    }
    // The left and right channels differ: the strings sit on either side.
    double difference = 0.0;
    for (size_t i = 0; i < samples.size(); i += 2)
        difference += std::fabs(samples[i] - samples[i + 1]);
    EXPECT_GT(difference, 100.0);
    // The end fades towards silence for the echoes.
    EXPECT_LT(Peak(samples, demo.Frames() - rate / 2, demo.Frames()), 0.05f);
}

TEST(DemoSignal, SameBitsWhateverTheReadSize)
{
    EXPECT_EQ(Generate(48000, 4096), Generate(48000, 333));
}

} // namespace
} // namespace MorlentHost
