// Cost per stereo frame of the delay engine and of the whole model as the host drives it.
#include "bench/HostSetting.h"
#include "delay/MorlentDelayModel.h"
#include "vst2/Controller.h"
#include "tests/support/Noise.h"
#include "tests/support/StandInHost.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

enum FilterSetting { kNoFilter, kLowPassFilter, kHighPassFilter };

using TestSupport::Noise;

// Input for many blocks, so the loop does not replay one block out of the first-level cache.
struct Input {
    static constexpr size_t kFrames = 1 << 16;
    std::vector<float> left = Noise(kFrames, 1, 0.5f), right = Noise(kFrames, 2, 0.5f);
};

void ReportPerFrame(benchmark::State& state, int64_t frames)
{
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["per_frame"] = benchmark::Counter(static_cast<double>(state.iterations() * frames),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void EngineProcess(benchmark::State& state)
{
    const int32_t block = static_cast<int32_t>(state.range(0));
    const auto filter = static_cast<FilterSetting>(state.range(1));
    const bool gliding = state.range(2) != 0;
    const Input input;
    std::vector<float> outL(block), outR(block);
    DelayEngine engine;
    engine.Prepare(48000.0f);
    DelayEngine::Settings settings;
    settings.feedback = 0.5f;
    settings.crossFeedback = true;
    settings.mix = 0.5f;
    settings.filter = filter == kNoFilter        ? Dsp::FilterKind::None
                      : filter == kHighPassFilter ? Dsp::FilterKind::HighPass
                                                  : Dsp::FilterKind::LowPass;
    engine.SetSettings(settings);
    engine.SetCutoff(2515.0f);
    engine.SetLeftDelayTime(0.4f);
    engine.SetRightDelayTime(0.3f);
    engine.Prepare(48000.0f);
    size_t position = 0;
    bool longer = false;
    for (auto _ : state) {
        if (gliding && !engine.GetLeftSmoother().IsGliding()) {
            longer = !longer;
            engine.SetLeftDelayTime(longer ? 0.7f : 0.2f);
            engine.SetRightDelayTime(longer ? 0.1f : 0.6f);
        }
        if (position + block > Input::kFrames)
            position = 0;
        engine.Process(input.left.data() + position, input.right.data() + position, outL.data(), outR.data(), block);
        position += block;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state, block);
}

// Glides that stay within a few samples, so no stretch of frames is long, and glides of one
// channel while the other stands still.
void EngineProcessSpecialGlide(benchmark::State& state)
{
    const int32_t block = static_cast<int32_t>(state.range(0));
    const bool shortDelays = state.range(1) != 0;
    const Input input;
    std::vector<float> outL(block), outR(block);
    DelayEngine engine;
    engine.Prepare(48000.0f);
    DelayEngine::Settings settings = engine.GetSettings();
    settings.feedback = 0.5f;
    settings.filter = Dsp::FilterKind::LowPass;
    engine.SetSettings(settings);
    engine.SetCutoff(2515.0f);
    const float low = shortDelays ? 0.0f : 0.2f;
    const float high = shortDelays ? 6.0f / 48000.0f : 0.7f;
    engine.SetLeftDelayTime(low);
    engine.SetRightDelayTime(shortDelays ? high : 0.3f);
    engine.Prepare(48000.0f);
    size_t position = 0;
    bool longer = false;
    for (auto _ : state) {
        if (!engine.GetLeftSmoother().IsGliding()) {
            longer = !longer;
            engine.SetLeftDelayTime(longer ? high : low);
            if (shortDelays)
                engine.SetRightDelayTime(longer ? low : high);
        }
        if (position + block > Input::kFrames)
            position = 0;
        engine.Process(input.left.data() + position, input.right.data() + position, outL.data(), outR.data(), block);
        position += block;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state, block);
}

void ModelProcessBlock(benchmark::State& state)
{
    const int32_t block = static_cast<int32_t>(state.range(0));
    const auto filter = static_cast<FilterSetting>(state.range(1));
    const bool gliding = state.range(2) != 0;
    Input input;
    std::vector<float> outL(block), outR(block);
    MorlentDelayModel model;
    model.SetSampleRate(48000.0f);
    model.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.70710678f);
    model.SetParameterValue(MorlentDelay::kPan, 1.0f);
    model.SetParameterValue(MorlentDelay::kFilter, filter != kNoFilter ? 1.0f : 0.0f);
    model.SetParameterValue(MorlentDelay::kFilterType, filter == kHighPassFilter ? 1.0f : 0.0f);
    model.SetParameterValue(MorlentDelay::kLeftDelay, 0.6f);
    model.SetParameterValue(MorlentDelay::kRightDelay, 0.5f);
    size_t position = 0;
    bool longer = false;
    for (auto _ : state) {
        if (gliding && !model.GetEngine().GetLeftSmoother().IsGliding()) {
            longer = !longer;
            model.SetParameterValue(MorlentDelay::kLeftDelay, longer ? 0.8f : 0.4f);
            model.SetParameterValue(MorlentDelay::kRightDelay, longer ? 0.3f : 0.7f);
        }
        if (position + block > Input::kFrames)
            position = 0;
        float* inputs[2] = {input.left.data() + position, input.right.data() + position};
        float* outputs[2] = {outL.data(), outR.data()};
        model.ProcessBlock(inputs, outputs, block);
        position += block;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state, block);
}

// A host that answers the time query at every block, as real hosts do.
// The whole plug-in as the host calls it: the record's processReplacing, time information first.
void ProcessReplacing(benchmark::State& state)
{
    const int32_t block = static_cast<int32_t>(state.range(0));
    const auto filter = static_cast<FilterSetting>(state.range(1));
    Input input;
    std::vector<float> outL(block), outR(block);
    TestSupport::StandInHost::ResetQuiet(); // a host's answers, nothing recorded or allocated
    AEffect* effect = (new VstToolkit::Controller(TestSupport::StandInHost::Callback, new MorlentDelayModel))->getAeffect();
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, MorlentDelay::kFeedbackLevel, 0.70710678f);
    effect->setParameter(effect, MorlentDelay::kPan, 1.0f);
    effect->setParameter(effect, MorlentDelay::kFilter, filter != kNoFilter ? 1.0f : 0.0f);
    effect->setParameter(effect, MorlentDelay::kFilterType, filter == kHighPassFilter ? 1.0f : 0.0f);
    size_t position = 0;
    for (auto _ : state) {
        if (position + block > Input::kFrames)
            position = 0;
        float* inputs[2] = {input.left.data() + position, input.right.data() + position};
        float* outputs[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, inputs, outputs, block);
        position += block;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state, block);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// The host setting, through the VST 2 record.
void HostSettingProcess(benchmark::State& state)
{
    constexpr int32_t kBlock = HostSetting::kBlock;
    Input input;
    std::vector<float> outL(kBlock), outR(kBlock);
    TestSupport::StandInHost::ResetQuiet(); // a host's answers, nothing recorded or allocated
    AEffect* effect = (new VstToolkit::Controller(TestSupport::StandInHost::Callback, new MorlentDelayModel))->getAeffect();
    HostSetting::Prepare(effect);
    size_t position = 0;
    for (auto _ : state) {
        if (position + kBlock > Input::kFrames)
            position = 0;
        float* inputs[2] = {input.left.data() + position, input.right.data() + position};
        float* outputs[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, inputs, outputs, kBlock);
        position += kBlock;
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state, kBlock);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// The floor under every low-pass case: only the two channels' filter recursions, side by side,
// in the engine's arithmetic. Each output waits for the one before, so this is latency bound.
void LowPassRecursionFloor(benchmark::State& state)
{
    constexpr int32_t kBlock = 256;
    const Input input;
    std::vector<float> outL(kBlock), outR(kBlock);
    const FirstOrderFilter filter(FirstOrderFilter::Kind::LowPass, 44100.0f, 2515.0f);
    const float g = filter.GetGain(), k = filter.GetCoefficient();
    float inputL = 0.0f, outputL = 0.0f, inputR = 0.0f, outputR = 0.0f;
    size_t position = 0;
    for (auto _ : state) {
        if (position + kBlock > Input::kFrames)
            position = 0;
        const float* xL = input.left.data() + position;
        const float* xR = input.right.data() + position;
        for (int32_t n = 0; n < kBlock; ++n) {
            outL[n] = FirstOrderFilter::StepLowPass(xL[n], g, k, inputL, outputL);
            outR[n] = FirstOrderFilter::StepLowPass(xR[n], g, k, inputR, outputR);
        }
        position += kBlock;
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
    }
    ReportPerFrame(state, kBlock);
}

void Configurations(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgNames({"block", "filter", "gliding"});
    for (int64_t gliding : {0, 1})
        for (int64_t filter : {kNoFilter, kLowPassFilter, kHighPassFilter})
            for (int64_t block : {64, 256, 4096})
                benchmark->Args({block, filter, gliding});
}

} // namespace

BENCHMARK(EngineProcess)->Apply(Configurations);
BENCHMARK(EngineProcessSpecialGlide)->ArgNames({"block", "short"})->ArgsProduct({{256}, {0, 1}});
BENCHMARK(ModelProcessBlock)->Apply(Configurations);
BENCHMARK(ProcessReplacing)->ArgNames({"block", "filter"})->ArgsProduct({{64, 256}, {kNoFilter, kLowPassFilter, kHighPassFilter}});

BENCHMARK(HostSettingProcess)->Name("HostSetting");
BENCHMARK(LowPassRecursionFloor);

BENCHMARK_MAIN();
