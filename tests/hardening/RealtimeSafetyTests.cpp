// Proves the audio thread never allocates and never takes a mutex: this program replaces the
// allocator and the mutex lock for the whole process (the loaded module included) and counts
// the calls made while the audio thread is inside processEvents or processReplacing.

#include "tests/support/EffectCalls.h"
#include "tests/support/EventList.h"
#include "tests/support/HostDriver.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "tests/support/AudioThreadCounters.h"

namespace {

using namespace TestSupport;

TEST(RealtimeSafety, CountersSeeAllocationsAndLocksMadeInsideAnAudioCall)
{
    insideAudioCall = true;
    auto* probe = new std::vector<int>(100);
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_mutex_lock(&mutex);
    pthread_mutex_unlock(&mutex);
    delete probe;
    insideAudioCall = false;
    EXPECT_GE(audioAllocations.exchange(0), 2);
    EXPECT_EQ(1, audioLocks.exchange(0));
}

TEST(RealtimeSafety, CountersReachIntoTheLoadedModule)
{
    // More events in one block than the queue reserves: growing it is the one allocation the
    // module may make, and it must show up here, or the counters would prove nothing.
    StandInHost::ResetQuiet();
    const HostDriver module(MORLENT_MODULE_PATH);
    ASSERT_TRUE(module.Loaded());
    AEffect* effect = module.Open();
    ASSERT_NE(nullptr, effect);
    const int count = 5000;
    EventList events(count);
    for (int i = 0; i < count; ++i)
        events.Add(0, 0x90, 0, 0);
    audioAllocations.store(0);
    insideAudioCall = true;
    Dispatch(effect, effProcessEvents, 0, 0, events.Events());
    insideAudioCall = false;
    EXPECT_GT(audioAllocations.exchange(0), 0);
    Dispatch(effect, effClose);
}

TEST(RealtimeSafety, AudioThreadNeverAllocatesOrLocks)
{
    StandInHost& host = StandInHost::ResetQuiet();
    const HostDriver module(MORLENT_MODULE_PATH);
    ASSERT_TRUE(module.Loaded());
    AEffect* effect = module.Open();
    ASSERT_NE(nullptr, effect);
    Start(effect, 48000.0f, 256);

    // Learned controllers for three parameters, through a bank as a host restores it.
    const std::vector<uint8_t> bank = Chunk(effect, false);
    const int bindings[12] = {-1, 20, -1, 21, -1, -1, 22, -1, 23, -1, -1, 24};
    std::vector<uint8_t> bound = BankWithBindings(bank, bindings);
    ASSERT_EQ(1, Dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(bound.size()), bound.data()));

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        EventList midi;
        long block = 0;
        while (!stop.load(std::memory_order_relaxed)) {
            for (int i = 0; i < 256; ++i) {
                left[static_cast<size_t>(i)] = std::sin(0.01f * static_cast<float>(block * 256 + i));
                right[static_cast<size_t>(i)] = left[static_cast<size_t>(i)] * 0.5f;
            }
            midi.Clear();
            midi.Add(0, 0x90, 60, 100);
            midi.Add(17, 0xB0, static_cast<uint8_t>(20 + block % 5), static_cast<uint8_t>(block % 128));
            midi.Add(17, 0xB3, 64, 127);
            midi.Add(200, 0x80, 60, 0);
            midi.Add(255, 0xE0, 0, 64);
            float* channels[2] = {left.data(), right.data()};
            insideAudioCall = true;
            Dispatch(effect, effProcessEvents, 0, 0, midi.Events());
            effect->processReplacing(effect, channels, channels, 256);
            insideAudioCall = false;
            if (!std::isfinite(left[0]) || !std::isfinite(right[255]))
                finite.store(false);
            // Tempo and transport changes reach the model on the audio thread.
            if (block % 50 == 0)
                host.time.tempo = block % 100 == 0 ? 90.0 : 140.0;
            if (block % 70 == 0)
                host.time.flags ^= kVstTransportPlaying;
            ++block;
            blocks.store(block, std::memory_order_relaxed);
        }
    });

    // The user-interface thread meanwhile automates, switches programs and saves state.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int round = 0;
    while (std::chrono::steady_clock::now() < until || blocks.load() < 200) {
        for (int index = 0; index < 12; ++index)
            effect->setParameter(effect, index, static_cast<float>((round + index) % 11) / 10.0f);
        Dispatch(effect, effSetProgram, 0, round % 4);
        SetChunk(effect, Chunk(effect, true), true);
        if (round % 10 == 0)
            SetChunk(effect, bound, false);
        ++round;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop.store(true);
    audio.join();

    EXPECT_EQ(0, audioAllocations.load()) << "allocations on the audio thread in " << blocks.load() << " blocks";
    EXPECT_EQ(0, audioLocks.load()) << "mutex locks on the audio thread";
    EXPECT_TRUE(finite.load());
    EXPECT_GT(host.Count(audioMasterAutomate), 0);
    Dispatch(effect, effMainsChanged, 0, 0);
    Dispatch(effect, effClose);
}

} // namespace
