#include "host/Renderer.h"
#include "tests/host/MemoryAudio.h"

#include <gtest/gtest.h>

namespace MorlentHost {
namespace {

// A plug-in that records what the host hands it: events with their block, the time information
// of each block, and which inputs it received. Its outputs are input 0 plus 10 x input 1 on the
// left and the block's frame count on the right. It reaches the host the way the render loop
// does, through the plug-in wrapper (see Wrap).
struct FakePlugin {
    struct Event {
        int block;
        int delta;
        uint8_t status, data1, data2;
    };
    AEffect record{};
    VstTimeInfo* time = nullptr;
    int blocks = 0;
    std::vector<int> blockFrames;
    std::vector<Event> events;
    std::vector<VstTimeInfo> times;

    explicit FakePlugin(int inputs = 2)
    {
        record.magic = kEffectMagic;
        record.numInputs = inputs;
        record.numOutputs = 2;
        record.object = this;
        record.dispatcher = [](AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
            auto* self = static_cast<FakePlugin*>(effect->object);
            if (opcode != effProcessEvents)
                return 0;
            const auto* list = static_cast<const VstEvents*>(ptr);
            for (int i = 0; i < list->numEvents; ++i) {
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(list->events[i]);
                EXPECT_EQ(kVstMidiType, midi->type);
                EXPECT_EQ(static_cast<VstInt32>(sizeof(VstMidiEvent)), midi->byteSize);
                self->events.push_back({self->blocks, midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                                        static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2])});
            }
            return 1;
        };
        record.processReplacing = [](AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
            auto* self = static_cast<FakePlugin*>(effect->object);
            self->times.push_back(*self->time);
            self->blockFrames.push_back(frames);
            for (VstInt32 i = 0; i < frames; ++i) {
                outputs[0][i] = inputs[0][i] + (effect->numInputs > 1 ? 10.0f * inputs[1][i] : 0.0f);
                outputs[1][i] = static_cast<float>(frames);
            }
            ++self->blocks;
        };
    }
};

// The fake as the host sees a loaded module; the fake reads the host's time information directly.
std::unique_ptr<PluginInstance> Wrap(FakePlugin& fake)
{
    auto instance = PluginInstance::Adopt(&fake.record);
    fake.time = &instance->Host().time;
    return instance;
}

std::vector<float> Ramp(size_t frames, int channels)
{
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = static_cast<float>(i) + 0.5f * c;
    return samples;
}

TEST(Renderer, EventsLandInTheirBlockAtTheirOffset)
{
    FakePlugin plugin;
    auto host = Wrap(plugin);
    MemoryReader source(Ramp(300, 2), 2, 48000);
    MemoryWriter sink(2);
    RenderJob job;
    job.blockSize = 64;
    job.midi = {{0, {0xB0, 7, 1}}, {63, {0xB0, 7, 2}}, {64, {0xB0, 7, 3}}, {64, {0x90, 60, 100}},
                {299, {0xB0, 7, 5}}, {300, {0xB0, 7, 6}}};
    RenderResult result;
    std::string error;
    ASSERT_TRUE(Render(*host, source, sink, job, result, error)) << error;

    EXPECT_EQ(300, result.frames);
    EXPECT_EQ(5, result.eventsSent);
    EXPECT_EQ(1, result.eventsLate);
    EXPECT_EQ((std::vector<int>{64, 64, 64, 64, 44}), plugin.blockFrames);
    ASSERT_EQ(5u, plugin.events.size());
    const int expected[5][3] = {{0, 0, 1}, {0, 63, 2}, {1, 0, 3}, {1, 0, 100}, {4, 43, 5}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(expected[i][0], plugin.events[i].block) << i;
        EXPECT_EQ(expected[i][1], plugin.events[i].delta) << i;
        EXPECT_EQ(expected[i][2], plugin.events[i].data2) << i;
    }
    EXPECT_EQ(0x90, plugin.events[3].status);
}

