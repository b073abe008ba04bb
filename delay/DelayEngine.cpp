#include "delay/DelayEngine.h"

#include "dsp/FlagDispatch.h"
#include "dsp/Lanes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <initializer_list>

// x86 builds test lane masks with one instruction and step both channels in one vector's lanes;
// other builds take the plain scalar form of the same steps, with the same results.
#if (defined(__SSE__) || defined(__x86_64__)) && !defined(MORLENT_SCALAR_LANES)
#define MORLENT_X86_LANES 1
#include <xmmintrin.h>
#else
#define MORLENT_X86_LANES 0
#endif

DelayEngine::DelayEngine()
    : leftLine(LineLength(kDefaultSampleRate)),
      rightLine(LineLength(kDefaultSampleRate)),
      leftLowPass(FirstOrderFilter::Kind::LowPass, kDefaultSampleRate, kDefaultSampleRate * 0.5f),
      rightLowPass(FirstOrderFilter::Kind::LowPass, kDefaultSampleRate, kDefaultSampleRate * 0.5f),
      leftHighPass(FirstOrderFilter::Kind::HighPass, kDefaultSampleRate, 0.0f),
      rightHighPass(FirstOrderFilter::Kind::HighPass, kDefaultSampleRate, 0.0f)
{
    leftSmoother.SetTimeConstant(1);
    rightSmoother.SetTimeConstant(1);
    SetLeftDelayTime(0.5f);
    SetRightDelayTime(0.25f);
    leftSmoother.JumpToTarget();
    rightSmoother.JumpToTarget();
    SetCutoff(sampleRate * 0.25f);
    leftSmoother.SetTimeConstant(static_cast<int32_t>(kTimeConstantAtReferenceRate));
    rightSmoother.SetTimeConstant(static_cast<int32_t>(kTimeConstantAtReferenceRate));
}

bool DelayEngine::IsUsableSampleRate(float hz)
{
    return hz >= kMinSampleRate && hz <= kMaxSampleRate;
}

int32_t DelayEngine::LineLength(float hz)
{
    // The read at the full delay (D = rate) needs one sample more than a second holds.
    return static_cast<int32_t>(kMaxDelaySeconds * hz) + 1;
}

void DelayEngine::SetSampleRate(float hz)
{
    if (!IsUsableSampleRate(hz))
        return;
    sampleRate = hz;
    ApplySampleRate(hz);
    Resize();
    FinishSampleRate(hz);
}

void DelayEngine::SetSampleRate(float hz, std::unique_ptr<float[]>& leftSamples,
                                std::unique_ptr<float[]>& rightSamples)
{
    if (!IsUsableSampleRate(hz))
        return;
    sampleRate = hz;
    ApplySampleRate(hz);
    leftLine.Adopt(leftSamples, LineLength(hz));
    rightLine.Adopt(rightSamples, LineLength(hz));
    FinishSampleRate(hz);
}

void DelayEngine::ApplySampleRate(float hz)
{
    leftHighPass.SetSampleRate(hz);
    rightHighPass.SetSampleRate(hz);
    leftLowPass.SetSampleRate(hz);
    rightLowPass.SetSampleRate(hz);
}

void DelayEngine::FinishSampleRate(float hz)
{
    UpdateDelayTargets();
    const int32_t timeConstant = static_cast<int32_t>(hz * kInverseReferenceRate * kTimeConstantAtReferenceRate);
    leftSmoother.SetTimeConstant(timeConstant);
    rightSmoother.SetTimeConstant(timeConstant);
    leftSmoother.JumpToTarget();
    rightSmoother.JumpToTarget();
}

void DelayEngine::SetCutoff(float hz)
{
    cutoff = hz;
    leftLowPass.SetCutoff(hz);
    rightLowPass.SetCutoff(hz);
    leftHighPass.SetCutoff(hz);
    rightHighPass.SetCutoff(hz);
}

float DelayEngine::ClampDelaySeconds(float seconds)
{
    if (!(seconds > 0.0f))
        return 0.0f;
    return seconds > kMaxDelaySeconds ? kMaxDelaySeconds : seconds;
}

