// Large arrays freed during a run are kept, poisoned, and handed out again from the next input
// on. ASan maps each array this large afresh and unmaps it when freed; on this kind of machine
// touching the fresh pages costs about a millisecond for the pair of delay lines a rate change
// allocates, more than all the rest of an input, and each rate has lines of its own length.
// A kept array is handed out for its own size or a smaller one, the smallest that fits: only
// the size asked for is made addressable, the rest stays poisoned, so bounds stay exact. It
// stays poisoned while kept, so a use after free is still caught while it waits, and always
// within the input that freed it.

#include "fuzz/KeptBlocks.h"

#include <sanitizer/allocator_interface.h>
#include <sanitizer/asan_interface.h>

#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr std::size_t kSmallestKept = 64 * 1024;
constexpr int kMostKept = 16;

struct Kept {
    void* address;
    std::size_t size;
    bool reusable; // freed before the current input began
};

std::mutex guard;
Kept kept[kMostKept];
int keptCount = 0;

// Null when the allocator has nothing to give.
void* Allocate(std::size_t size)
{
    if (size >= kSmallestKept) {
        const std::lock_guard<std::mutex> lock(guard);
        int best = -1;
        for (int i = 0; i < keptCount; ++i) {
            if (kept[i].reusable && kept[i].size >= size && (best < 0 || kept[i].size < kept[best].size))
                best = i;
        }
        if (best >= 0) {
            void* address = kept[best].address;
            kept[best] = kept[--keptCount];
            ASAN_UNPOISON_MEMORY_REGION(address, size);
            return address;
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void Release(void* address)
{
    if (address == nullptr)
        return;
    const std::size_t size = __sanitizer_get_allocated_size(address);
    if (size >= kSmallestKept) {
        const std::lock_guard<std::mutex> lock(guard);
        if (keptCount == kMostKept) {
            // The smallest goes back to the allocator: a larger array serves more sizes.
            int smallest = 0;
            for (int i = 1; i < keptCount; ++i) {
                if (kept[i].size < kept[smallest].size)
                    smallest = i;
            }
            if (kept[smallest].size >= size) {
                std::free(address);
                return;
            }
            ASAN_UNPOISON_MEMORY_REGION(kept[smallest].address, kept[smallest].size);
            std::free(kept[smallest].address);
            kept[smallest] = kept[--keptCount];
        }
        ASAN_POISON_MEMORY_REGION(address, size);
        kept[keptCount++] = Kept{address, size, false};
        return;
    }
    std::free(address);
}

} // namespace

namespace FuzzSupport {

void StartInput()
{
    const std::lock_guard<std::mutex> lock(guard);
    for (int i = 0; i < keptCount; ++i)
        kept[i].reusable = true;
}

} // namespace FuzzSupport

// Every form of new[] and delete[] the code uses, so that no array crosses between these and
// the sanitizer's own.
void* operator new[](std::size_t size)
{
    void* address = Allocate(size);
    if (address == nullptr)
        throw std::bad_alloc();
    return address;
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete[](void* address) noexcept
{
    Release(address);
}

void operator delete[](void* address, std::size_t) noexcept
{
    Release(address);
}

void operator delete[](void* address, const std::nothrow_t&) noexcept
{
    Release(address);
}
