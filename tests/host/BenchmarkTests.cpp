#include "host/Benchmark.h"

#include <gtest/gtest.h>

#include <cmath>

namespace MorlentHost {
namespace {

// A plug-in that keeps every input sample it is handed and the time information of each block.
struct RecordingPlugin {
    AEffect record{};
    VstTimeInfo* time = nullptr;
    std::vector<int> blockFrames;
    std::vector<VstTimeInfo> times;
    std::vector<std::vector<float>> received{2};

    RecordingPlugin()
    {
        record.magic = kEffectMagic;
        record.numInputs = 2;
        record.numOutputs = 2;
        record.flags = effFlagsCanReplacing;
        record.object = this;
        record.dispatcher = [](AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return 0; };
        record.processReplacing = [](AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
            auto* self = static_cast<RecordingPlugin*>(effect->object);
            self->blockFrames.push_back(frames);
            self->times.push_back(*self->time);
            for (int c = 0; c < 2; ++c) {
                self->received[c].insert(self->received[c].end(), inputs[c], inputs[c] + frames);
                for (VstInt32 i = 0; i < frames; ++i)
                    outputs[c][i] = inputs[c][i];
            }
        };
    }
};

TEST(Benchmark, NoiseIsTheSameEveryTimeCentredAndInRange)
{
    const std::vector<float> first = Noise(48000, 1), again = Noise(48000, 1), other = Noise(48000, 2);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    double sum = 0.0, squares = 0.0;
    for (float sample : first) {
        ASSERT_GE(sample, -0.5f);
        ASSERT_LT(sample, 0.5f);
        sum += sample;
        squares += static_cast<double>(sample) * sample;
    }
    // Uniform in -0.5..0.5: mean 0, mean square 1/12.
    EXPECT_NEAR(0.0, sum / 48000, 0.01);
    EXPECT_NEAR(1.0 / 12.0, squares / 48000, 0.002);
}

TEST(Benchmark, RunsEveryFrameInBlocksWithTimeInformationAndLoopingNoise)
{
    RecordingPlugin fake;
    auto plugin = PluginInstance::Adopt(&fake.record);
    fake.time = &plugin->Host().time;
    BenchJob job;
    job.blockSize = 300; // does not divide the one-second period of 8000 frames
    job.sampleRate = 8000.0;
    job.warmUpFrames = 1000;
    job.frames = 19850;
    int64_t lastDone = 0, reports = 0;
    job.progress = [&](int64_t done, int64_t total) {
        EXPECT_EQ(job.frames, total);
        EXPECT_GT(done, lastDone);
        lastDone = done;
        ++reports;
    };
    BenchResult result;
    std::string error;
    ASSERT_TRUE(Benchmark(*plugin, job, result, error)) << error;

    EXPECT_EQ(job.frames, result.frames);
    EXPECT_GT(result.seconds, 0.0);
    EXPECT_EQ(job.frames, lastDone);
    // The warm-up ends on a short block of its own; the timed run starts on a full one.
    const std::vector<int> warmUp = {300, 300, 300, 100};
    ASSERT_GT(fake.blockFrames.size(), warmUp.size());
    EXPECT_EQ(warmUp, std::vector<int>(fake.blockFrames.begin(), fake.blockFrames.begin() + 4));
    EXPECT_EQ(static_cast<int64_t>(fake.blockFrames.size() - 4), reports);
    EXPECT_EQ(50, fake.blockFrames.back());

    // The transport runs on through warm-up and timed run alike, one block at a time.
    double position = 0.0;
    for (size_t b = 0; b < fake.times.size(); ++b) {
        ASSERT_EQ(position, fake.times[b].samplePos) << b;
        ASSERT_EQ(8000.0, fake.times[b].sampleRate);
        ASSERT_EQ(b == 0, (fake.times[b].flags & kVstTransportChanged) != 0) << b;
        position += fake.blockFrames[b];
    }

    // Each input is its own noise, repeating exactly every 8000 frames across block edges.
    ASSERT_EQ(20850u, fake.received[0].size());
    EXPECT_EQ(Noise(8000, 1), std::vector<float>(fake.received[0].begin(), fake.received[0].begin() + 8000));
    EXPECT_EQ(Noise(8000, 2), std::vector<float>(fake.received[1].begin(), fake.received[1].begin() + 8000));
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 8000; i < fake.received[c].size(); ++i)
            ASSERT_EQ(fake.received[c][i - 8000], fake.received[c][i]) << "input " << c << " frame " << i;
}

TEST(Benchmark, BlocksLongerThanASecondStillReadNoiseInsideTheirBuffer)
{
    RecordingPlugin fake;
    auto plugin = PluginInstance::Adopt(&fake.record);
    fake.time = &plugin->Host().time;
    BenchJob job;
    job.blockSize = 9000;
    job.sampleRate = 8000.0;
    job.frames = 30000;
    BenchResult result;
    std::string error;
    ASSERT_TRUE(Benchmark(*plugin, job, result, error)) << error;
    EXPECT_EQ((std::vector<int>{9000, 9000, 9000, 3000}), fake.blockFrames);
    for (size_t i = 9000; i < 30000; ++i)
        ASSERT_EQ(fake.received[0][i - 9000], fake.received[0][i]) << i;

    job.frames = 0;
    EXPECT_FALSE(Benchmark(*plugin, job, result, error));
}

} // namespace
} // namespace MorlentHost