void DelayEngine::SetLeftDelayTime(float seconds)
{
    leftDelaySeconds = ClampDelaySeconds(seconds);
    leftDelaySamples = leftDelaySeconds * sampleRate;
    leftSmoother.SetTarget(leftDelaySamples);
}

void DelayEngine::SetRightDelayTime(float seconds)
{
    rightDelaySeconds = ClampDelaySeconds(seconds);
    rightDelaySamples = rightDelaySeconds * sampleRate;
    rightSmoother.SetTarget(rightDelaySamples);
}

void DelayEngine::UpdateDelayTargets()
{
    leftDelaySamples = leftDelaySeconds * sampleRate;
    rightDelaySamples = rightDelaySeconds * sampleRate;
    leftSmoother.SetTarget(leftDelaySamples);
    rightSmoother.SetTarget(rightDelaySamples);
}

void DelayEngine::Resize()
{
    const int32_t length = LineLength(sampleRate);
    leftLine.Resize(length);
    rightLine.Resize(length);
}

void DelayEngine::Clear()
{
    leftLine.Clear();
    rightLine.Clear();
}

void DelayEngine::Restart()
{
    SetSampleRate(sampleRate);
    for (FirstOrderFilter* filter : {&leftLowPass, &rightLowPass, &leftHighPass, &rightHighPass})
        filter->Reset();
    writeOffset = kWriteOffset;
}

void DelayEngine::Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count)
{
    if (count > 0) {
        using Dsp::FilterKind;
        const FilterKind filter =
            !filterEnabled ? FilterKind::None : (filterType == kLowPass ? FilterKind::LowPass : FilterKind::HighPass);
        // Targets do not move during a call, so idle smoothers stay idle for the whole of it. No
        // stretch of frames is longer than its delays, so delays short now or at the end of a glide
        // go frame by frame.
        const bool gliding = leftSmoother.IsGliding() || rightSmoother.IsGliding();
        const bool shortDelay = std::min(std::min(leftSmoother.GetCurrent(), leftSmoother.GetTarget()),
                                         std::min(rightSmoother.GetCurrent(), rightSmoother.GetTarget())) < kShortestChunk;
        if (shortDelay) {
            Dsp::WithConstants(
                [&](auto kind, auto glide, auto cross) {
                    Render<decltype(kind)::value, decltype(glide)::value, decltype(cross)::value>(
                        inLeft, inRight, outLeft, outRight, count);
                },
                filter, gliding, crossFeedback);
        } else if (gliding) {
            Dsp::WithConstants(
                [&](auto kind, auto cross) {
                    RenderGliding<decltype(kind)::value, decltype(cross)::value>(inLeft, inRight, outLeft, outRight,
                                                                                 count);
                },
                filter, crossFeedback);
        } else {
            Dsp::WithConstants(
                [&](auto kind, auto cross) {
                    RenderInChunks<decltype(kind)::value, decltype(cross)::value>(inLeft, inRight, outLeft, outRight,
                                                                                  count);
                },
                filter, crossFeedback);
        }
    }
    writeOffset = -writeOffset;
}

namespace {

using namespace Lanes4;

// The two channels' lanes exchanged, for cross-feedback.
inline Lanes SwapChannels(Lanes lanes)
{
#ifdef __clang__
    return __builtin_shufflevector(lanes, lanes, 1, 0, 2, 3);
#else
    return __builtin_shuffle(lanes, LaneBits{1, 0, 2, 3});
#endif
}

inline Lanes Magnitude(Lanes value)
{
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneBits>(value) & 0x7fffffff);
}

// The magnitude of one with the sign of the other.
inline Lanes WithSign(Lanes magnitude, Lanes sign)
{
    const LaneBits signBit = reinterpret_cast<LaneBits>(sign) & static_cast<int32_t>(0x80000000u);
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneBits>(magnitude) | signBit);
}

// Per lane, a where the mask is set and b elsewhere.
inline Lanes Select(LaneBits mask, Lanes a, Lanes b)
{
    return reinterpret_cast<Lanes>((mask & reinterpret_cast<LaneBits>(a)) | (~mask & reinterpret_cast<LaneBits>(b)));
}

