// Checks that reusing kept arrays hides no fault from ASan. Each mode is its own process: the
// faulting ones must end in ASan's report, the reuse one must show the reuse happened, or the
// faulting modes would pass on the sanitizer's own redzones and prove nothing.

#include "fuzz/KeptBlocks.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kLarge = 1 << 18; // floats: a megabyte
constexpr int kSmaller = 100003;

float* Escaped(float* array)
{
    asm volatile("" : : "r"(array) : "memory");
    return array;
}

float Read(const float* array, int index)
{
    return *static_cast<const volatile float*>(array + index);
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    float* large = Escaped(new float[kLarge]());
    if (std::strcmp(mode, "after-free") == 0) {
        delete[] large;
        FuzzSupport::StartInput();
        return static_cast<int>(Read(large, 7));
    }
    delete[] large;
    FuzzSupport::StartInput();
    float* smaller = Escaped(new float[kSmaller]());
    if (std::strcmp(mode, "reuse") == 0) {
        if (smaller != large) {
            std::puts("a smaller array did not reuse the kept one");
            return 1;
        }
        std::puts("reused");
        return static_cast<int>(Read(smaller, kSmaller - 1));
    }
    if (std::strcmp(mode, "past-end") == 0)
        return static_cast<int>(Read(smaller, kSmaller));
    std::puts("usage: kept_blocks_check reuse|past-end|after-free");
    return 2;
}
