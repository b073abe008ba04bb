// The CLAP adapter's process never allocates and never takes a mutex: this program replaces the
// allocator and the mutex lock for the whole process and counts the calls made while the audio
// thread is inside process, with parameter events at their frames, the transport, MIDI with a
// learned controller, the editor's queued edits and a reset between blocks.

#include "clap/ClapEffect.h"
#include "description/EffectDescription.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/support/AudioThreadCounters.h"

#include <gtest/gtest.h>

#include <cmath>

extern "C" const Clap::PluginEntry clap_entry;

namespace {

using namespace ClapTest;

TEST(ClapRealtime, CountersSeeAnAllocationInsideAnAudioCall)
{
    audioAllocations.store(0);
    insideAudioCall = true;
    auto* probe = new std::vector<float>(64);
    insideAudioCall = false;
    delete probe;
    EXPECT_GT(audioAllocations.load(), 0);
}

TEST(ClapRealtime, ProcessAllocatesNothingAndLocksNothing)
{
    constexpr uint32_t kFrames = 256;
    ASSERT_TRUE(clap_entry.init("/test/MorlentDelay.clap"));
    auto* factory = static_cast<const Clap::PluginFactory*>(clap_entry.getFactory(Clap::kPluginFactoryId));
    RecordingHost host;
    const Clap::Plugin* plugin = factory->createPlugin(factory, &host.host, MorlentClap::EffectId());
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(plugin->init(plugin));
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, kFrames));
    MorlentClap::ClapEffect* effect = MorlentClap::ClapEffect::From(plugin);
    effect->Core().GetModel()->StartLearningMidi(MorlentDelay::kWetDryMix);

    StereoBlock block(kFrames);
    Clap::TransportEvent transport{};
    transport.header = {sizeof transport, 0, Clap::kCoreEventSpace, Clap::kEventTransport, 0};
    block.process.transport = &transport;

    audioAllocations.store(0);
    audioLocks.store(0);
    for (int i = 0; i < 400; ++i) {
        for (uint32_t frame = 0; frame < kFrames; ++frame)
            block.inLeft[frame] = block.inRight[frame] = std::sin(0.01f * static_cast<float>(i * kFrames + frame));
        // The host's lists are filled before each block, outside the counted call.
        block.in.Clear();
        block.out.Clear();
        const double phase = (i % 16) / 16.0;
        block.in.AddValue(0, MorlentDelay::kSync, (i / 50) % 2);
        block.in.AddValue(10, MorlentDelay::kFilter, (i / 30) % 2);
        block.in.AddValue(20, MorlentDelay::kFilterType, (i / 60) % 2);
        block.in.AddValue(static_cast<uint32_t>(i) % kFrames, MorlentDelay::kFeedbackLevel, 0.04 + 0.6 * phase);
        block.in.AddMidi(static_cast<uint32_t>(i * 7) % kFrames, 0xB0, 7, static_cast<uint8_t>(i % 128));
        if (i % 100 == 99)
            block.in.AddValue(200, MorlentDelay::kEnabled, (i / 100) % 2);
        if (i % 20 == 5)
            block.in.AddTransport(100, 100.0 + i, true);
        if (i % 10 == 3)
            effect->Core().OnViewParameterValueChanged(MorlentDelay::kPan, static_cast<float>(i % 2));
        transport.tempo = 90.0 + (i % 7) * 10.0;
        transport.songPositionBeats = static_cast<Clap::BeatTime>(i * 0.25 * Clap::kBeatTimeFactor);
        transport.flags = Clap::kTransportHasTempo | Clap::kTransportHasBeatsTimeline |
                          ((i / 40) % 2 == 0 ? Clap::kTransportIsPlaying : 0u);
        insideAudioCall = true;
        if (i == 0)
            plugin->startProcessing(plugin);
        if (i % 150 == 149)
            plugin->reset(plugin);
        const Clap::ProcessStatus status = plugin->process(plugin, &block.process);
        insideAudioCall = false;
        ASSERT_EQ(status, Clap::kProcessContinue);
    }
    EXPECT_EQ(0, audioAllocations.load());
    EXPECT_EQ(0, audioLocks.load());

    plugin->stopProcessing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
    clap_entry.deinit();
}

} // namespace
