// The first generation's audio thread never allocates, and takes no lock but the model's, once
// per designed use: once per processReplacing and per non-empty processEvents, and once more
// per controller message inside a block (a learned controller changes values under it). While
// the interface thread holds the model's lock it never allocates, so no wait of the audio thread
// includes an allocation or a chunk's copy. This program replaces the allocator and the mutex
// lock for the whole process, and watches the recursive lock through its test hook.

#include "tests/hardening/FirstGenerationHost.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <cstdlib>
#include <new>

namespace {

using namespace FirstGenerationHost;

thread_local bool insideAudioCall = false;
thread_local bool interfaceThread = false;
std::atomic<long> audioAllocations{0};
std::atomic<long> audioMutexLocks{0};
std::atomic<long> audioModelLocks{0};
std::atomic<long> audioOtherLocks{0};
std::atomic<long> allocationsUnderInterfaceLock{0};


void CountAllocation()
{
    if (insideAudioCall)
        audioAllocations.fetch_add(1, std::memory_order_relaxed);
    if (interfaceThread && LockOrder::modelDepth > 0)
        allocationsUnderInterfaceLock.fetch_add(1, std::memory_order_relaxed);
}

void CountMutexLock()
{
    if (insideAudioCall)
        audioMutexLocks.fetch_add(1, std::memory_order_relaxed);
}

void Watch(const Platform::RecursiveLock& lock, Platform::LockEvent event)
{
    TrackLockOrder(lock, event);
    if (!insideAudioCall || event != Platform::LockEvent::Waiting)
        return;
    (&lock == LockOrder::modelLock ? audioModelLocks : audioOtherLocks).fetch_add(1, std::memory_order_relaxed);
}

} // namespace

#include "tests/support/CountingAllocator.h"

namespace {

class FirstGenerationRealtime : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::StandInHost::ResetQuiet();
        instance = std::make_unique<TestSupport::FirstGenerationPlugin>();
        LockOrder::modelLock = FindModelLock(*instance->model);
        ASSERT_NE(nullptr, LockOrder::modelLock);
        for (auto* counter : {&audioAllocations, &audioMutexLocks, &audioModelLocks, &audioOtherLocks,
                              &allocationsUnderInterfaceLock})
            counter->store(0);
        Platform::SetLockHook(Watch);
    }
    void TearDown() override
    {
        Platform::SetLockHook(nullptr);
        instance.reset();
    }
    std::unique_ptr<TestSupport::FirstGenerationPlugin> instance;
};

TEST_F(FirstGenerationRealtime, TheCountersSeeWhatTheyCount)
{
    // Beyond the queue's reserve, the one allocation the audio thread may make must show, and so
    // must each lock: one per processEvents, one per processReplacing, one per controller.
    TestSupport::EventList events(5001);
    for (int i = 0; i < 5000; ++i)
        events.Add(0, 0x90, 60, 1);
    events.Add(0, 0xB0, 7, 1);
    insideAudioCall = true;
    TestSupport::Dispatch(instance->record, effProcessEvents, 0, 0, events.Events());
    insideAudioCall = false;
    EXPECT_GT(audioAllocations.exchange(0), 0);
    std::vector<float> left(64), right(64);
    float* channels[2] = {left.data(), right.data()};
    TestSupport::EventList controllers;
    controllers.Add(3, 0xB0, 7, 1);
    controllers.Add(9, 0xB2, 8, 1);
    insideAudioCall = true;
    TestSupport::Dispatch(instance->record, effProcessEvents, 0, 0, controllers.Events());
    instance->record->processReplacing(instance->record, channels, channels, 64);
    insideAudioCall = false;
    EXPECT_EQ(2 + 1 + 3, audioModelLocks.load()); // two lists, one block, three controllers in it
    EXPECT_EQ(audioModelLocks.load(), audioMutexLocks.load());
}

TEST_F(FirstGenerationRealtime, AudioThreadAllocatesNothingAndTakesOnlyTheModelsLockAsDesigned)
{
    // The view drains, unregistered: its lock would be the audio thread's one other designed lock.
    ViewStandIn view;
    TestSupport::Start(instance->record, 48000.0f, 4096);
    Interface ui(*instance, view);
    std::atomic<bool> stop{false};
    std::atomic<long> expectedLocks{0};
    std::atomic<long> blocks{0};
    std::thread audio([&] {
        std::vector<float> left(4096), right(4096);
        TestSupport::EventList midi(16);
        for (long block = 0; !stop.load(std::memory_order_relaxed) || block < 300; ++block) {
            const int frames = 1 + static_cast<int>((block * 733) % 4096);
            for (int i = 0; i < frames; ++i)
                left[static_cast<size_t>(i)] = right[static_cast<size_t>(i)] = std::sin(0.01f * static_cast<float>(i));
            midi.Clear();
            midi.Add(0, 0x90, 60, 100);
            midi.Add(frames / 3, 0xB0, kLearnedController, static_cast<uint8_t>(block % 128));
            midi.Add(frames / 2, 0xE0, 0, 64);
            midi.Add(frames - 1, 0xB0, kOtherController, static_cast<uint8_t>(block % 128));
            float* channels[2] = {left.data(), right.data()};
            insideAudioCall = true;
            TestSupport::Dispatch(instance->record, effProcessEvents, 0, 0, midi.Events());
            instance->record->processReplacing(instance->record, channels, channels, frames);
            insideAudioCall = false;
            expectedLocks.fetch_add(1 + 1 + 2, std::memory_order_relaxed);
            // A tempo that changes reaches the model on this thread.
            if (block % 50 == 0)
                TestSupport::StandInHost::Instance().time.tempo = block % 100 == 0 ? 90.0 : 140.0;
            blocks.store(block + 1, std::memory_order_relaxed);
        }
    });
    interfaceThread = true;
    for (int round = 0; round < 400 || blocks.load() < 300; ++round)
        ui.Round(round);
    interfaceThread = false;
    stop.store(true);
    audio.join();

    EXPECT_EQ(0, audioAllocations.load()) << "allocations on the audio thread in " << blocks.load() << " blocks";
    EXPECT_EQ(expectedLocks.load(), audioModelLocks.load());
    EXPECT_EQ(0, audioOtherLocks.load());
    EXPECT_EQ(audioModelLocks.load(), audioMutexLocks.load()) << "a mutex besides the model's lock";
    EXPECT_EQ(0, allocationsUnderInterfaceLock.load()) << "the interface thread allocated holding the lock";
    EXPECT_EQ(0, LockOrder::violations.load());
}

} // namespace
