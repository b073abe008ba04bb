// A shortened long run through the first-generation plug-in: a minute of loud noise at full
// feedback with each filter setting, then ten seconds of silence. Without a limiter the echoes
// may grow, but every sample stays finite and full feedback keeps ringing in the silence.
// The full ten minutes, and their cost per block, are bench/FirstGenerationLongRunBench.cpp.

#include "tests/support/FirstGenerationPlugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Outcome {
    bool finite = true;
    float lastPeak = 0.0f;
};

Outcome LongRun(float filter, float filterType)
{
    TestSupport::StandInHost::ResetQuiet().answerTime = false;
    TestSupport::FirstGenerationPlugin plugin;
    AEffect* record = plugin.record;
    TestSupport::Start(record, 48000.0f, 4096);
    record->setParameter(record, MorlentDelay::kFeedbackLevel, 1.0f);
    record->setParameter(record, MorlentDelay::kFilter, filter);
    record->setParameter(record, MorlentDelay::kFilterType, filterType);
    record->setParameter(record, MorlentDelay::kLeftDelay, 0.3f);
    record->setParameter(record, MorlentDelay::kRightDelay, 0.2f);
    record->setParameter(record, MorlentDelay::kWetDryMix, 1.0f);
    Outcome outcome;
    std::vector<float> left(4096), right(4096);
    uint32_t noise = 99;
    const long noiseBlocks = 60L * 48000 / 4096, silenceBlocks = 10L * 48000 / 4096;
    for (long block = 0; block < noiseBlocks + silenceBlocks; ++block) {
        const bool loud = block < noiseBlocks;
        for (size_t i = 0; i < left.size(); ++i) {
            noise = noise * 1664525u + 1013904223u;
            left[i] = loud ? static_cast<float>(static_cast<int32_t>(noise)) / 2.2e9f * 4.0f : 0.0f;
            right[i] = -left[i];
        }
        float* channels[2] = {left.data(), right.data()};
        record->processReplacing(record, channels, channels, 4096);
        float peak = 0.0f;
        for (size_t i = 0; i < left.size(); ++i) {
            outcome.finite = outcome.finite && std::isfinite(left[i]) && std::isfinite(right[i]);
            peak = std::fmax(peak, std::fmax(std::fabs(left[i]), std::fabs(right[i])));
        }
        outcome.lastPeak = peak;
    }
    return outcome;
}

TEST(FirstGenerationLongRun, FullFeedbackStaysFiniteWithEachFilter)
{
    const float settings[3][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}}; // off, low-pass, high-pass
    for (const auto& setting : settings) {
        const Outcome outcome = LongRun(setting[0], setting[1]);
        EXPECT_TRUE(outcome.finite) << "filter " << setting[0] << " type " << setting[1];
        EXPECT_GT(outcome.lastPeak, 0.0f) << "full feedback keeps ringing";
    }
}

} // namespace
