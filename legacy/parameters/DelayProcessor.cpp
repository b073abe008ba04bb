#include "legacy/parameters/DelayProcessor.h"

#include "dsp/FlagDispatch.h"
#include "dsp/Lanes.h"
#include "legacy/parameters/ParameterSmoother.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace VovezEdeduvo {
namespace Effects {

static_assert(DelayProcessor::kMaxFrames == ParameterHandling::ParameterSmoother::kRampLength,
              "a call reads no further than a ramp reaches");

namespace {

using namespace Lanes4;

inline LaneBits Spread(int32_t value) noexcept
{
    return LaneBits{value, value, value, value};
}

inline Lanes SanitiseLanes(Lanes x) noexcept
{
    return ((x <= Both(DelayProcessor::kLargestInput)) & (x >= Both(-DelayProcessor::kLargestInput))) ? x : Both(0.0f);
}

inline uint32_t Bits(float value) noexcept
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// What a call's delay ramps allow: whether both hold one value throughout, and the fewest
// samples between the write position and either tap of any read, through the mask. A stretch
// of frames no longer than that plus one reads only samples written before it.
struct RampSurvey {
    bool fixed;
    uint32_t nearest;
};

uint32_t NearestTap(float delay, uint32_t mask) noexcept
{
    const uint32_t whole = static_cast<uint32_t>(static_cast<int32_t>(delay));
    const uint32_t newer = whole & mask, older = (whole + 1) & mask;
    return newer < older ? newer : older;
}

RampSurvey HeldSurvey(float left, float right, uint32_t mask) noexcept
{
    const uint32_t l = NearestTap(left, mask), r = NearestTap(right, mask);
    return {true, l < r ? l : r};
}

RampSurvey Survey(const float* left, const float* right, int32_t count, uint32_t mask) noexcept
{
    // Idle ramps are the common case: one cheap pass proves them fixed.
    const uint32_t firstLeft = Bits(left[0]), firstRight = Bits(right[0]);
    const LaneBits leftBits = Spread(static_cast<int32_t>(firstLeft));
    const LaneBits rightBits = Spread(static_cast<int32_t>(firstRight));
    LaneBits differs{};
    int32_t n = 0;
    for (; n + 4 <= count; n += 4)
        differs |= (reinterpret_cast<LaneBits>(Load(left + n)) != leftBits) |
                   (reinterpret_cast<LaneBits>(Load(right + n)) != rightBits);
    bool fixed = (differs[0] | differs[1] | differs[2] | differs[3]) == 0;
    for (; n < count; ++n)
        fixed = fixed && Bits(left[n]) == firstLeft && Bits(right[n]) == firstRight;
    if (fixed)
        return HeldSurvey(left[0], right[0], mask);

    const LaneBits lineMask = Spread(static_cast<int32_t>(mask));
    const LaneBits one = Spread(1);
    LaneBits nearest = lineMask;
    for (n = 0; n + 4 <= count; n += 4) {
        const LaneBits wholeL = __builtin_convertvector(Load(left + n), LaneBits);
        const LaneBits wholeR = __builtin_convertvector(Load(right + n), LaneBits);
        const LaneBits candidates[4] = {wholeL & lineMask, (wholeL + one) & lineMask, wholeR & lineMask,
                                        (wholeR + one) & lineMask};
        for (const LaneBits& candidate : candidates)
            nearest = candidate < nearest ? candidate : nearest;
    }
    uint32_t closest = mask;
    for (int lane = 0; lane < 4; ++lane)
        closest = static_cast<uint32_t>(nearest[lane]) < closest ? static_cast<uint32_t>(nearest[lane]) : closest;
    for (; n < count; ++n)
        for (const float delay : {left[n], right[n]}) {
            const uint32_t tap = NearestTap(delay, mask);
            closest = tap < closest ? tap : closest;
        }
    return {false, closest};
}

// x + kWriteOffset, bit for bit. From 2^-57 up the offset is below a quarter of the value's
// spacing, so the sum rounds back to the value: only smaller values need the add. Taken as a
// predicted branch, the add leaves the filters' recursions, which set the pace of the loops; a
// select would keep it on them, so the empty statement stops the compiler making one.
inline float AddWriteOffset(float x) noexcept
{
    if (__builtin_expect(!(std::fabs(x) >= 0x1p-57f), 0)) {
        x += DelayProcessor::kWriteOffset;
#if defined(__SSE2__)
        __asm__ volatile("" : "+x"(x));
#else
        __asm__ volatile("" : "+m"(x));
#endif
    }
    return x;
}

// The first generation's read: between the sample D back and the next older one.
inline float ReadLine(const float* samples, uint32_t writeIndex, uint32_t mask, float delay) noexcept
{
    const uint32_t whole = static_cast<uint32_t>(static_cast<int32_t>(delay));
    const float fraction = delay - static_cast<float>(static_cast<int32_t>(whole));
    const uint32_t newer = (writeIndex - whole) & mask;
    const float a = samples[newer];
    const float b = samples[(newer - 1) & mask];
    return a + (b - a) * fraction;
}

// Copies count samples into a ring from position first on, wrapping at its end.
inline void CopyIntoRing(float* ring, uint32_t length, uint32_t first, const float* samples, int32_t count) noexcept
{
    const uint32_t head = first + static_cast<uint32_t>(count) > length ? length - first : static_cast<uint32_t>(count);
    std::memcpy(ring + first, samples, sizeof(float) * head);
    std::memcpy(ring, samples + head, sizeof(float) * (static_cast<uint32_t>(count) - head));
}

} // namespace

// --- Set-up ---

DelayProcessor::DelayProcessor(uint32_t lineLength)
    : leftDelayRamp(ParameterHandling::ParameterSmoother::ZeroRamp()),
      rightDelayRamp(ParameterHandling::ParameterSmoother::ZeroRamp()),
      mixRamp(ParameterHandling::ParameterSmoother::ZeroRamp()),
      leftLowPass(kFilterSampleRate, kFilterSampleRate * 0.5f),
      rightLowPass(kFilterSampleRate, kFilterSampleRate * 0.5f),
      leftHighPass(kFilterSampleRate, kFilterSampleRate * 0.5f),
      rightHighPass(kFilterSampleRate, kFilterSampleRate * 0.5f),
      leftLine(lineLength),
      rightLine(lineLength)
{
    SetSampleRate(kFilterSampleRate);
}

void DelayProcessor::SetSampleRate(float hz) noexcept
{
    leftLowPass.SetSampleRate(hz);
    rightLowPass.SetSampleRate(hz);
    leftHighPass.SetSampleRate(hz);
    rightHighPass.SetSampleRate(hz);
}

// --- Settings ---

void DelayProcessor::SetCutoff(float hz) noexcept
{
    // A negative cutoff would put the high-pass pole outside the unit circle.
    if (!(hz >= 0.0f) || !std::isfinite(hz))
        return;
    leftLowPass.SetCutoff(hz);
    rightLowPass.SetCutoff(hz);
    leftHighPass.SetCutoff(hz);
    rightHighPass.SetCutoff(hz);
}

void DelayProcessor::SetRamps(const float* leftDelay, const float* rightDelay, const float* mix) noexcept
{
    const float* zeros = ParameterHandling::ParameterSmoother::ZeroRamp();
    leftDelayRamp = leftDelay != nullptr ? leftDelay : zeros;
    rightDelayRamp = rightDelay != nullptr ? rightDelay : zeros;
    mixRamp = mix != nullptr ? mix : zeros;
    delaysHeld = false;
}

// --- Reset ---

void DelayProcessor::Reset() noexcept
{
    leftLine.Clear();
    rightLine.Clear();
    leftLowPass.Reset();
    rightLowPass.Reset();
    leftHighPass.Reset();
    rightHighPass.Reset();
}

// --- Process ---

void DelayProcessor::Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                             int32_t count) noexcept
{
    if (count <= 0)
        return;
    if (!settings.enabled) {
        const size_t bytes = sizeof(float) * static_cast<size_t>(count);
        if (outLeft != inLeft)
            std::memmove(outLeft, inLeft, bytes);
        if (outRight != inRight)
            std::memmove(outRight, inRight, bytes);
        return;
    }
    for (int32_t start = 0; start < count; start += kMaxFrames) {
        const int32_t piece = count - start < kMaxFrames ? count - start : kMaxFrames;
        Render(inLeft + start, inRight + start, outLeft + start, outRight + start, piece);
    }
}

