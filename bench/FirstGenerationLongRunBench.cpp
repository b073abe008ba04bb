// Ten minutes of loud noise at full feedback through the first-generation plug-in, with each
// filter setting, then a minute of silence: the cost of a block in the noise and in the silence
// (the echoes of full feedback never die, so the silence is where denormals would slow the
// filters down), and the output stays finite throughout. The first generation has no limiter:
// the peak may grow, and is reported.

#include "tests/support/FirstGenerationPlugin.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;

enum FilterSetting { kNoFilter, kLowPass, kHighPass };

struct Run {
    TestSupport::FirstGenerationPlugin plugin;
    AEffect* record = plugin.record;
    std::vector<float> left = std::vector<float>(kBlock), right = std::vector<float>(kBlock);
    uint32_t noise = 7;
    float peak = 0.0f;
    bool finite = true;

    explicit Run(FilterSetting filter)
    {
        TestSupport::Start(record, kRate, kBlock);
        record->setParameter(record, MorlentDelay::kFeedbackLevel, 1.0f);
        record->setParameter(record, MorlentDelay::kLeftDelay, 0.3f);
        record->setParameter(record, MorlentDelay::kRightDelay, 0.2f);
        record->setParameter(record, MorlentDelay::kFilter, filter == kNoFilter ? 0.0f : 1.0f);
        record->setParameter(record, MorlentDelay::kFilterType, filter == kHighPass ? 1.0f : 0.0f);
        record->setParameter(record, MorlentDelay::kWetDryMix, 0.8f);
    }
    void Block(bool loud)
    {
        for (int i = 0; i < kBlock; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const float sample = loud ? static_cast<float>(static_cast<int32_t>(noise)) / 2.2e9f * 4.0f : 0.0f;
            left[static_cast<size_t>(i)] = sample;
            right[static_cast<size_t>(i)] = -sample;
        }
        float* channels[2] = {left.data(), right.data()};
        record->processReplacing(record, channels, channels, kBlock);
    }
    void Check()
    {
        for (int i = 0; i < kBlock; ++i) {
            const float a = std::fabs(left[static_cast<size_t>(i)]), b = std::fabs(right[static_cast<size_t>(i)]);
            finite = finite && std::isfinite(a) && std::isfinite(b);
            peak = std::fmax(peak, std::fmax(a, b));
        }
    }
    void Play(double seconds, bool loud)
    {
        const long blocks = static_cast<long>(seconds * kRate / kBlock);
        for (long i = 0; i < blocks; ++i) {
            Block(loud);
            Check();
        }
    }
};

// One instance per case: ten minutes of noise, then silenceBefore seconds of silence, then the
// measured blocks (noise when silenceBefore is 0).
void FirstGenerationLongRun(benchmark::State& state, FilterSetting filter, double silenceBefore)
{
    TestSupport::StandInHost::ResetQuiet().answerTime = false; // a host without time information
    Run run(filter);
    run.Play(600.0, true);
    run.Play(silenceBefore, false);
    const bool loud = silenceBefore == 0.0;
    for (auto _ : state) {
        run.Block(loud);
        benchmark::DoNotOptimize(run.left.data());
        run.Check();
    }
    state.counters["peak"] = run.peak;
    state.counters["finite"] = run.finite ? 1 : 0;
    state.counters["ns_per_block"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(FirstGenerationLongRun, no_filter_noise, kNoFilter, 0.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(FirstGenerationLongRun, no_filter_silence_after_60s, kNoFilter, 60.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(FirstGenerationLongRun, low_pass_noise, kLowPass, 0.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(FirstGenerationLongRun, low_pass_silence_after_60s, kLowPass, 60.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(FirstGenerationLongRun, high_pass_noise, kHighPass, 0.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(FirstGenerationLongRun, high_pass_silence_after_60s, kHighPass, 60.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);

} // namespace

BENCHMARK_MAIN();
