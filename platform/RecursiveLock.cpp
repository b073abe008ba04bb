#include "platform/RecursiveLock.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

namespace Platform {

namespace {

std::atomic<LockHook> lockHook{nullptr};

inline void Tell(const RecursiveLock& lock, LockEvent event)
{
    if (const LockHook hook = lockHook.load(std::memory_order_relaxed))
        hook(lock, event);
}

} // namespace

void SetLockHook(LockHook hook) noexcept
{
    lockHook.store(hook, std::memory_order_relaxed);
}

#ifdef _WIN32
struct RecursiveLock::System {
    CRITICAL_SECTION section;
    System() { InitializeCriticalSection(&section); }
    ~System() { DeleteCriticalSection(&section); }
};

void RecursiveLock::Lock() noexcept
{
    Tell(*this, LockEvent::Waiting);
    EnterCriticalSection(&system->section);
    Tell(*this, LockEvent::Acquired);
}

void RecursiveLock::Unlock() noexcept
{
    Tell(*this, LockEvent::Released);
    LeaveCriticalSection(&system->section);
}
#else
struct RecursiveLock::System {
    std::recursive_mutex mutex;
};

void RecursiveLock::Lock() noexcept
{
    Tell(*this, LockEvent::Waiting);
    system->mutex.lock();
    Tell(*this, LockEvent::Acquired);
}

void RecursiveLock::Unlock() noexcept
{
    Tell(*this, LockEvent::Released);
    system->mutex.unlock();
}
#endif

RecursiveLock::RecursiveLock() : system(new System) {}

RecursiveLock::~RecursiveLock() = default;

} // namespace Platform