TEST(Renderer, ChannelsMapInOrderAndMonoFeedsEveryInput)
{
    for (int channels : {1, 2}) {
        FakePlugin plugin;
        auto host = Wrap(plugin);
        MemoryReader source(Ramp(100, channels), channels, 44100);
        MemoryWriter sink(2);
        RenderJob job;
        job.blockSize = 32;
        RenderResult result;
        std::string error;
        ASSERT_TRUE(Render(*host, source, sink, job, result, error)) << error;
        ASSERT_EQ(100u, sink.Frames());
        for (size_t i = 0; i < 100; ++i) {
            const float left = static_cast<float>(i), right = channels == 1 ? left : left + 0.5f;
            ASSERT_EQ(left + 10.0f * right, sink.At(i, 0)) << channels << " channels, frame " << i;
            ASSERT_EQ(i < 96 ? 32.0f : 4.0f, sink.At(i, 1)) << i;
        }
    }

    FakePlugin mono(1);
    auto monoHost = Wrap(mono);
    MemoryReader stereo(Ramp(10, 2), 2, 44100);
    MemoryWriter sink(2);
    RenderResult result;
    std::string error;
    EXPECT_FALSE(Render(*monoHost, stereo, sink, RenderJob(), result, error));
    EXPECT_EQ("the input has 2 channels; the plug-in takes 1", error);
}

TEST(Renderer, TailAddsSilenceAfterTheSource)
{
    FakePlugin plugin;
    auto host = Wrap(plugin);
    MemoryReader source(Ramp(50, 2), 2, 44100);
    MemoryWriter sink(2);
    RenderJob job;
    job.blockSize = 32;
    job.tailFrames = 40;
    RenderResult result;
    std::string error;
    ASSERT_TRUE(Render(*host, source, sink, job, result, error)) << error;
    EXPECT_EQ(90, result.frames);
    EXPECT_EQ((std::vector<int>{32, 32, 26}), plugin.blockFrames);
    EXPECT_EQ(49.0f + 10.0f * 49.5f, sink.At(49, 0));
    for (size_t i = 50; i < 90; ++i)
        ASSERT_EQ(0.0f, sink.At(i, 0)) << i;
}

TEST(Renderer, TransportAdvancesWhilePlayingAndStandsWhileStopped)
{
    // 120 BPM at 48 kHz: a quarter note is 24000 frames.
    for (bool playing : {true, false}) {
        FakePlugin plugin;
        auto host = Wrap(plugin);
        MemoryReader source(std::vector<float>(2 * 120000, 0.0f), 2, 48000);
        MemoryWriter sink(2);
        RenderJob job;
        job.blockSize = 12000;
        job.transport.playing = playing;
        RenderResult result;
        std::string error;
        ASSERT_TRUE(Render(*host, source, sink, job, result, error)) << error;
        ASSERT_EQ(10u, plugin.times.size());
        for (size_t b = 0; b < 10; ++b) {
            const VstTimeInfo& t = plugin.times[b];
            EXPECT_EQ(playing ? 12000.0 * b : 0.0, t.samplePos) << b;
            EXPECT_EQ(playing ? 0.5 * b : 0.0, t.ppqPos) << b;
            EXPECT_EQ(playing ? (b >= 8 ? 4.0 : 0.0) : 0.0, t.barStartPos) << b;
            EXPECT_EQ(48000.0, t.sampleRate);
            EXPECT_EQ(120.0, t.tempo);
            EXPECT_EQ(4, t.timeSigNumerator);
            EXPECT_EQ(4, t.timeSigDenominator);
            const VstInt32 valid = kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
            EXPECT_EQ(valid, t.flags & valid);
            EXPECT_EQ(playing, (t.flags & kVstTransportPlaying) != 0);
            EXPECT_EQ(b == 0, (t.flags & kVstTransportChanged) != 0);
        }
    }
}

TEST(Renderer, EventBlocksHoldTheirCapacityAndAnEmptyBlockIsNeverSent)
{
    AEffect record{};
    record.magic = kEffectMagic;
    int sent = 0;
    record.object = &sent;
    record.dispatcher = [](AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
        if (opcode == effProcessEvents)
            *static_cast<int*>(effect->object) += static_cast<const VstEvents*>(ptr)->numEvents == 0 ? 1000 : 1;
        return 0;
    };
    auto plugin = PluginInstance::Adopt(&record);
    EventBlock events(2);
    plugin->ProcessEvents(events);
    EXPECT_EQ(0, sent);
    const uint8_t note[3] = {0x90, 60, 100};
    EXPECT_TRUE(events.Add(0, note));
    EXPECT_TRUE(events.Add(5, note));
    EXPECT_FALSE(events.Add(9, note));
    EXPECT_EQ(2u, events.Size());
    plugin->ProcessEvents(events);
    EXPECT_EQ(1, sent);
    events.Clear();
    plugin->ProcessEvents(events);
    EXPECT_EQ(1, sent);
}

} // namespace
} // namespace MorlentHost