// Whether a mask is set in either channel's lane (lanes 0 and 1).
inline bool Channels(LaneBits mask)
{
#if MORLENT_X86_LANES
    return (_mm_movemask_ps(reinterpret_cast<__m128>(mask)) & 3) != 0;
#else
    return (mask[0] | mask[1]) != 0;
#endif
}

// Whether a mask is set in any lane.
inline bool AnyLane(LaneBits mask)
{
#if MORLENT_X86_LANES
    return _mm_movemask_ps(reinterpret_cast<__m128>(mask)) != 0;
#else
    return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
#endif
}

// Input samples beyond this magnitude carry no sound, only the risk that a sum in the filter
// or the mix overflows to infinity and poisons its state for good; they count as silence, as
// infinities and NaNs do.
constexpr float kLargestInput = 1e30f;

inline Lanes FiniteLanes(Lanes x)
{
    return Magnitude(x) <= Both(kLargestInput) ? x : Both(0.0f);
}

inline Lanes Smaller(Lanes a, Lanes b)
{
#if MORLENT_X86_LANES
    return reinterpret_cast<Lanes>(_mm_min_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
#else
    return a < b ? a : b;
#endif
}

inline Lanes Larger(Lanes a, Lanes b)
{
#if MORLENT_X86_LANES
    return reinterpret_cast<Lanes>(_mm_max_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
#else
    return a > b ? a : b;
#endif
}

// DelayEngine::Limit on every lane of finite values, without branches. Where the bend does not
// apply, dividing by the knee makes it come out at exactly the knee, so the smaller of bend and
// magnitude is the magnitude; above the knee the rounded bend is always the smaller (true of
// every float from the knee to 16, and above that the bend stays below 1).
inline Lanes LimitLanes(Lanes source)
{
    const Lanes knee = Both(DelayEngine::kLimiterKnee);
    const Lanes size = Magnitude(source);
    const Lanes bent = knee + (Both(1.0f) - knee / Larger(size, knee)) * Both(DelayEngine::kLimiterRange);
    return WithSign(Smaller(bent, size), source);
}

// A delay in samples as its read position: whole samples back, and the fraction of the way to
// the newer neighbour.
inline void SplitDelay(Lanes delay, LaneBits& whole, Lanes& fraction)
{
    whole = __builtin_convertvector(delay, LaneBits);
    fraction = delay - __builtin_convertvector(whole, Lanes);
}

// Both channels' filters, lanes 0 and 1.
struct FilterPair {
    Lanes gain;
    Lanes pole;
    Lanes previousInput;
    Lanes previousOutput;
};

inline FilterPair LoadFilters(const FirstOrderFilter& left, const FirstOrderFilter& right)
{
    return FilterPair{Lanes{left.GetGain(), right.GetGain(), 0.0f, 0.0f},
                      Lanes{left.GetCoefficient(), right.GetCoefficient(), 0.0f, 0.0f},
                      Lanes{left.GetPreviousInput(), right.GetPreviousInput(), 0.0f, 0.0f},
                      Lanes{left.GetPreviousOutput(), right.GetPreviousOutput(), 0.0f, 0.0f}};
}

inline void StoreFilters(const FilterPair& filters, FirstOrderFilter& left, FirstOrderFilter& right)
{
    left.SetStates(filters.previousInput[0], filters.previousOutput[0]);
    right.SetStates(filters.previousInput[1], filters.previousOutput[1]);
}

// FirstOrderFilter::StepLowPass or StepHighPass on both channels of one frame.
template <bool highPass>
inline Lanes FilterStep(FilterPair& filters, Lanes x)
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

inline SmootherPair LoadSmoothers(const DelayTimeSmoother& left, const DelayTimeSmoother& right)
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

inline LaneBits Moving(const SmootherPair& smoothers, Lanes current)
{
    return (smoothers.target < current) | (smoothers.target > current);
}

// The curve's next value from a state, before stalls and landings.
inline Lanes Curve(const SmootherPair& smoothers, Lanes state)
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

inline LaneBits Reached(const SmootherPair& smoothers, Lanes y)
{
    return smoothers.towardTarget * y >= smoothers.orientedTarget;
}

// DelayTimeSmoother::Step on both channels; moving holds the channels still gliding.
inline void SmootherStep(const SmootherPair& smoothers, LaneBits& moving, Lanes& state, Lanes& current)
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

inline void StoreSmoothers(Lanes state, Lanes current, DelayTimeSmoother& left, DelayTimeSmoother& right)
{
    left.Continue(state[0], current[0]);
    right.Continue(state[1], current[1]);
}

// Copies count samples into a ring from position first on, wrapping at length.
inline void CopyIntoRing(float* ring, int32_t length, int32_t first, const float* samples, int32_t count)
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
                            int32_t available)
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
                                 float* writtenRight)
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
                       float* writtenRight, int32_t chunk)
{
    for (int32_t j = 0; j < chunk; j += 4)
        FeedAndMixGroup<cross>(mixing, Load(wetLeft + j), Load(wetRight + j), inLeft + j, inRight + j, outLeft + j,
                               outRight + j, writtenLeft + j, writtenRight + j, chunk - j);
}

