#include "platform/RecursiveLock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

namespace Platform {

#ifdef _WIN32
struct RecursiveLock::System {
    CRITICAL_SECTION section;
    System() { InitializeCriticalSection(&section); }
    ~System() { DeleteCriticalSection(&section); }
};

void RecursiveLock::Lock() noexcept
{
    EnterCriticalSection(&system->section);
}

void RecursiveLock::Unlock() noexcept
{
    LeaveCriticalSection(&system->section);
}
#else
struct RecursiveLock::System {
    std::recursive_mutex mutex;
};

void RecursiveLock::Lock() noexcept
{
    system->mutex.lock();
}

void RecursiveLock::Unlock() noexcept
{
    system->mutex.unlock();
}
#endif

RecursiveLock::RecursiveLock() : system(new System) {}

RecursiveLock::~RecursiveLock() = default;

} // namespace Platform
