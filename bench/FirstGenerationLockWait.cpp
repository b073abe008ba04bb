// How long the first generation's audio thread waits for the model's lock while the interface
// thread does everything it can (FirstGenerationHost.h): the longest wait and the 99.9th
// percentile over the run, and the allocations made while the interface thread holds the lock,
// which the audio thread would wait through. Exits non-zero when an allocation happens under the
// lock, a sample goes non-finite or the lock order breaks.
//
//     first_generation_lock_wait [SECONDS]   (60 by default)

#include "tests/hardening/FirstGenerationHost.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

using namespace FirstGenerationHost;
using Clock = std::chrono::steady_clock;

constexpr size_t kBuckets = 200000; // one microsecond each

thread_local bool audioThread = false;
thread_local bool interfaceThread = false;
thread_local Clock::time_point waitStart;
std::vector<uint64_t>* histogram = nullptr;
std::atomic<int64_t> longestWait{0};
std::atomic<long> waits{0};
std::atomic<long> allocationsUnderLock{0};

void Watch(const Platform::RecursiveLock& lock, Platform::LockEvent event)
{
    TrackLockOrder(lock, event);
    if (!audioThread || &lock != LockOrder::modelLock)
        return;
    // Only the block's own lock can wait: the audio thread takes it again inside, held already.
    if (event == Platform::LockEvent::Waiting && LockOrder::modelDepth == 0) {
        waitStart = Clock::now();
    } else if (event == Platform::LockEvent::Acquired && LockOrder::modelDepth == 1) {
        const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - waitStart).count();
        const size_t bucket = static_cast<size_t>(ns / 1000);
        ++(*histogram)[bucket < kBuckets ? bucket : kBuckets - 1];
        waits.fetch_add(1, std::memory_order_relaxed);
        if (ns > longestWait.load(std::memory_order_relaxed))
            longestWait.store(ns, std::memory_order_relaxed);
    }
}

double Percentile(double fraction)
{
    const long total = waits.load();
    long seen = 0;
    for (size_t bucket = 0; bucket < kBuckets; ++bucket) {
        seen += static_cast<long>((*histogram)[bucket]);
        if (static_cast<double>(seen) >= fraction * static_cast<double>(total))
            return static_cast<double>(bucket + 1); // the bucket's upper edge, in microseconds
    }
    return static_cast<double>(kBuckets);
}

} // namespace

// The replacements pair malloc with free themselves.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size)
{
    if (interfaceThread && LockOrder::modelDepth > 0)
        allocationsUnderLock.fetch_add(1, std::memory_order_relaxed);
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr)
        throw std::bad_alloc();
    return pointer;
}
void* operator new[](size_t size)
{
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size, std::nothrow);
}
void operator delete(void* pointer) noexcept
{
    std::free(pointer);
}
void operator delete[](void* pointer) noexcept
{
    std::free(pointer);
}
void operator delete(void* pointer, size_t) noexcept
{
    std::free(pointer);
}
void operator delete[](void* pointer, size_t) noexcept
{
    std::free(pointer);
}

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    histogram = new std::vector<uint64_t>(kBuckets);
    TestSupport::StandInHost::ResetQuiet();
    TestSupport::FirstGenerationPlugin instance;
    ViewStandIn view;
    instance.model->AddObserver(&view);
    LockOrder::modelLock = FindModelLock(*instance.model);
    Platform::SetLockHook(Watch);
    TestSupport::Start(instance.record, 44100.0f, 4096);
    instance.record->setParameter(instance.record, MorlentDelay::kFeedbackLevel, 1.0f);

    Audio audio;
    Interface ui(instance, view);
    std::thread audioWorker([&] {
        audioThread = true;
        audio.Run(instance.record);
    });
    interfaceThread = true;
    const auto until = Clock::now() + std::chrono::microseconds(static_cast<long>(seconds * 1e6));
    int round = 0;
    while (Clock::now() < until)
        ui.Round(round++);
    audio.stop.store(true);
    audioWorker.join();
    interfaceThread = false;
    Platform::SetLockHook(nullptr);
    instance.model->RemoveObserver(&view);

    std::printf("first generation, audio thread waiting for the model's lock over %.0f s\n", seconds);
    std::printf("  blocks %ld, interface rounds %d, lock waits %ld\n", audio.blocks.load(), round, waits.load());
    std::printf("  longest wait %.1f us, 99.9th percentile <= %.0f us, 99th <= %.0f us, median <= %.0f us\n",
                static_cast<double>(longestWait.load()) / 1000.0, Percentile(0.999), Percentile(0.99),
                Percentile(0.5));
    std::printf("  allocations while the interface thread held the lock: %ld\n", allocationsUnderLock.load());
    std::printf("  lock-order violations: %ld, non-finite samples: %ld\n", LockOrder::violations.load(),
                audio.badSamples.load());
    return allocationsUnderLock.load() == 0 && LockOrder::violations.load() == 0 && audio.badSamples.load() == 0 ? 0
                                                                                                                : 1;
}
