// Cost per stereo frame of the first generation's delay, as its model drives it: the parameters'
// Advance, then DelayProcessor::Process. Runs in the same program as the 64-bit engine's cases,
// whose EngineProcess figures at the same settings are the yardstick.
#include "description/EffectDescription.h"
#include "legacy/parameters/DelayParameters.h"
#include "legacy/parameters/DelayProcessor.h"
#include "tests/support/Noise.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using VovezEdeduvo::Effects::DelayParameters;
using VovezEdeduvo::Effects::DelayProcessor;

enum FilterSetting { kNoFilter, kLowPassFilter, kHighPassFilter };


// The parameter value of a delay of so many seconds.
float DelayValue(float seconds)
{
    return std::sqrt(seconds);
}

void FirstGenerationProcess(benchmark::State& state)
{
    const int32_t block = static_cast<int32_t>(state.range(0));
    const auto filter = static_cast<FilterSetting>(state.range(1));
    const bool moving = state.range(2) != 0;
    constexpr size_t kFrames = 1 << 16;
    const std::vector<float> inL = TestSupport::Noise(kFrames, 1, 0.5f), inR = TestSupport::Noise(kFrames, 2, 0.5f);
    std::vector<float> outL(static_cast<size_t>(block)), outR(static_cast<size_t>(block));

    DelayProcessor processor;
    DelayParameters parameters(MorlentDelay::kProgramCount, &processor);
    for (int32_t j = 0; j < MorlentDelay::kParameterCount; ++j)
        parameters.SetParameterValue(j, MorlentDelay::kParameters[j].defaultValue);
    parameters.SetSampleRate(48000.0f);
    parameters.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.70710678f); // 0.5
    parameters.SetParameterValue(MorlentDelay::kPan, 1.0f);
    parameters.SetParameterValue(MorlentDelay::kFilter, filter != kNoFilter ? 1.0f : 0.0f);
    parameters.SetParameterValue(MorlentDelay::kFilterType, filter == kHighPassFilter ? 1.0f : 0.0f);
    parameters.SetParameterValue(MorlentDelay::kLeftDelay, DelayValue(0.4f));
    parameters.SetParameterValue(MorlentDelay::kRightDelay, DelayValue(0.3f));
    parameters.SetParameterValue(MorlentDelay::kWetDryMix, 0.5f);
    parameters.ResetSmoothers();

    size_t position = 0;
    int64_t blocks = 0;
    bool longer = false;
    for (auto _ : state) {
        // New targets every 64 blocks, a third of a second: the ramps never come to rest.
        if (moving && blocks++ % 64 == 0) {
            longer = !longer;
            parameters.SetParameterValue(MorlentDelay::kLeftDelay, DelayValue(longer ? 0.7f : 0.2f));
            parameters.SetParameterValue(MorlentDelay::kRightDelay, DelayValue(longer ? 0.1f : 0.6f));
            parameters.SetParameterValue(MorlentDelay::kWetDryMix, longer ? 0.8f : 0.3f);
        }
        if (position + static_cast<size_t>(block) > kFrames)
            position = 0;
        parameters.Advance(block);
        processor.Process(inL.data() + position, inR.data() + position, outL.data(), outR.data(), block);
        position += static_cast<size_t>(block);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["per_frame"] = benchmark::Counter(static_cast<double>(state.iterations() * block),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(FirstGenerationProcess)
    ->ArgNames({"block", "filter", "moving"})
    ->ArgsProduct({{256}, {kNoFilter, kLowPassFilter, kHighPassFilter}, {0, 1}});
