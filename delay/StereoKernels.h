#pragma once
// The 64-bit engine's per-frame kernels, both channels side by side: the input's check, the
// filter step, the delay smoother step, the feedback write with the mix, and the ring copy.
// Each is the same IEEE single-precision arithmetic as the per-sample step it stands for.

#include "delay/DelayTimeSmoother.h"
#include "delay/FeedbackLimiter.h"
#include "delay/FirstOrderFilter.h"
#include "delay/StereoLanes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace DelayLoops {

// Input samples beyond this magnitude carry no sound, only the risk that a sum in the filter
// or the mix overflows to infinity and poisons its state for good; they count as silence, as
// infinities and NaNs do.
constexpr float kLargestInput = 1e30f;

inline Lanes FiniteLanes(Lanes x) noexcept
{
    return Magnitude(x) <= Both(kLargestInput) ? x : Both(0.0f);
}

// Both channels' filters, lanes 0 and 1.
struct FilterPair {
    Lanes gain;
    Lanes pole;
    Lanes previousInput;
    Lanes previousOutput;
};

inline FilterPair LoadFilters(const FirstOrderFilter& left, const FirstOrderFilter& right) noexcept
{
    return FilterPair{Lanes{left.GetGain(), right.GetGain(), 0.0f, 0.0f},
                      Lanes{left.GetCoefficient(), right.GetCoefficient(), 0.0f, 0.0f},
                      Lanes{left.GetPreviousInput(), right.GetPreviousInput(), 0.0f, 0.0f},
                      Lanes{left.GetPreviousOutput(), right.GetPreviousOutput(), 0.0f, 0.0f}};
}

inline void StoreFilters(const FilterPair& filters, FirstOrderFilter& left, FirstOrderFilter& right) noexcept
{
    left.SetStates(filters.previousInput[0], filters.previousOutput[0]);
    right.SetStates(filters.previousInput[1], filters.previousOutput[1]);
}

// FirstOrderFilter::StepLowPass or StepHighPass on both channels of one frame.
template <bool highPass>
inline Lanes FilterStep(FilterPair& filters, Lanes x) noexcept
{
#if MORLENT_X86_LANES
    const Lanes denormal = Both(FirstOrderFilter::kDenormalOffset);
    const Lanes sum = highPass ? x - filters.previousInput : x + filters.previousInput;
    const Lanes y = filters.gain * sum + filters.pole * filters.previousOutput;
    filters.previousOutput = y + denormal;
    filters.previousInput = x + denormal;
    return y;
#else
    Lanes y = Both(0.0f);
    for (int lane = 0; lane < 2; ++lane) {
        float previousInput = filters.previousInput[lane];
        float previousOutput = filters.previousOutput[lane];
        y[lane] = highPass ? FirstOrderFilter::StepHighPass(x[lane], filters.gain[lane], filters.pole[lane],
                                                            previousInput, previousOutput)
                           : FirstOrderFilter::StepLowPass(x[lane], filters.gain[lane], filters.pole[lane],
                                                           previousInput, previousOutput);
        filters.previousInput[lane] = previousInput;
        filters.previousOutput[lane] = previousOutput;
    }
    return y;
#endif
}

// Both channels' delay smoothers, lanes 0 and 1.
struct SmootherPair {
    Lanes drive; // aim × (1 − c), taken once
    Lanes coefficient;
    Lanes target;
    LaneBits falling;
    // Negated on falling channels, so that "has reached the target" is one comparison for both.
    Lanes towardTarget;
    Lanes orientedTarget;
};

inline SmootherPair LoadSmoothers(const DelayTimeSmoother& left, const DelayTimeSmoother& right) noexcept
{
    SmootherPair pair;
    pair.drive = Lanes{left.GetAim() * left.GetOneMinusCoefficient(), right.GetAim() * right.GetOneMinusCoefficient(),
                       0.0f, 0.0f};
    pair.coefficient = Lanes{left.GetCoefficient(), right.GetCoefficient(), 0.0f, 0.0f};
    pair.target = Lanes{left.GetTarget(), right.GetTarget(), 0.0f, 0.0f};
    pair.falling = LaneBits{-static_cast<int32_t>(left.IsFalling()), -static_cast<int32_t>(right.IsFalling()), 0, 0};
    pair.towardTarget = WithSign(Both(1.0f), reinterpret_cast<Lanes>(pair.falling));
    pair.orientedTarget = pair.towardTarget * pair.target;
    return pair;
}

inline LaneBits Moving(const SmootherPair& smoothers, Lanes current) noexcept
{
    return (smoothers.target < current) | (smoothers.target > current);
}