// The previous group's last lane followed by this group's first three.
inline Lanes ShiftIn(Lanes previous, Lanes lanes)
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

// An output at least this large is its own next state: adding the denormal offset to it rounds
// back to it (its half step is above 1e-18).
constexpr float kSelfStateLevel = 1e-10f;

// One idle stretch of frames, worked through four frames at a time.
struct Stretch {
    const float* older[2]; // the chunk + 1 samples read, oldest first
    Lanes fraction[2];
    const float* in[2];
    float* out[2];
    float* written[2];
    int32_t count;
};

// Both channels' filters across the stretches of a call.
struct StretchFilters {
    Lanes gain[2];
    float pole[2];
    Lanes inputState[2]; // lane 3: the previous input's state
    float outputState[2];
};

// Frames from the first on, to the end of the stretch, in whole groups (the last one padded
// when the stretch is not a whole number of them): the fractional reads, the filter (kind
// as Dsp::FilterKind) and FeedAndMixGroup, bit for bit the frame-by-frame loop.
//
// The input's part of each filter output, g × (x ± previous input state), depends on the inputs
// only and is taken four frames at a time. What remains is y = k × (y' + 1e-25) + that part, one
// frame after the other. While the outputs are loud the offset changes nothing, so the
// speculative form runs the recursion without it, one multiply and one add per frame, and
// checks every four outputs before using them; it stops before the first four in which the
// offset would have counted and returns where it stopped, for the long form to go on from there.
template <Dsp::FilterKind kind, bool cross, bool speculative>
inline int32_t RenderGroups(const Stretch& s, StretchFilters& filters, const Mixing& mixing, int32_t first)
{
    constexpr bool filtered = kind != Dsp::FilterKind::None;
    constexpr bool highPass = kind == Dsp::FilterKind::HighPass;
    constexpr float kOffset = FirstOrderFilter::kDenormalOffset;
    const Lanes denormal = Both(kOffset);
    const Lanes fL = s.fraction[0], fR = s.fraction[1];
    const Lanes gL = filters.gain[0], gR = filters.gain[1];
    const float kL = filters.pole[0], kR = filters.pole[1];
    Lanes inputL = filters.inputState[0], inputR = filters.inputState[1];
    float outputL = filters.outputState[0], outputR = filters.outputState[1];
    int32_t j = first;
    for (; j < s.count; j += 4) {
        const int32_t available = s.count - j;
        const Lanes aL = Load(s.older[0] + j);
        const Lanes bL = Load(s.older[0] + j + 1);
        const Lanes aR = Load(s.older[1] + j);
        const Lanes bR = Load(s.older[1] + j + 1);
        const Lanes delayedL = aL + (bL - aL) * fL;
        const Lanes delayedR = aR + (bR - aR) * fR;
        Lanes wetL = delayedL, wetR = delayedR;
        if (filtered) {
            const Lanes stateL = delayedL + denormal;
            const Lanes stateR = delayedR + denormal;
            const Lanes beforeL = ShiftIn(inputL, stateL);
            const Lanes beforeR = ShiftIn(inputR, stateR);
            const Lanes driveL = gL * (highPass ? delayedL - beforeL : delayedL + beforeL);
            const Lanes driveR = gR * (highPass ? delayedR - beforeR : delayedR + beforeR);
            if (speculative) {
                const float y0L = kL * outputL + driveL[0];
                const float y0R = kR * outputR + driveR[0];
                const float y1L = kL * y0L + driveL[1];
                const float y1R = kR * y0R + driveR[1];
                const float y2L = kL * y1L + driveL[2];
                const float y2R = kR * y1R + driveR[2];
                const float y3L = kL * y2L + driveL[3];
                const float y3R = kR * y2R + driveR[3];
                wetL = Lanes{y0L, y1L, y2L, y3L};
                wetR = Lanes{y0R, y1R, y2R, y3R};
                const Lanes level = Both(kSelfStateLevel);
                // Only whole groups go this way.
                if (AnyLane(~((Magnitude(wetL) >= level) & (Magnitude(wetR) >= level))))
                    break;
                // Checked: each output is its own state.
                outputL = y3L;
                outputR = y3R;
            } else {
                const float y0L = kL * outputL + driveL[0];
                const float y0R = kR * outputR + driveR[0];
                const float y1L = kL * (y0L + kOffset) + driveL[1];
                const float y1R = kR * (y0R + kOffset) + driveR[1];
                const float y2L = kL * (y1L + kOffset) + driveL[2];
                const float y2R = kR * (y1R + kOffset) + driveR[2];
                const float y3L = kL * (y2L + kOffset) + driveL[3];
                const float y3R = kR * (y2R + kOffset) + driveR[3];
                wetL = Lanes{y0L, y1L, y2L, y3L};
                wetR = Lanes{y0R, y1R, y2R, y3R};
                outputL = y3L + kOffset;
                outputR = y3R + kOffset;
            }
            inputL = stateL;
            inputR = stateR;
            if (available < 4) {
                // The stretch's last frames: its states are those of its last real frame.
                outputL = wetL[available - 1] + kOffset;
                outputR = wetR[available - 1] + kOffset;
                inputL = Both(stateL[available - 1]);
                inputR = Both(stateR[available - 1]);
            }
        }
        FeedAndMixWholeGroup<cross>(mixing, wetL, wetR, s.in[0] + j, s.in[1] + j, s.out[0] + j, s.out[1] + j,
                                    s.written[0] + j, s.written[1] + j);
    }
    filters.inputState[0] = inputL;
    filters.inputState[1] = inputR;
    filters.outputState[0] = outputL;
    filters.outputState[1] = outputR;
    return j;
}

} // namespace

