// A host's two threads at once against the loaded module: the audio thread processes without
// pause while the user-interface thread changes everything it can. Run under ThreadSanitizer
// too; MORLENT_STRESS_SECONDS makes the runs longer.

#include "tests/support/EffectCalls.h"
#include "tests/support/EventList.h"
#include "tests/support/HostDriver.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace TestSupport;

std::chrono::milliseconds RunTime()
{
    const char* seconds = std::getenv("MORLENT_STRESS_SECONDS");
    return std::chrono::milliseconds(seconds != nullptr ? static_cast<long>(std::atof(seconds) * 1000.0) : 1000);
}

class ConcurrentHost : public ::testing::Test, protected EffectCalls {
protected:
    ConcurrentHost() : EffectCalls(effect) {}
    void SetUp() override
    {
        StandInHost::ResetQuiet();
        module = std::make_unique<HostDriver>(MORLENT_MODULE_PATH);
        ASSERT_TRUE(module->Loaded());
        effect = module->Open();
        ASSERT_NE(nullptr, effect);
        Start(44100.0f, 512);
    }
    void TearDown() override
    {
        StopAudio();
        if (effect != nullptr)
            Dispatch(effClose);
    }

    // The audio thread: loud noise with MIDI, blocks of changing length, checking every sample.
    void StartAudio()
    {
        audio = std::thread([this] {
            std::vector<float> left(1024), right(1024);
            EventList midi;
            uint32_t noise = 12345;
            long block = 0;
            while (!stop.load(std::memory_order_relaxed)) {
                if (paused.load(std::memory_order_acquire)) {
                    idle.store(true, std::memory_order_release);
                    std::this_thread::yield();
                    continue;
                }
                idle.store(false, std::memory_order_release);
                const int frames = 1 + static_cast<int>(block * 37 % 1024);
                for (int i = 0; i < frames; ++i) {
                    noise = noise * 1664525u + 1013904223u;
                    left[static_cast<size_t>(i)] = static_cast<float>(static_cast<int32_t>(noise)) / 2.2e9f;
                    right[static_cast<size_t>(i)] = -left[static_cast<size_t>(i)];
                }
                midi.Clear();
                midi.Add(frames / 2, 0xB0, 30, static_cast<uint8_t>(block % 128));
                midi.Add(frames - 1, 0x90, 64, 90);
                float* channels[2] = {left.data(), right.data()};
                effect->dispatcher(effect, effProcessEvents, 0, 0, midi.Events(), 0.0f);
                effect->processReplacing(effect, channels, channels, frames);
                for (int i = 0; i < frames; ++i)
                    if (!std::isfinite(left[static_cast<size_t>(i)]) || std::fabs(left[static_cast<size_t>(i)]) > 8.0f ||
                        !std::isfinite(right[static_cast<size_t>(i)]) || std::fabs(right[static_cast<size_t>(i)]) > 8.0f)
                        badSamples.fetch_add(1, std::memory_order_relaxed);
                blocks.fetch_add(1, std::memory_order_relaxed);
                ++block;
            }
        });
    }
    void StopAudio()
    {
        stop.store(true);
        if (audio.joinable())
            audio.join();
    }
    // As a host does around suspend: no processing call runs until resumed.
    void PauseAudio()
    {
        paused.store(true, std::memory_order_release);
        while (audio.joinable() && !idle.load(std::memory_order_acquire))
            std::this_thread::yield();
    }
    void ResumeAudio() { paused.store(false, std::memory_order_release); }

