#include "delay/DelayEngine.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include <xmmintrin.h>

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

void DelayEngine::Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count)
{
    if (count > 0) {
        if (!filterEnabled)
            RenderWithFilter<LoopFilter::None>(inLeft, inRight, outLeft, outRight, count);
        else if (filterType == kLowPass)
            RenderWithFilter<LoopFilter::LowPass>(inLeft, inRight, outLeft, outRight, count);
        else
            RenderWithFilter<LoopFilter::HighPass>(inLeft, inRight, outLeft, outRight, count);
    }
    writeOffset = -writeOffset;
}

template <DelayEngine::LoopFilter filter>
void DelayEngine::RenderWithFilter(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                   int32_t count)
{
    // Targets do not move during a call, so idle smoothers stay idle for the whole of it. No
    // stretch of frames is longer than its delays, so delays short now or at the end of a glide
    // go frame by frame.
    const bool gliding = leftSmoother.IsGliding() || rightSmoother.IsGliding();
    const bool shortDelay = std::min(std::min(leftSmoother.current, leftSmoother.target),
                                     std::min(rightSmoother.current, rightSmoother.target)) < kShortestChunk;
    if (!shortDelay) {
        if (gliding) {
            if (crossFeedback)
                RenderGliding<filter, true>(inLeft, inRight, outLeft, outRight, count);
            else
                RenderGliding<filter, false>(inLeft, inRight, outLeft, outRight, count);
        } else {
            if (crossFeedback)
                RenderInChunks<filter, true>(inLeft, inRight, outLeft, outRight, count);
            else
                RenderInChunks<filter, false>(inLeft, inRight, outLeft, outRight, count);
        }
    } else if (gliding) {
        if (crossFeedback)
            Render<filter, true, true>(inLeft, inRight, outLeft, outRight, count);
        else
            Render<filter, true, false>(inLeft, inRight, outLeft, outRight, count);
    } else {
        if (crossFeedback)
            Render<filter, false, true>(inLeft, inRight, outLeft, outRight, count);
        else
            Render<filter, false, false>(inLeft, inRight, outLeft, outRight, count);
    }
}

