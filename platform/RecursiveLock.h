#pragma once

#include <memory>

namespace Platform {

// A lock one thread may take again while it holds it: a critical section on Windows, a
// recursive mutex elsewhere. Any thread.
class RecursiveLock {
public:
    RecursiveLock();
    ~RecursiveLock();
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Lock() noexcept;
    void Unlock() noexcept;

private:
    struct System;
    std::unique_ptr<System> system;
};

// What a test may watch of every RecursiveLock: each call and when the lock is taken. One
// relaxed load per call when no hook is set, as in every shipped module.
enum class LockEvent { Waiting, Acquired, Released };
using LockHook = void (*)(const RecursiveLock& lock, LockEvent event);
void SetLockHook(LockHook hook) noexcept;

// Holds a lock for a scope.
template <typename Lockable> class ScopedLock {
public:
    explicit ScopedLock(Lockable& lockable) : lockable(lockable) { lockable.Lock(); }
    ~ScopedLock() { lockable.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    Lockable& lockable;
};

} // namespace Platform
