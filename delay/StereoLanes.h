#pragma once
// The 64-bit engine's lane operations on top of the lane primitives: masks, selects, signs,
// minima and maxima, the channels' exchange, and the split of a delay into its read position.
// x86 builds test lane masks with one instruction and step both channels in one vector's lanes;
// other builds take the plain scalar form of the same steps, with the same results.

#include "dsp/Lanes.h"

#include <cstdint>

#if (defined(__SSE__) || defined(__x86_64__)) && !defined(MORLENT_SCALAR_LANES)
#define MORLENT_X86_LANES 1
#include <xmmintrin.h>
#else
#define MORLENT_X86_LANES 0
#endif

namespace DelayLoops {

using namespace Lanes4;

// The two channels' lanes exchanged, for cross-feedback.
inline Lanes SwapChannels(Lanes lanes) noexcept
{
#ifdef __clang__
    return __builtin_shufflevector(lanes, lanes, 1, 0, 2, 3);
#else
    return __builtin_shuffle(lanes, LaneBits{1, 0, 2, 3});
#endif
}

inline Lanes Magnitude(Lanes value) noexcept
{
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneBits>(value) & 0x7fffffff);
}

// The magnitude of one with the sign of the other.
inline Lanes WithSign(Lanes magnitude, Lanes sign) noexcept
{
    const LaneBits signBit = reinterpret_cast<LaneBits>(sign) & static_cast<int32_t>(0x80000000u);
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneBits>(magnitude) | signBit);
}

// Per lane, a where the mask is set and b elsewhere.
inline Lanes Select(LaneBits mask, Lanes a, Lanes b) noexcept
{
    return reinterpret_cast<Lanes>((mask & reinterpret_cast<LaneBits>(a)) | (~mask & reinterpret_cast<LaneBits>(b)));
}

// Whether a mask is set in either channel's lane (lanes 0 and 1).
inline bool Channels(LaneBits mask) noexcept
{
#if MORLENT_X86_LANES
    return (_mm_movemask_ps(reinterpret_cast<__m128>(mask)) & 3) != 0;
#else
    return (mask[0] | mask[1]) != 0;
#endif
}

// Whether a mask is set in any lane.
inline bool AnyLane(LaneBits mask) noexcept
{
#if MORLENT_X86_LANES
    return _mm_movemask_ps(reinterpret_cast<__m128>(mask)) != 0;
#else
    return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
#endif
}

inline Lanes Smaller(Lanes a, Lanes b) noexcept
{
#if MORLENT_X86_LANES
    return reinterpret_cast<Lanes>(_mm_min_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
#else
    return a < b ? a : b;
#endif
}

inline Lanes Larger(Lanes a, Lanes b) noexcept
{
#if MORLENT_X86_LANES
    return reinterpret_cast<Lanes>(_mm_max_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
#else
    return a > b ? a : b;
#endif
}

// A delay in samples as its read position: whole samples back, and the fraction of the way to
// the newer neighbour.
inline void SplitDelay(Lanes delay, LaneBits& whole, Lanes& fraction) noexcept
{
    whole = __builtin_convertvector(delay, LaneBits);
    fraction = delay - __builtin_convertvector(whole, Lanes);
}

// The previous group's last lane followed by this group's first three.
inline Lanes ShiftIn(Lanes previous, Lanes lanes) noexcept
{
#if MORLENT_X86_LANES
    const __m128 edge = _mm_shuffle_ps(reinterpret_cast<__m128>(previous), reinterpret_cast<__m128>(lanes),
                                       _MM_SHUFFLE(0, 0, 3, 3));
    return reinterpret_cast<Lanes>(_mm_shuffle_ps(edge, reinterpret_cast<__m128>(lanes), _MM_SHUFFLE(2, 1, 2, 0)));
#elif defined(__clang__)
    return __builtin_shufflevector(previous, lanes, 3, 4, 5, 6);
#else
    return __builtin_shuffle(previous, lanes, LaneBits{3, 4, 5, 6});
#endif
}

} // namespace DelayLoops