void DelayProcessor::Render(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                            int32_t count) noexcept
{
    const RampSurvey survey = delaysHeld ? HeldSurvey(leftDelayRamp[0], rightDelayRamp[0], leftLine.mask)
                                         : Survey(leftDelayRamp, rightDelayRamp, count, leftLine.mask);
    const uint32_t longest = survey.nearest + 1;
    if (longest < static_cast<uint32_t>(kShortestStretch)) {
        Dsp::WithConstants(
            [&](auto kind, auto cross) {
                RenderFrames<decltype(kind)::value, decltype(cross)::value>(inLeft, inRight, outLeft, outRight, count);
            },
            settings.filter, settings.crossFeedback);
        return;
    }
    const int32_t stretch = longest < static_cast<uint32_t>(kLongestStretch) ? static_cast<int32_t>(longest)
                                                                            : kLongestStretch;
    Dsp::WithConstants(
        [&](auto kind, auto cross, auto fixed) {
            RenderStretches<decltype(kind)::value, decltype(cross)::value, decltype(fixed)::value>(
                inLeft, inRight, outLeft, outRight, count, stretch);
        },
        settings.filter, settings.crossFeedback, survey.fixed);
}

// Frame by frame, for delays so short that a frame reads what the frames just before wrote.
// Both lines always share one write position: they are written together.
template <Dsp::FilterKind filter, bool cross>
void DelayProcessor::RenderFrames(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                  int32_t count) noexcept
{
    float* const left = leftLine.samples.get();
    float* const right = rightLine.samples.get();
    const uint32_t mask = leftLine.mask;
    uint32_t writeIndex = leftLine.writeIndex;
    const float gain = settings.feedback;
    const float lowPassL = leftLowPass.coefficient, lowPassR = rightLowPass.coefficient;
    float stateL = leftLowPass.state, stateR = rightLowPass.state;
    const float highGainL = leftHighPass.gain, highGainR = rightHighPass.gain;
    const float poleL = leftHighPass.coefficient, poleR = rightHighPass.coefficient;
    float inputL = leftHighPass.previousInput, inputR = rightHighPass.previousInput;
    float outputL = leftHighPass.previousOutput, outputR = rightHighPass.previousOutput;

    for (int32_t n = 0; n < count; ++n) {
        const float dL = ReadLine(left, writeIndex, mask, leftDelayRamp[n]);
        const float dR = ReadLine(right, writeIndex, mask, rightDelayRamp[n]);
        float wL = dL, wR = dR;
        if (filter == Dsp::FilterKind::LowPass) {
            wL = stateL = AddWriteOffset(stateL + (dL - stateL) * lowPassL);
            wR = stateR = AddWriteOffset(stateR + (dR - stateR) * lowPassR);
        } else if (filter == Dsp::FilterKind::HighPass) {
            wL = outputL = AddWriteOffset(highGainL * (dL - inputL) + poleL * outputL);
            wR = outputR = AddWriteOffset(highGainR * (dR - inputR) + poleR * outputR);
            inputL = dL;
            inputR = dR;
        }
        const float xL = Sanitise(inLeft[n]), xR = Sanitise(inRight[n]);
        writeIndex = (writeIndex + 1) & mask;
        left[writeIndex] = (cross ? wR : wL) * gain + xL + kWriteOffset;
        right[writeIndex] = (cross ? wL : wR) * gain + xR + kWriteOffset;
        const float m = mixRamp[n];
        outLeft[n] = (1.0f - m) * xL + wL * m;
        outRight[n] = (1.0f - m) * xR + wR * m;
    }

    leftLine.writeIndex = rightLine.writeIndex = writeIndex;
    leftLine.NoteWritten(static_cast<uint32_t>(count));
    rightLine.NoteWritten(static_cast<uint32_t>(count));
    leftLowPass.state = stateL;
    rightLowPass.state = stateR;
    leftHighPass.previousInput = inputL;
    rightHighPass.previousInput = inputR;
    leftHighPass.previousOutput = outputL;
    rightHighPass.previousOutput = outputR;
}

