// The VST 3 adapter's process never allocates and never takes a mutex: this program replaces the
// allocator and the mutex lock for the whole process and counts the calls made while the audio
// thread is inside process, with automation at sample offsets, the host's transport and bypass.

#include "description/EffectDescription.h"
#include "tests/support/AudioThreadCounters.h"
#include "tests/vst3/Vst3TestHost.h"
#include "vst3/Vst3Effect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace Vst3;
using namespace Vst3Test;
using MorlentVst3::Vst3Effect;

TEST(Vst3Realtime, CountersSeeAnAllocationInsideAnAudioCall)
{
    audioAllocations.store(0);
    insideAudioCall = true;
    auto* probe = new std::vector<float>(64);
    insideAudioCall = false;
    delete probe;
    EXPECT_GT(audioAllocations.load(), 0);
}

TEST(Vst3Realtime, ProcessAllocatesNothingAndLocksNothing)
{
    constexpr int32 kFrames = 256;
    Vst3Effect* effect = new Vst3Effect;
    IComponent* component = effect;
    IAudioProcessor* processor = effect;
    ASSERT_EQ(component->initialize(nullptr), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, kFrames, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(component->setActive(1), kResultOk);
    ASSERT_EQ(processor->setProcessing(1), kResultOk);

    StereoBlock block(kFrames);
    ProcessContext context{};
    context.state = ProcessContext::kTempoValid | ProcessContext::kPlaying | ProcessContext::kProjectTimeMusicValid;
    context.sampleRate = 48000.0;
    context.tempo = 120.0;
    block.data.processContext = &context;
    // The host's queues are filled before each block, outside the counted call.
    ParameterChanges changes;
    block.data.inputParameterChanges = &changes;

    audioAllocations.store(0);
    audioLocks.store(0);
    for (int i = 0; i < 400; ++i) {
        for (int32 frame = 0; frame < kFrames; ++frame)
            block.inLeft[frame] = block.inRight[frame] = std::sin(0.01f * static_cast<float>(i * kFrames + frame));
        changes.Clear();
        const double phase = (i % 16) / 16.0;
        changes.Add(MorlentDelay::kFeedbackLevel, i % kFrames, 0.2 + 0.6 * phase);
        changes.Add(MorlentDelay::kLeftDelay, (i * 7) % kFrames, 0.1 + 0.5 * phase);
        changes.Add(MorlentDelay::kSync, 0, (i / 50) % 2);
        changes.Add(MorlentDelay::kFilter, 10, (i / 30) % 2);
        changes.Add(MorlentDelay::kFilterType, 20, (i / 60) % 2);
        if (i % 100 == 99)
            changes.Add(MorlentVst3::kBypassParamId, 100, (i / 100) % 2);
        // Tempo changes and the transport stops and starts now and then.
        context.tempo = 90.0 + (i % 7) * 10.0;
        context.projectTimeMusic = i * 0.25;
        context.state = (i / 40) % 2 == 0 ? context.state | ProcessContext::kPlaying
                                          : context.state & ~ProcessContext::kPlaying;
        insideAudioCall = true;
        const tresult result = processor->process(block.data);
        insideAudioCall = false;
        ASSERT_EQ(result, kResultOk);
    }
    EXPECT_EQ(0, audioAllocations.load());
    EXPECT_EQ(0, audioLocks.load());

    processor->setProcessing(0);
    component->setActive(0);
    component->terminate();
    component->release();
}

} // namespace