// Both lines always share one length and one write position: they are sized, emptied and
// written together. One frame at a time, both channels side by side.
template <Dsp::FilterKind filter, bool gliding, bool cross>
void DelayEngine::Render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count)
{
    float* const left = leftLine.GetSamples();
    float* const right = rightLine.GetSamples();
    const int32_t length = leftLine.GetLength();
    int32_t writeIndex = leftLine.GetWriteIndex();

    const Lanes wet = Both(mix);
    const Lanes dry = Both(1.0f - mix);
    const Lanes gain = Both(feedback);
    const Lanes offset = Both(writeOffset);

    FirstOrderFilter& leftFilter = filter == Dsp::FilterKind::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == Dsp::FilterKind::HighPass ? rightHighPass : rightLowPass;
    FilterPair filters = LoadFilters(leftFilter, rightFilter);

    const SmootherPair smoothers = LoadSmoothers(leftSmoother, rightSmoother);
    Lanes state{leftSmoother.GetState(), rightSmoother.GetState(), 0.0f, 0.0f};
    Lanes current{leftSmoother.GetCurrent(), rightSmoother.GetCurrent(), 0.0f, 0.0f};
    LaneBits moving = Moving(smoothers, current);
    // With idle smoothers the read offsets are the same for the whole call.
    LaneBits whole;
    Lanes fraction;
    SplitDelay(current, whole, fraction);

    for (int32_t n = 0; n < count; ++n) {
        const Lanes x = FiniteLanes(Lanes{inLeft[n], inRight[n], 0.0f, 0.0f});

        if (gliding) {
            SmootherStep(smoothers, moving, state, current);
            SplitDelay(current, whole, fraction);
        }

        int32_t pL = writeIndex - whole[0];
        int32_t pR = writeIndex - whole[1];
        if (pL < 0)
            pL += length;
        if (pR < 0)
            pR += length;
        const int32_t qL = pL + 1 == length ? 0 : pL + 1;
        const int32_t qR = pR + 1 == length ? 0 : pR + 1;
        const Lanes older{left[pL], right[pR], 0.0f, 0.0f};
        const Lanes newer{left[qL], right[qR], 0.0f, 0.0f};
        const Lanes delayed = older + (newer - older) * fraction;

        Lanes wetSignal = delayed;
        if (filter != Dsp::FilterKind::None)
            wetSignal = FilterStep<filter == Dsp::FilterKind::HighPass>(filters, delayed);

        const Lanes limited = LimitLanes(cross ? SwapChannels(wetSignal) : wetSignal);

        const Lanes written = gain * limited + x + offset;
        if (++writeIndex == length)
            writeIndex = 0;
        left[writeIndex] = written[0];
        right[writeIndex] = written[1];

        const Lanes out = dry * x + wet * wetSignal;
        outLeft[n] = out[0];
        outRight[n] = out[1];
    }

    leftLine.SetWriteIndex(writeIndex);
    rightLine.SetWriteIndex(writeIndex);
    if (filter != Dsp::FilterKind::None)
        StoreFilters(filters, leftFilter, rightFilter);
    if (gliding)
        StoreSmoothers(state, current, leftSmoother, rightSmoother);
}