namespace {

// Four single-precision lanes: either the two channels of one frame side by side (lanes 0 and
// 1, lanes 2 and 3 idle) or four consecutive frames of one channel. Each lane operation is the
// same IEEE single-precision step as the scalar one, so results are bit for bit the per-sample
// arithmetic while several samples share an instruction.
typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t LaneBits __attribute__((vector_size(16)));

// The two channels' lanes exchanged, for cross-feedback.
inline Lanes SwapChannels(Lanes lanes)
{
#ifdef __clang__
    return __builtin_shufflevector(lanes, lanes, 1, 0, 2, 3);
#else
    return __builtin_shuffle(lanes, LaneBits{1, 0, 2, 3});
#endif
}

inline Lanes Both(float value)
{
    return Lanes{value, value, value, value};
}

inline Lanes Load(const float* samples)
{
    Lanes lanes;
    std::memcpy(&lanes, samples, sizeof lanes);
    return lanes;
}

inline void Store(float* samples, Lanes lanes)
{
    std::memcpy(samples, &lanes, sizeof lanes);
}

// Loads up to four samples, zeros beyond the end.
inline Lanes LoadUpTo(const float* samples, int32_t available)
{
    if (available >= 4)
        return Load(samples);
    Lanes lanes = Both(0.0f);
    for (int32_t i = 0; i < available; ++i)
        lanes[i] = samples[i];
    return lanes;
}

inline void StoreUpTo(float* samples, Lanes lanes, int32_t available)
{
    if (available >= 4) {
        Store(samples, lanes);
        return;
    }
    for (int32_t i = 0; i < available; ++i)
        samples[i] = lanes[i];
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
    return (_mm_movemask_ps(reinterpret_cast<__m128>(mask)) & 3) != 0;
}

// Input samples beyond this magnitude carry no sound, only the risk that a sum in the filter
// or the mix overflows to infinity and poisons its state for good; they count as silence, as
// infinities and NaNs do.
constexpr float kLargestInput = 1e30f;

inline Lanes FiniteLanes(Lanes x)
{
    return Magnitude(x) <= Both(kLargestInput) ? x : Both(0.0f);
}

// DelayEngine::Limit on every lane, without branches: magnitudes above the knee bend toward 1
// with their sign kept, the rest pass. Dividing by the knee where the bend does not apply
// keeps every lane finite.
inline Lanes LimitLanes(Lanes source)
{
    const Lanes knee = Both(DelayEngine::kLimiterKnee);
    const Lanes size = Magnitude(source);
    const LaneBits over = size > knee;
    const Lanes bent = knee + (Both(1.0f) - knee / (over ? size : knee)) * Both(DelayEngine::kLimiterRange);
    return over ? WithSign(bent, source) : source;
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

// The rest of every frame of a stretch once its wet signals are known, four frames at a time:
// the limited feedback plus the input into written (the lines' next samples), and the mix into
// the outputs. The wet and written arrays hold whole four-frame groups, the wet ones padded.
template <bool cross>
inline void FeedAndMix(const Mixing& mixing, const float* wetLeft, const float* wetRight, const float* inLeft,
                       const float* inRight, float* outLeft, float* outRight, float* writtenLeft,
                       float* writtenRight, int32_t chunk)
{
    for (int32_t j = 0; j < chunk; j += 4) {
        const int32_t available = chunk - j;
        const Lanes xL = FiniteLanes(LoadUpTo(inLeft + j, available));
        const Lanes xR = FiniteLanes(LoadUpTo(inRight + j, available));
        const Lanes wetL = Load(wetLeft + j);
        const Lanes wetR = Load(wetRight + j);
        Store(writtenLeft + j, mixing.gain * LimitLanes(cross ? wetR : wetL) + xL + mixing.offset);
        Store(writtenRight + j, mixing.gain * LimitLanes(cross ? wetL : wetR) + xR + mixing.offset);
        StoreUpTo(outLeft + j, mixing.dry * xL + mixing.wet * wetL, available);
        StoreUpTo(outRight + j, mixing.dry * xR + mixing.wet * wetR, available);
    }
}

} // namespace

// Both lines always share one length and one write position: they are sized, emptied and
// written together. One frame at a time, both channels side by side.
template <DelayEngine::LoopFilter filter, bool gliding, bool cross>
void DelayEngine::Render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count)
{
    float* const left = leftLine.samples.get();
    float* const right = rightLine.samples.get();
    const int32_t length = leftLine.length;
    int32_t writeIndex = leftLine.writeIndex;

    const Lanes wet = Both(mix);
    const Lanes dry = Both(1.0f - mix);
    const Lanes gain = Both(feedback);
    const Lanes offset = Both(writeOffset);
    const Lanes denormal = Both(FirstOrderFilter::kDenormalOffset);

    FirstOrderFilter& leftFilter = filter == LoopFilter::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == LoopFilter::HighPass ? rightHighPass : rightLowPass;
    const Lanes filterGain{leftFilter.gain, rightFilter.gain, 0.0f, 0.0f};
    const Lanes pole{leftFilter.coefficient, rightFilter.coefficient, 0.0f, 0.0f};
    Lanes previousInput{leftFilter.previousInput, rightFilter.previousInput, 0.0f, 0.0f};
    Lanes previousOutput{leftFilter.previousOutput, rightFilter.previousOutput, 0.0f, 0.0f};

    const Lanes aim{leftSmoother.aim, rightSmoother.aim, 0.0f, 0.0f};
    const Lanes target{leftSmoother.target, rightSmoother.target, 0.0f, 0.0f};
    const Lanes coefficient{leftSmoother.coefficient, rightSmoother.coefficient, 0.0f, 0.0f};
    const Lanes oneMinusCoefficient{leftSmoother.oneMinusCoefficient, rightSmoother.oneMinusCoefficient, 0.0f, 0.0f};
    const LaneBits falling{-static_cast<int32_t>(leftSmoother.falling), -static_cast<int32_t>(rightSmoother.falling), 0,
                           0};
    Lanes state{leftSmoother.state, rightSmoother.state, 0.0f, 0.0f};
    Lanes current{leftSmoother.current, rightSmoother.current, 0.0f, 0.0f};
    // With idle smoothers the read offsets are the same for the whole call.
    LaneBits whole = __builtin_convertvector(current, LaneBits);
    Lanes fraction = current - __builtin_convertvector(whole, Lanes);

    for (int32_t n = 0; n < count; ++n) {
        const Lanes x = FiniteLanes(Lanes{inLeft[n], inRight[n], 0.0f, 0.0f});

        // DelayTimeSmoother::Step on both channels.
        if (gliding) {
            const LaneBits active = (target < current) | (target > current);
            Lanes y = aim * oneMinusCoefficient + coefficient * state + Both(DelayTimeSmoother::kDenormalOffset);
            const LaneBits stalled = active & (y == state);
            if ((stalled[0] | stalled[1]) != 0) {
                for (int lane = 0; lane < 2; ++lane)
                    if (stalled[lane] != 0)
                        y[lane] = DelayTimeSmoother::Creep(state[lane], falling[lane] != 0);
            }
            const LaneBits landed = (falling & (y <= target)) | (~falling & (y >= target));
            state = active ? y : state;
            current = active ? (landed ? target : y) : current;
            whole = __builtin_convertvector(current, LaneBits);
            fraction = current - __builtin_convertvector(whole, Lanes);
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
        if (filter == LoopFilter::LowPass)
            wetSignal = filterGain * (delayed + previousInput) + pole * previousOutput;
        else if (filter == LoopFilter::HighPass)
            wetSignal = filterGain * (delayed - previousInput) + pole * previousOutput;
        if (filter != LoopFilter::None) {
            previousOutput = wetSignal + denormal;
            previousInput = delayed + denormal;
        }

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

    leftLine.writeIndex = writeIndex;
    rightLine.writeIndex = writeIndex;
    if (filter != LoopFilter::None) {
        leftFilter.previousInput = previousInput[0];
        rightFilter.previousInput = previousInput[1];
        leftFilter.previousOutput = previousOutput[0];
        rightFilter.previousOutput = previousOutput[1];
    }
    if (gliding) {
        leftSmoother.state = state[0];
        rightSmoother.state = state[1];
        leftSmoother.current = current[0];
        rightSmoother.current = current[1];
    }
}

// While a delay glides its read position moves every frame, so each frame takes its own
// smoother step, read and filter step, both channels side by side. But while no frame of a
// stretch reads a sample written inside the stretch, the feedback writes and the mix can wait
// for the end of the stretch and be done four frames at a time. A stretch ends before the
// first frame whose delay, in whole samples, no longer exceeds its place in the stretch, and
// after a frame in which a delay lands on its target.
template <DelayEngine::LoopFilter filter, bool cross>
void DelayEngine::RenderGliding(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                int32_t count)
{
    float* const left = leftLine.samples.get();
    float* const right = rightLine.samples.get();
    const int32_t length = leftLine.length;
    const LaneBits lengths{length, length, length, length};
    int32_t writeIndex = leftLine.writeIndex;
    const Lanes denormal = Both(FirstOrderFilter::kDenormalOffset);

    FirstOrderFilter& leftFilter = filter == LoopFilter::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == LoopFilter::HighPass ? rightHighPass : rightLowPass;
    const Lanes filterGain{leftFilter.gain, rightFilter.gain, 0.0f, 0.0f};
    const Lanes pole{leftFilter.coefficient, rightFilter.coefficient, 0.0f, 0.0f};
    Lanes previousInput{leftFilter.previousInput, rightFilter.previousInput, 0.0f, 0.0f};
    Lanes previousOutput{leftFilter.previousOutput, rightFilter.previousOutput, 0.0f, 0.0f};

    // DelayTimeSmoother::Step on both channels, with aim × (1 − c) taken once.
    const Lanes drive{leftSmoother.aim * leftSmoother.oneMinusCoefficient,
                      rightSmoother.aim * rightSmoother.oneMinusCoefficient, 0.0f, 0.0f};
    const Lanes coefficient{leftSmoother.coefficient, rightSmoother.coefficient, 0.0f, 0.0f};
    const Lanes target{leftSmoother.target, rightSmoother.target, 0.0f, 0.0f};
    const LaneBits falling{-static_cast<int32_t>(leftSmoother.falling), -static_cast<int32_t>(rightSmoother.falling),
                           0, 0};
    // Negated on falling channels, so that "has reached the target" is one comparison for both.
    const Lanes towardTarget = WithSign(Both(1.0f), reinterpret_cast<Lanes>(falling));
    const Lanes orientedTarget = towardTarget * target;
    // A channel that does not glide keeps its delay; its state lane runs on unused, and kept
    // holds its real state.
    Lanes state{leftSmoother.state, rightSmoother.state, 0.0f, 0.0f};
    Lanes kept = state;
    Lanes current{leftSmoother.current, rightSmoother.current, 0.0f, 0.0f};
    LaneBits gliding = (target < current) | (target > current);

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
            Lanes y = drive + coefficient * state + Both(DelayTimeSmoother::kDenormalOffset);
            Lanes delay = Select(gliding, y, current);
            // The careful path, for a frame that may stall, land or read inside the stretch.
            if (Channels((gliding & ((y == state) | (towardTarget * y >= orientedTarget))) | (delay < unsafe))) {
                const LaneBits stalled = gliding & (y == state);
                for (int lane = 0; lane < 2; ++lane)
                    if (stalled[lane] != 0)
                        y[lane] = DelayTimeSmoother::Creep(state[lane], falling[lane] != 0);
                const LaneBits reached = gliding & (towardTarget * y >= orientedTarget);
                delay = Select(reached, target, Select(gliding, y, current));
                if (chunk > 0 && Channels(__builtin_convertvector(delay, LaneBits) <= chunk))
                    break; // this frame starts the next stretch, from the same smoother state
                if (Channels(reached)) {
                    kept = Select(reached, y, kept);
                    gliding &= ~reached;
                    landed = true;
                }
            }
            state = y;
            current = delay;
            unsafe += Both(1.0f);

            // The fractional read; the second tap is the newer neighbour.
            const LaneBits whole = __builtin_convertvector(delay, LaneBits);
            LaneBits older = newest - whole;
            older += (older < 0) & lengths;
            LaneBits newer = older + 1;
            newer &= newer != lengths;
            const Lanes first{left[older[0]], right[older[1]], 0.0f, 0.0f};
            const Lanes second{left[newer[0]], right[newer[1]], 0.0f, 0.0f};
            const Lanes delayed = first + (second - first) * (delay - __builtin_convertvector(whole, Lanes));

            Lanes wet = delayed;
            if (filter == LoopFilter::LowPass)
                wet = filterGain * (delayed + previousInput) + pole * previousOutput;
            else if (filter == LoopFilter::HighPass)
                wet = filterGain * (delayed - previousInput) + pole * previousOutput;
            if (filter != LoopFilter::None) {
                previousOutput = wet + denormal;
                previousInput = delayed + denormal;
            }
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

    leftLine.writeIndex = writeIndex;
    rightLine.writeIndex = writeIndex;
    if (filter != LoopFilter::None) {
        leftFilter.previousInput = previousInput[0];
        rightFilter.previousInput = previousInput[1];
        leftFilter.previousOutput = previousOutput[0];
        rightFilter.previousOutput = previousOutput[1];
    }
    kept = Select(gliding, state, kept);
    leftSmoother.state = kept[0];
    rightSmoother.state = kept[1];
    leftSmoother.current = current[0];
    rightSmoother.current = current[1];
}

// With idle smoothers and delays of at least kShortestChunk samples, no read of a stretch of
// frames that short reaches a sample written in the same stretch. So a stretch can be read
// whole, filtered sample by sample, and then limited, written and mixed four frames at a time,
// in exactly the arithmetic of the frame-by-frame loop.
template <DelayEngine::LoopFilter filter, bool cross>
void DelayEngine::RenderInChunks(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                 int32_t count)
{
    float* const lines[2] = {leftLine.samples.get(), rightLine.samples.get()};
    const int32_t length = leftLine.length;
    int32_t writeIndex = leftLine.writeIndex;
    const int32_t whole[2] = {static_cast<int32_t>(leftSmoother.current), static_cast<int32_t>(rightSmoother.current)};
    const float fraction[2] = {leftSmoother.current - static_cast<float>(whole[0]),
                               rightSmoother.current - static_cast<float>(whole[1])};
    const int32_t longestChunk = std::min(kLongestChunk, std::min(whole[0], whole[1]));

    FirstOrderFilter& leftFilter = filter == LoopFilter::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == LoopFilter::HighPass ? rightHighPass : rightLowPass;
    const float gainL = leftFilter.gain, gainR = rightFilter.gain;
    const float poleL = leftFilter.coefficient, poleR = rightFilter.coefficient;
    float previousInputL = leftFilter.previousInput, previousOutputL = leftFilter.previousOutput;
    float previousInputR = rightFilter.previousInput, previousOutputR = rightFilter.previousOutput;

    const Mixing mixing{Both(1.0f - mix), Both(mix), Both(feedback), Both(writeOffset)};

    // Room for a whole number of four-frame groups.
    constexpr int32_t kRoom = kLongestChunk + 4;
    float ring[kRoom + 1];
    float delayed[2][kRoom];
    float filtered[2][kRoom];
    float written[2][kRoom];
    float(&wetSignal)[2][kRoom] = filter == LoopFilter::None ? delayed : filtered;

    for (int32_t start = 0; start < count; start += longestChunk) {
        const int32_t chunk = std::min(longestChunk, count - start);

        for (int channel = 0; channel < 2; ++channel) {
            int32_t first = writeIndex - whole[channel];
            if (first < 0)
                first += length;
            // The chunk + 1 samples read, in order; a stretch across the ring's end is gathered.
            const float* older = lines[channel] + first;
            if (first + chunk + 1 > length) {
                const int32_t head = length - first;
                std::memcpy(ring, older, sizeof(float) * static_cast<size_t>(head));
                std::memcpy(ring + head, lines[channel], sizeof(float) * static_cast<size_t>(chunk + 1 - head));
                older = ring;
            }
            const Lanes f = Both(fraction[channel]);
            for (int32_t j = 0; j < chunk; j += 4) {
                const Lanes a = LoadUpTo(older + j, chunk - j);
                const Lanes b = LoadUpTo(older + j + 1, chunk - j);
                Store(delayed[channel] + j, a + (b - a) * f);
            }
        }

        if (filter != LoopFilter::None) {
            for (int32_t j = 0; j < chunk; ++j) {
                if (filter == LoopFilter::LowPass) {
                    filtered[0][j] = FirstOrderFilter::StepLowPass(delayed[0][j], gainL, poleL, previousInputL,
                                                                   previousOutputL);
                    filtered[1][j] = FirstOrderFilter::StepLowPass(delayed[1][j], gainR, poleR, previousInputR,
                                                                   previousOutputR);
                } else {
                    filtered[0][j] = FirstOrderFilter::StepHighPass(delayed[0][j], gainL, poleL, previousInputL,
                                                                    previousOutputL);
                    filtered[1][j] = FirstOrderFilter::StepHighPass(delayed[1][j], gainR, poleR, previousInputR,
                                                                    previousOutputR);
                }
            }
            for (int32_t j = chunk; j % 4 != 0; ++j)
                filtered[0][j] = filtered[1][j] = 0.0f;
        }

        FeedAndMix<cross>(mixing, wetSignal[0], wetSignal[1], inLeft + start, inRight + start, outLeft + start,
                          outRight + start, written[0], written[1], chunk);

        const int32_t firstWritten = writeIndex + 1 == length ? 0 : writeIndex + 1;
        CopyIntoRing(lines[0], length, firstWritten, written[0], chunk);
        CopyIntoRing(lines[1], length, firstWritten, written[1], chunk);
        writeIndex += chunk;
        if (writeIndex >= length)
            writeIndex -= length;
    }

    leftLine.writeIndex = writeIndex;
    rightLine.writeIndex = writeIndex;
    if (filter != LoopFilter::None) {
        leftFilter.previousInput = previousInputL;
        leftFilter.previousOutput = previousOutputL;
        rightFilter.previousInput = previousInputR;
        rightFilter.previousOutput = previousOutputR;
    }
}