// No frame of a stretch reads a sample written inside it, so a stretch goes a pass at a time:
// the reads of both channels, the filter recursions, then the feedback writes and the mix four
// frames at a time, in exactly the arithmetic of the frame-by-frame loop.
template <Dsp::FilterKind filter, bool cross, bool fixedDelay>
void DelayProcessor::RenderStretches(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                     int32_t count, int32_t longest) noexcept
{
    float* const lines[2] = {leftLine.samples.get(), rightLine.samples.get()};
    const float* const ramps[2] = {leftDelayRamp, rightDelayRamp};
    const uint32_t length = leftLine.length;
    const uint32_t mask = leftLine.mask;
    uint32_t writeIndex = leftLine.writeIndex;
    const Lanes gain = Both(settings.feedback);
    const Lanes offset = Both(kWriteOffset);
    const Lanes one = Both(1.0f);
    const float lowPassL = leftLowPass.coefficient, lowPassR = rightLowPass.coefficient;
    float stateL = leftLowPass.state, stateR = rightLowPass.state;
    const float highGainL = leftHighPass.gain, highGainR = rightHighPass.gain;
    const float poleL = leftHighPass.coefficient, poleR = rightHighPass.coefficient;
    float inputL = leftHighPass.previousInput, inputR = rightHighPass.previousInput;
    float outputL = leftHighPass.previousOutput, outputR = rightHighPass.previousOutput;

    // Room for whole four-frame groups, and one sample more for a fixed read.
    constexpr int32_t kRoom = kLongestStretch + 4;
    alignas(16) float gathered[kRoom + 1];
    alignas(16) float delayed[2][kRoom];
    alignas(16) float filtered[2][kRoom];
    alignas(16) float written[2][kRoom];
    float(&wet)[2][kRoom] = filter == Dsp::FilterKind::None ? delayed : filtered;

    for (int32_t start = 0; start < count; start += longest) {
        const int32_t chunk = count - start < longest ? count - start : longest;

        // Moving taps cost many instructions but no latency: behind a filter they are fetched in
        // its loop, where they overlap with its recursion.
        constexpr bool readInFilter = filter != Dsp::FilterKind::None && !fixedDelay;
        for (int channel = 0; channel < 2 && !readInFilter; ++channel) {
            const float* line = lines[channel];
            const float* ramp = ramps[channel] + start;
            float* out = delayed[channel];
            if (fixedDelay) {
                const float delay = ramp[0];
                const uint32_t whole = static_cast<uint32_t>(static_cast<int32_t>(delay));
                const Lanes fraction = Both(delay - static_cast<float>(static_cast<int32_t>(whole)));
                // The chunk + 1 samples read, oldest first; a stretch across the ring's end is
                // gathered.
                const uint32_t oldest = (writeIndex - whole - 1) & mask;
                const float* older = line + oldest;
                if (oldest + static_cast<uint32_t>(chunk) + 1 > length) {
                    const uint32_t head = length - oldest;
                    std::memcpy(gathered, older, sizeof(float) * head);
                    std::memcpy(gathered + head, line, sizeof(float) * (static_cast<uint32_t>(chunk) + 1 - head));
                    older = gathered;
                }
                for (int32_t j = 0; j < chunk; j += 4) {
                    const Lanes b = LoadUpTo(older + j, chunk - j);
                    const Lanes a = LoadUpTo(older + j + 1, chunk - j);
                    Store(out + j, a + (b - a) * fraction);
                }
            } else {
                // Four frames' taps and fractions at once, the taps fetched one by one.
                const LaneBits lineMask = Spread(static_cast<int32_t>(mask));
                for (int32_t j = 0; j < chunk; j += 4) {
                    const Lanes delay = LoadUpTo(ramp + j, chunk - j);
                    const LaneBits whole = __builtin_convertvector(delay, LaneBits);
                    const Lanes fraction = delay - __builtin_convertvector(whole, Lanes);
                    const LaneBits newer =
                        (Spread(static_cast<int32_t>(writeIndex) + j) + LaneBits{0, 1, 2, 3} - whole) & lineMask;
                    const LaneBits older = (newer - 1) & lineMask;
                    const Lanes a{line[newer[0]], line[newer[1]], line[newer[2]], line[newer[3]]};
                    const Lanes b{line[older[0]], line[older[1]], line[older[2]], line[older[3]]};
                    Store(out + j, a + (b - a) * fraction);
                }
                for (int32_t j = chunk; j % 4 != 0; ++j)
                    out[j] = 0.0f;
            }
        }

        const auto delayedSample = [&](int channel, int32_t j) {
            return readInFilter ? ReadLine(lines[channel], writeIndex + static_cast<uint32_t>(j), mask,
                                           ramps[channel][start + j])
                                : delayed[channel][j];
        };
        if (filter == Dsp::FilterKind::LowPass) {
            for (int32_t j = 0; j < chunk; ++j) {
                const float dL = delayedSample(0, j), dR = delayedSample(1, j);
                filtered[0][j] = stateL = AddWriteOffset(stateL + (dL - stateL) * lowPassL);
                filtered[1][j] = stateR = AddWriteOffset(stateR + (dR - stateR) * lowPassR);
            }
        } else if (filter == Dsp::FilterKind::HighPass) {
            for (int32_t j = 0; j < chunk; ++j) {
                const float dL = delayedSample(0, j), dR = delayedSample(1, j);
                filtered[0][j] = outputL = AddWriteOffset(highGainL * (dL - inputL) + poleL * outputL);
                filtered[1][j] = outputR = AddWriteOffset(highGainR * (dR - inputR) + poleR * outputR);
                inputL = dL;
                inputR = dR;
            }
        }
        if (filter != Dsp::FilterKind::None)
            for (int32_t j = chunk; j % 4 != 0; ++j)
                filtered[0][j] = filtered[1][j] = 0.0f;

        // Every read of the stretch is done, so its feedback goes straight into the lines; only
        // a stretch across a ring's end is written aside and copied in two parts.
        const uint32_t firstWritten = (writeIndex + 1) & mask;
        const bool wraps = firstWritten + static_cast<uint32_t>(chunk) > length;
        float* const feedLeft = wraps ? written[0] : lines[0] + firstWritten;
        float* const feedRight = wraps ? written[1] : lines[1] + firstWritten;
        const float* const mix = mixRamp + start;
        for (int32_t j = 0; j < chunk; j += 4) {
            const int32_t available = chunk - j;
            const Lanes xL = SanitiseLanes(LoadUpTo(inLeft + start + j, available));
            const Lanes xR = SanitiseLanes(LoadUpTo(inRight + start + j, available));
            const Lanes wL = Load(wet[0] + j), wR = Load(wet[1] + j);
            const Lanes m = LoadUpTo(mix + j, available);
            StoreUpTo(feedLeft + j, (cross ? wR : wL) * gain + xL + offset, available);
            StoreUpTo(feedRight + j, (cross ? wL : wR) * gain + xR + offset, available);
            StoreUpTo(outLeft + start + j, (one - m) * xL + wL * m, available);
            StoreUpTo(outRight + start + j, (one - m) * xR + wR * m, available);
        }
        if (wraps) {
            CopyIntoRing(lines[0], length, firstWritten, written[0], chunk);
            CopyIntoRing(lines[1], length, firstWritten, written[1], chunk);
        }
        writeIndex = (writeIndex + static_cast<uint32_t>(chunk)) & mask;
    }

    leftLine.writeIndex = rightLine.writeIndex = writeIndex;
    leftLine.NoteWritten(static_cast<uint32_t>(count));
    rightLine.NoteWritten(static_cast<uint32_t>(count));
    leftLowPass.state = stateL;
    rightLowPass.state = stateR;
    leftHighPass.previousInput = inputL;
    rightHighPass.previousInput = inputR;
    leftHighPass.previousOutput = outputL;
    rightHighPass.previousOutput = outputR;
}

} // namespace Effects
} // namespace VovezEdeduvo
