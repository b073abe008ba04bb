#pragma once
// Replaces the process's allocator entry points and pthread_mutex_lock with ones that report
// each call before doing it, so a test program can count what happens inside the calls it
// watches (the loaded module's included). Include it in exactly one file of a program, after
// that file has defined void CountAllocation() and void CountMutexLock(); both must neither
// allocate nor lock.

#include <dlfcn.h>
#include <pthread.h>

#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace CountingAllocator {
using MutexLock = int (*)(pthread_mutex_t*);
// Found before main, so looking it up never happens inside a counted call.
inline MutexLock realMutexLock = reinterpret_cast<MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
} // namespace CountingAllocator

extern "C" {
void* malloc(size_t size)
{
    CountAllocation();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size)
{
    CountAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size)
{
    CountAllocation();
    return __libc_realloc(pointer, size);
}
void free(void* pointer)
{
    if (pointer != nullptr)
        CountAllocation();
    __libc_free(pointer);
}
int posix_memalign(void** out, size_t alignment, size_t size)
{
    CountAllocation();
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr)
        return 12; // ENOMEM
    *out = pointer;
    return 0;
}
void* aligned_alloc(size_t alignment, size_t size)
{
    CountAllocation();
    return __libc_memalign(alignment, size);
}
int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    CountMutexLock();
    using CountingAllocator::realMutexLock;
    if (realMutexLock == nullptr)
        realMutexLock = reinterpret_cast<CountingAllocator::MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    return realMutexLock(mutex);
}
}

void* operator new(size_t size)
{
    void* pointer = malloc(size == 0 ? 1 : size);
    if (pointer == nullptr)
        throw std::bad_alloc();
    return pointer;
}
void* operator new[](size_t size)
{
    return operator new(size);
}
void operator delete(void* pointer) noexcept
{
    free(pointer);
}
void operator delete[](void* pointer) noexcept
{
    free(pointer);
}
void operator delete(void* pointer, size_t) noexcept
{
    free(pointer);
}
void operator delete[](void* pointer, size_t) noexcept
{
    free(pointer);
}
