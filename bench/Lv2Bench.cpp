// The LV2 module's run beside the VST 2 module's processReplacing, both loaded from their built
// files and driven through their C entry points in the host setting of delay_bench: the default
// program at 44.1 kHz with the low-pass on, feedback 0.7 and cross-feedback, 256-frame blocks,
// the host's time in every block (the VST 2 host answering its time query, the LV2 host writing
// a time position into the atom port, and offering the notification port its room, which run
// answers with an empty sequence). The two alternate in random order, repetition by
// repetition, so a busy machine weighs on both alike; compare their medians.
//
//     lv2_bench [benchmark options]

#include "bench/HostSetting.h"
#include "lv2/Lv2Ports.h"
#include "tests/support/HostDriver.h"
#include "tests/support/Noise.h"
#include "tests/support/StandInHost.h"
#include "tests/lv2/Lv2Host.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using HostSetting::kBlock;
using HostSetting::kRate;
constexpr size_t kFrames = 44100;

struct Input {
    std::vector<float> left = TestSupport::Noise(kFrames, 1);
    std::vector<float> right = TestSupport::Noise(kFrames, 2);
};

void ReportPerFrame(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kBlock);
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kBlock), benchmark::Counter::kIsRate |
                                                                                 benchmark::Counter::kInvert);
}

void Vst2ProcessReplacing(benchmark::State& state)
{
    const Input input;
    std::vector<float> outL(kBlock), outR(kBlock);
    TestSupport::StandInHost::ResetQuiet();
    const TestSupport::HostDriver module(MORLENT_VST2_MODULE_PATH);
    AEffect* effect = module.Open();
    if (effect == nullptr) {
        state.SkipWithError("cannot open the VST 2 module");
        return;
    }
    HostSetting::Prepare(effect);
    size_t position = 0;
    for (auto _ : state) {
        if (position + kBlock > kFrames)
            position = 0;
        float* inputs[2] = {const_cast<float*>(input.left.data()) + position,
                            const_cast<float*>(input.right.data()) + position};
        float* outputs[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, inputs, outputs, kBlock);
        position += kBlock;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void Lv2Run(benchmark::State& state)
{
    const Input input;
    std::vector<float> outL(kBlock), outR(kBlock);
    const Lv2Testing::Module module(MORLENT_LV2_MODULE_PATH);
    const LV2_Descriptor* descriptor = module.Descriptor();
    Lv2Testing::Features features;
    Lv2Testing::Instance instance(descriptor, kRate, features);
    if (!instance.Valid()) {
        state.SkipWithError("cannot instantiate the LV2 module");
        return;
    }
    instance.controls[MorlentDelay::kFeedbackLevel] = HostSetting::kFeedback;
    instance.controls[MorlentDelay::kPan] = HostSetting::kPan;
    instance.controls[MorlentDelay::kFilter] = HostSetting::kFilter;
    instance.controls[MorlentDelay::kFilterType] = HostSetting::kLowPass;
    instance.Activate();
    instance.Connect(MorlentLv2::kLeftOutPort, outL.data());
    instance.Connect(MorlentLv2::kRightOutPort, outR.data());
    // The position a host writes before each block, made once: 120 BPM, rolling, in 4/4.
    using Property = std::pair<const char*, Lv2Testing::Number>;
    const std::vector<Property> time = {
        {LV2_TIME__beatsPerMinute, {Lv2Testing::Number::kFloat, 120.0}},
        {LV2_TIME__speed, {Lv2Testing::Number::kFloat, 1.0}},
        {LV2_TIME__bar, {Lv2Testing::Number::kLong, 3.0}},
        {LV2_TIME__barBeat, {Lv2Testing::Number::kFloat, 1.5}},
        {LV2_TIME__beatsPerBar, {Lv2Testing::Number::kFloat, 4.0}},
        {LV2_TIME__beatUnit, {Lv2Testing::Number::kInt, 4.0}}};
    instance.sequence.AddPosition(time);
    const std::vector<uint64_t> withPosition(reinterpret_cast<const uint64_t*>(instance.sequence.Atom()),
                                             reinterpret_cast<const uint64_t*>(instance.sequence.Atom()) + 64);
    size_t position = 0;
    for (auto _ : state) {
        if (position + kBlock > kFrames)
            position = 0;
        std::copy(withPosition.begin(), withPosition.end(), reinterpret_cast<uint64_t*>(instance.sequence.Atom()));
        instance.notifications.Atom()->atom.size = MorlentLv2::kNotifyMinimumSize;
        instance.Connect(MorlentLv2::kLeftInPort, const_cast<float*>(input.left.data()) + position);
        instance.Connect(MorlentLv2::kRightInPort, const_cast<float*>(input.right.data()) + position);
        descriptor->run(instance.Handle(), kBlock);
        position += kBlock;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state);
}

} // namespace

BENCHMARK(Vst2ProcessReplacing);
BENCHMARK(Lv2Run);

int main(int argc, char** argv)
{
    // Alternation and enough repetitions for a median, unless the command line says otherwise.
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string repetitions = "--benchmark_repetitions=15";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {&interleave[0], &repetitions[0], &aggregates[0]});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