// While a delay glides its read position moves every frame, so each frame takes its own
// smoother step, read and filter step, both channels side by side. But while no frame of a
// stretch reads a sample written inside the stretch, the feedback writes and the mix can wait
// for the end of the stretch and be done four frames at a time. A stretch ends before the
// first frame whose delay, in whole samples, no longer exceeds its place in the stretch, and
// after a frame in which a delay lands on its target.
template <Dsp::FilterKind filter, bool cross>
void DelayEngine::RenderGliding(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                int32_t count)
{
    float* const left = leftLine.GetSamples();
    float* const right = rightLine.GetSamples();
    const int32_t length = leftLine.GetLength();
    const LaneBits lengths{length, length, length, length};
    int32_t writeIndex = leftLine.GetWriteIndex();

    FirstOrderFilter& leftFilter = filter == Dsp::FilterKind::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == Dsp::FilterKind::HighPass ? rightHighPass : rightLowPass;
    FilterPair filters = LoadFilters(leftFilter, rightFilter);

    const SmootherPair smoothers = LoadSmoothers(leftSmoother, rightSmoother);
    // A channel that does not glide keeps its delay; its state lane runs on unused, and kept
    // holds its real state.
    Lanes state{leftSmoother.GetState(), rightSmoother.GetState(), 0.0f, 0.0f};
    Lanes kept = state;
    Lanes current{leftSmoother.GetCurrent(), rightSmoother.GetCurrent(), 0.0f, 0.0f};
    LaneBits moving = Moving(smoothers, current);

    const Mixing mixing{Both(1.0f - mix), Both(mix), Both(feedback), Both(writeOffset)};

    // Room for a whole number of four-frame groups.
    constexpr int32_t kRoom = kLongestChunk + 4;
    float wetSignal[2][kRoom];
    float written[2][kRoom];

    for (int32_t start = 0; start < count;) {
        const int32_t longestChunk = std::min(kLongestChunk, count - start);
        // The write position as the frame-by-frame loop would have it at frame `chunk`.
        int32_t newest = writeIndex;
        int32_t chunk = 0;
        bool landed = false;
        // A delay below this may read inside the stretch; the careful path decides.
        Lanes unsafe = Both(1.0f);
        while (chunk < longestChunk && !landed) {
            Lanes y = Curve(smoothers, state);
            Lanes delay = Select(moving, y, current);
            // The careful path, for a frame that may stall, land or read inside the stretch.
            if (Channels((moving & ((y == state) | Reached(smoothers, y))) | (delay < unsafe))) {
                LaneBits stillMoving = moving;
                y = state;
                delay = current;
                SmootherStep(smoothers, stillMoving, y, delay);
                if (chunk > 0 && Channels(__builtin_convertvector(delay, LaneBits) <= chunk))
                    break; // this frame starts the next stretch, from the same smoother state
                const LaneBits reached = moving & ~stillMoving;
                if (Channels(reached)) {
                    kept = Select(reached, y, kept);
                    landed = true;
                }
                moving = stillMoving;
            }
            state = y;
            current = delay;
            unsafe += Both(1.0f);

            // The fractional read; the second tap is the newer neighbour.
            LaneBits whole;
            Lanes fraction;
            SplitDelay(delay, whole, fraction);
            LaneBits older = newest - whole;
            older += (older < 0) & lengths;
            LaneBits newer = older + 1;
            newer &= newer != lengths;
            const Lanes first{left[older[0]], right[older[1]], 0.0f, 0.0f};
            const Lanes second{left[newer[0]], right[newer[1]], 0.0f, 0.0f};
            const Lanes delayed = first + (second - first) * fraction;

            Lanes wet = delayed;
            if (filter != Dsp::FilterKind::None)
                wet = FilterStep<filter == Dsp::FilterKind::HighPass>(filters, delayed);
            wetSignal[0][chunk] = wet[0];
            wetSignal[1][chunk] = wet[1];
            if (++newest == length)
                newest = 0;
            ++chunk;
        }
        for (int32_t j = chunk; j % 4 != 0; ++j)
            wetSignal[0][j] = wetSignal[1][j] = 0.0f;

        FeedAndMix<cross>(mixing, wetSignal[0], wetSignal[1], inLeft + start, inRight + start, outLeft + start,
                          outRight + start, written[0], written[1], chunk);
        const int32_t firstWritten = writeIndex + 1 == length ? 0 : writeIndex + 1;
        CopyIntoRing(left, length, firstWritten, written[0], chunk);
        CopyIntoRing(right, length, firstWritten, written[1], chunk);
        writeIndex = newest;
        start += chunk;
    }

    leftLine.SetWriteIndex(writeIndex);
    rightLine.SetWriteIndex(writeIndex);
    if (filter != Dsp::FilterKind::None)
        StoreFilters(filters, leftFilter, rightFilter);
    kept = Select(moving, state, kept);
    StoreSmoothers(kept, current, leftSmoother, rightSmoother);
}