// The curve's next value from a state, before stalls and landings.
inline Lanes Curve(const SmootherPair& smoothers, Lanes state) noexcept
{
#if MORLENT_X86_LANES
    return smoothers.drive + smoothers.coefficient * state + Both(DelayTimeSmoother::kDenormalOffset);
#else
    Lanes y = Both(0.0f);
    for (int lane = 0; lane < 2; ++lane)
        y[lane] = smoothers.drive[lane] + smoothers.coefficient[lane] * state[lane] + DelayTimeSmoother::kDenormalOffset;
    return y;
#endif
}

inline LaneBits Reached(const SmootherPair& smoothers, Lanes y) noexcept
{
    return smoothers.towardTarget * y >= smoothers.orientedTarget;
}

// DelayTimeSmoother::Step on both channels; moving holds the channels still gliding.
inline void SmootherStep(const SmootherPair& smoothers, LaneBits& moving, Lanes& state, Lanes& current) noexcept
{
    Lanes y = Curve(smoothers, state);
    const LaneBits stalled = moving & (y == state);
    if (Channels(stalled)) {
        for (int lane = 0; lane < 2; ++lane)
            if (stalled[lane] != 0)
                y[lane] = DelayTimeSmoother::Creep(state[lane], smoothers.falling[lane] != 0);
    }
    const LaneBits reached = moving & Reached(smoothers, y);
    state = Select(moving, y, state);
    current = Select(reached, smoothers.target, Select(moving, y, current));
    moving &= ~reached;
}

inline void StoreSmoothers(Lanes state, Lanes current, DelayTimeSmoother& left, DelayTimeSmoother& right) noexcept
{
    left.Continue(state[0], current[0]);
    right.Continue(state[1], current[1]);
}

// Copies count samples into a ring from position first on, wrapping at length.
inline void CopyIntoRing(float* ring, int32_t length, int32_t first, const float* samples, int32_t count) noexcept
{
    const int32_t head = first + count > length ? length - first : count;
    std::memcpy(ring + first, samples, sizeof(float) * static_cast<size_t>(head));
    std::memcpy(ring, samples + head, sizeof(float) * static_cast<size_t>(count - head));
}

// The per-call factors of the feedback write and the mix, the same on every lane.
struct Mixing {
    Lanes dry;
    Lanes wet;
    Lanes gain;
    Lanes offset;
};

// The rest of four frames once their wet signals are known: the limited feedback plus the
// input into written (the lines' next samples), and the mix into the outputs. Only the first
// available frames are stored.
template <bool cross>
inline void FeedAndMixGroup(const Mixing& mixing, Lanes wetL, Lanes wetR, const float* inLeft, const float* inRight,
                            float* outLeft, float* outRight, float* writtenLeft, float* writtenRight,
                            int32_t available) noexcept
{
    const Lanes xL = FiniteLanes(LoadUpTo(inLeft, available));
    const Lanes xR = FiniteLanes(LoadUpTo(inRight, available));
    StoreUpTo(writtenLeft, mixing.gain * LimitLanes(cross ? wetR : wetL) + xL + mixing.offset, available);
    StoreUpTo(writtenRight, mixing.gain * LimitLanes(cross ? wetL : wetR) + xR + mixing.offset, available);
    StoreUpTo(outLeft, mixing.dry * xL + mixing.wet * wetL, available);
    StoreUpTo(outRight, mixing.dry * xR + mixing.wet * wetR, available);
}

// FeedAndMixGroup with all four frames there to load and store.
template <bool cross>
inline void FeedAndMixWholeGroup(const Mixing& mixing, Lanes wetL, Lanes wetR, const float* inLeft,
                                 const float* inRight, float* outLeft, float* outRight, float* writtenLeft,
                                 float* writtenRight) noexcept
{
    const Lanes xL = FiniteLanes(Load(inLeft));
    const Lanes xR = FiniteLanes(Load(inRight));
    Store(writtenLeft, mixing.gain * LimitLanes(cross ? wetR : wetL) + xL + mixing.offset);
    Store(writtenRight, mixing.gain * LimitLanes(cross ? wetL : wetR) + xR + mixing.offset);
    Store(outLeft, mixing.dry * xL + mixing.wet * wetL);
    Store(outRight, mixing.dry * xR + mixing.wet * wetR);
}

// FeedAndMixGroup over a stretch whose wet signals are stored in whole four-frame groups.
template <bool cross>
inline void FeedAndMix(const Mixing& mixing, const float* wetLeft, const float* wetRight, const float* inLeft,
                       const float* inRight, float* outLeft, float* outRight, float* writtenLeft,
                       float* writtenRight, int32_t chunk) noexcept
{
    for (int32_t j = 0; j < chunk; j += 4)
        FeedAndMixGroup<cross>(mixing, Load(wetLeft + j), Load(wetRight + j), inLeft + j, inRight + j, outLeft + j,
                               outRight + j, writtenLeft + j, writtenRight + j, chunk - j);
}

} // namespace DelayLoops
