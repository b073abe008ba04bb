#pragma once
// Four single-precision lanes, for the delay engines' sample loops: either the two channels of
// one frame side by side or four consecutive frames of one channel. Each lane operation is the
// same IEEE single-precision step as the scalar one, so results are bit for bit the per-sample
// arithmetic while several samples share an instruction. GCC and clang vector extensions:
// compilers without SIMD for them lower the operations to scalar code.

#include <cstdint>
#include <cstring>

namespace Lanes4 {

typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t LaneBits __attribute__((vector_size(16)));

inline Lanes Both(float value) noexcept
{
    return Lanes{value, value, value, value};
}

inline Lanes Load(const float* samples) noexcept
{
    Lanes lanes;
    std::memcpy(&lanes, samples, sizeof lanes);
    return lanes;
}

inline void Store(float* samples, Lanes lanes) noexcept
{
    std::memcpy(samples, &lanes, sizeof lanes);
}

// Loads up to four samples, zeros beyond the end.
inline Lanes LoadUpTo(const float* samples, int32_t available) noexcept
{
    if (available >= 4)
        return Load(samples);
    Lanes lanes = Both(0.0f);
    for (int32_t i = 0; i < available; ++i)
        lanes[i] = samples[i];
    return lanes;
}

inline void StoreUpTo(float* samples, Lanes lanes, int32_t available) noexcept
{
    if (available >= 4) {
        Store(samples, lanes);
        return;
    }
    for (int32_t i = 0; i < available; ++i)
        samples[i] = lanes[i];
}

} // namespace Lanes4
