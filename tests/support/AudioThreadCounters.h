#pragma once
// Counts the allocations and mutex locks made while the calling thread has set insideAudioCall:
// the counters and the replaced allocator a real-time test needs. Include it in exactly one file
// of a program, as CountingAllocator.h, which it brings with it.

#include <atomic>

namespace {

// The executable's own thread-local storage: reading it never allocates.
thread_local bool insideAudioCall = false;
std::atomic<long> audioAllocations{0};
std::atomic<long> audioLocks{0};

void CountAllocation()
{
    if (insideAudioCall)
        audioAllocations.fetch_add(1, std::memory_order_relaxed);
}

void CountMutexLock()
{
    if (insideAudioCall)
        audioLocks.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

#include "tests/support/CountingAllocator.h"