    std::unique_ptr<HostDriver> module;
    AEffect* effect = nullptr;
    std::thread audio;
    std::atomic<bool> stop{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> idle{false};
    std::atomic<long> blocks{0};
    std::atomic<long> badSamples{0};
};

TEST_F(ConcurrentHost, EverythingAtOnceEndsInTheStateLastAskedFor)
{
    std::vector<uint8_t> bank = Chunk(false);
    const int bindings[12] = {-1, -1, -1, -1, -1, -1, 30, -1, -1, -1, -1, -1};
    const std::vector<uint8_t> bound = BankWithBindings(bank, bindings);
    ASSERT_EQ(1, Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bound.size()), const_cast<uint8_t*>(bound.data())));
    effect->setParameter(effect, 6, 1.0f); // full feedback, limited in the loop
    StartAudio();

    const auto until = std::chrono::steady_clock::now() + RunTime();
    int round = 0;
    float last[12] = {};
    while (std::chrono::steady_clock::now() < until || blocks.load() < 100) {
        const int program = round % 32;
        Dispatch(effSetProgram, 0, program);
        char name[32];
        std::snprintf(name, sizeof name, "Round %d", round);
        Dispatch(effSetProgramName, 0, 0, name);
        for (int index = 0; index < 12; ++index) {
            if (index == 6)
                continue; // driven by the controller from the audio thread
            last[index] = static_cast<float>((round * 7 + index) % 101) / 100.0f;
            effect->setParameter(effect, index, last[index]);
        }
        std::vector<uint8_t> program1 = Chunk(true);
        ASSERT_EQ(1, Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(program1.size()), program1.data()));
        if (round % 16 == 0) {
            std::vector<uint8_t> whole = Chunk(false);
            ASSERT_EQ(1, Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(whole.size()), whole.data()));
        }
        char text[64];
        Dispatch(effGetParamDisplay, round % 12, 0, text);
        ++round;
    }
    StopAudio();

    EXPECT_EQ(0, badSamples.load());
    const int program = (round - 1) % 32;
    EXPECT_EQ(program, Dispatch(effGetProgram));
    char name[32] = {};
    Dispatch(effGetProgramName, 0, 0, name);
    EXPECT_EQ("Round " + std::to_string(round - 1), std::string(name));
    for (int index = 0; index < 12; ++index)
        if (index != 6) {
            EXPECT_EQ(last[index], effect->getParameter(effect, index)) << index;
        }
    // The binding survived every bank round trip.
    std::vector<uint8_t> finalBank = Chunk(false);
    ASSERT_EQ(2481u, finalBank.size());
    EXPECT_EQ(1, finalBank[2474]);
    EXPECT_EQ(30, finalBank[2475]);
}

TEST_F(ConcurrentHost, SampleRateChangesBetweenSuspendAndResume)
{
    StartAudio();
    const float rates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f};
    const auto until = std::chrono::steady_clock::now() + RunTime();
    int round = 0;
    while (std::chrono::steady_clock::now() < until || round < 14) {
        PauseAudio();
        Dispatch(effMainsChanged, 0, 0);
        Dispatch(effSetSampleRate, 0, 0, nullptr, rates[round % 7]);
        Dispatch(effSetBlockSize, 0, 1024);
        Dispatch(effMainsChanged, 0, 1);
        ResumeAudio();
        const long seen = blocks.load();
        while (blocks.load() < seen + 3)
            std::this_thread::yield();
        ++round;
    }
    StopAudio();
    EXPECT_EQ(0, badSamples.load());
}

TEST_F(ConcurrentHost, SampleRateChangesWhileProcessingAreSafe)
{
    // Not what hosts should do, but some do: the line swap must wait for the audio thread.
    StartAudio();
    const auto until = std::chrono::steady_clock::now() + RunTime();
    int round = 0;
    while (std::chrono::steady_clock::now() < until || round < 50) {
        Dispatch(effSetSampleRate, 0, 0, nullptr, round % 2 == 0 ? 96000.0f : 44100.0f);
        Dispatch(effSetSampleRate, 0, 0, nullptr, round % 3 == 0 ? 22050.0f : 48000.0f);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        ++round;
    }
    StopAudio();
    EXPECT_EQ(0, badSamples.load());
}

} // namespace
