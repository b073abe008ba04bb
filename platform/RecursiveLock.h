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
