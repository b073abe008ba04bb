// Ten minutes of loud noise at full feedback, then silence, through the whole plug-in: the cost
// of a block must stay flat while the echoes die away into the range where denormals would
// appear, and the output must stay finite and bounded throughout.

#include "delay/MorlentDelayModel.h"
#include "vst2/Controller.h"
#include "tests/support/StandInHost.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;

using TestSupport::StandInHost;

struct Plugin {
    AEffect* record;
    std::vector<float> left = std::vector<float>(kBlock), right = std::vector<float>(kBlock);
    uint32_t noise = 7;
    float peak = 0.0f;
    bool finite = true;

    // feedback 1 keeps the echoes forever; below 1 they decay toward the denormal range
    explicit Plugin(float feedback)
        : record((new VstToolkit::Controller(StandInHost::Callback, new MorlentDelayModel))->getAeffect())
    {
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, kRate);
        record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
        record->setParameter(record, MorlentDelay::kFeedbackLevel, std::sqrt(feedback));
        record->setParameter(record, MorlentDelay::kLeftDelay, 0.05f);  // short echoes decay fast
        record->setParameter(record, MorlentDelay::kRightDelay, 0.07f);
        record->setParameter(record, MorlentDelay::kFilter, 1.0f);
        record->setParameter(record, MorlentDelay::kPan, 1.0f);
        record->setParameter(record, MorlentDelay::kWetDryMix, 0.8f);
    }
    ~Plugin() { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }

    void Block(bool loud)
    {
        for (int i = 0; i < kBlock; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const float sample = loud ? static_cast<float>(static_cast<int32_t>(noise)) / 2.2e9f * 2.0f : 0.0f;
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
    void Run(double seconds, bool loud)
    {
        const long blocks = static_cast<long>(seconds * kRate / kBlock);
        for (long i = 0; i < blocks; ++i) {
            Block(loud);
            Check();
        }
    }
};

// Cost per block in each phase of the long run; the phases share one instance, so the
// silence is measured after the echoes of ten minutes of noise have died away.
void LongRun(benchmark::State& state, float feedback, double silenceBefore)
{
    StandInHost::ResetQuiet().answerTime = false; // a host without time information
    Plugin plugin(feedback);
    plugin.Run(600.0, true);
    plugin.Run(silenceBefore, false);
    const bool loud = silenceBefore == 0.0;
    for (auto _ : state) {
        plugin.Block(loud);
        benchmark::DoNotOptimize(plugin.left.data());
    }
    plugin.Check();
    state.SetItemsProcessed(state.iterations() * kBlock);
    state.counters["peak"] = plugin.peak;
    state.counters["finite"] = plugin.finite ? 1 : 0;
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations() * kBlock),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(LongRun, full_feedback_noise, 1.0f, 0.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(LongRun, full_feedback_silence_after_60s, 1.0f, 60.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(LongRun, decaying_noise, 0.5f, 0.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(LongRun, decaying_silence_after_1s, 0.5f, 1.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK_CAPTURE(LongRun, decaying_silence_after_60s, 0.5f, 60.0)->Unit(benchmark::kMicrosecond)->Iterations(20000);

} // namespace

BENCHMARK_MAIN();