// With idle smoothers and delays of at least kShortestChunk samples, no read of a stretch of
// frames that short reaches a sample written in the same stretch. So a stretch can be read,
// filtered, limited, written and mixed four frames at a time, in exactly the arithmetic of the
// frame-by-frame loop, the feedback written straight into the lines.
template <Dsp::FilterKind filter, bool cross>
void DelayEngine::RenderInChunks(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                 int32_t count)
{
    float* const lines[2] = {leftLine.GetSamples(), rightLine.GetSamples()};
    const int32_t length = leftLine.GetLength();
    int32_t writeIndex = leftLine.GetWriteIndex();
    LaneBits whole;
    Lanes fraction;
    SplitDelay(Lanes{leftSmoother.GetCurrent(), rightSmoother.GetCurrent(), 0.0f, 0.0f}, whole, fraction);
    const int32_t longestChunk = std::min(kLongestChunk, std::min(whole[0], whole[1]));

    FirstOrderFilter& leftFilter = filter == Dsp::FilterKind::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == Dsp::FilterKind::HighPass ? rightHighPass : rightLowPass;
    StretchFilters filters{{Both(leftFilter.GetGain()), Both(rightFilter.GetGain())},
                           {leftFilter.GetCoefficient(), rightFilter.GetCoefficient()},
                           {Both(leftFilter.GetPreviousInput()), Both(rightFilter.GetPreviousInput())},
                           {leftFilter.GetPreviousOutput(), rightFilter.GetPreviousOutput()}};

    const Mixing mixing{Both(1.0f - mix), Both(mix), Both(feedback), Both(writeOffset)};

    // Reads and writes across the ring's end go through these.
    float gathered[2][kLongestChunk + 1];
    float written[2][kLongestChunk];

    for (int32_t start = 0; start < count; start += longestChunk) {
        Stretch s;
        s.count = std::min(longestChunk, count - start);
        const int32_t chunk = s.count;
        for (int channel = 0; channel < 2; ++channel) {
            int32_t first = writeIndex - whole[channel];
            if (first < 0)
                first += length;
            s.older[channel] = lines[channel] + first;
            if (first + chunk + 1 > length) {
                const int32_t head = length - first;
                std::memcpy(gathered[channel], lines[channel] + first, sizeof(float) * static_cast<size_t>(head));
                std::memcpy(gathered[channel] + head, lines[channel],
                            sizeof(float) * static_cast<size_t>(chunk + 1 - head));
                s.older[channel] = gathered[channel];
            }
            s.fraction[channel] = Both(fraction[channel]);
        }
        s.in[0] = inLeft + start;
        s.in[1] = inRight + start;
        s.out[0] = outLeft + start;
        s.out[1] = outRight + start;
        const int32_t firstWritten = writeIndex + 1 == length ? 0 : writeIndex + 1;
        const bool wraps = firstWritten + chunk > length;
        s.written[0] = wraps ? written[0] : lines[0] + firstWritten;
        s.written[1] = wraps ? written[1] : lines[1] + firstWritten;

        // Whole groups in place; the last few frames, if any, through padded copies.
        const int32_t whole4 = chunk & ~3;
        s.count = whole4;
        int32_t done = 0;
        if (filter != Dsp::FilterKind::None && std::fabs(filters.outputState[0]) >= kSelfStateLevel &&
            std::fabs(filters.outputState[1]) >= kSelfStateLevel)
            done = RenderGroups<filter, cross, true>(s, filters, mixing, 0);
        if (done < whole4)
            RenderGroups<filter, cross, false>(s, filters, mixing, done);
        if (whole4 < chunk) {
            const int32_t rest = chunk - whole4;
            float olderPad[2][8] = {}, inPad[2][4] = {}, outPad[2][4], writtenPad[2][4];
            Stretch tail = s;
            tail.count = rest;
            for (int channel = 0; channel < 2; ++channel) {
                std::memcpy(olderPad[channel], s.older[channel] + whole4, sizeof(float) * static_cast<size_t>(rest + 1));
                std::memcpy(inPad[channel], s.in[channel] + whole4, sizeof(float) * static_cast<size_t>(rest));
                tail.older[channel] = olderPad[channel];
                tail.in[channel] = inPad[channel];
                tail.out[channel] = outPad[channel];
                tail.written[channel] = writtenPad[channel];
            }
            RenderGroups<filter, cross, false>(tail, filters, mixing, 0);
            for (int channel = 0; channel < 2; ++channel) {
                std::memcpy(s.out[channel] + whole4, outPad[channel], sizeof(float) * static_cast<size_t>(rest));
                std::memcpy(s.written[channel] + whole4, writtenPad[channel], sizeof(float) * static_cast<size_t>(rest));
            }
        }

        if (wraps) {
            CopyIntoRing(lines[0], length, firstWritten, written[0], chunk);
            CopyIntoRing(lines[1], length, firstWritten, written[1], chunk);
        }
        writeIndex += chunk;
        if (writeIndex >= length)
            writeIndex -= length;
    }

    leftLine.SetWriteIndex(writeIndex);
    rightLine.SetWriteIndex(writeIndex);
    if (filter != Dsp::FilterKind::None) {
        leftFilter.SetStates(filters.inputState[0][3], filters.outputState[0]);
        rightFilter.SetStates(filters.inputState[1][3], filters.outputState[1]);
    }
}
