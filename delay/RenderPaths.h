#pragma once
// The 64-bit engine's render paths, each a loop over one call's frames, templates on the block's
// filter kind and flags:
//
// - RenderFrames, one frame at a time, is the plain loop and the reference: every other path
//   renders exactly its bits. It takes delays too short for a stretch of frames.
// - RenderGliding steps the delays every frame and leaves the feedback writes and the mix to
//   the end of each stretch.
// - RenderInChunks, for idle delays, renders stretches four frames at a time: a speculative
//   form while the filter's outputs are loud, a long one where its denormal offset counts.

#include "delay/DelayLine.h"
#include "delay/StereoKernels.h"
#include "dsp/FilterKind.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace DelayLoops {

// What a path works on: the engine's lines, its delay smoothers, the two filters of the block's
// kind (either pair when it has none), and the block's settings. The path keeps what changes in
// locals and hands it back at the end.
struct PathState {
    DelayLine& leftLine;
    DelayLine& rightLine;
    DelayTimeSmoother& leftSmoother;
    DelayTimeSmoother& rightSmoother;
    FirstOrderFilter& leftFilter;
    FirstOrderFilter& rightFilter;
    float feedback;
    float mix;
    float writeOffset;
};

// Stretches of frames rendered at once; shorter delays go frame by frame.
constexpr int32_t kLongestChunk = 64;
constexpr int32_t kShortestChunk = 8;

// Both lines always share one length and one write position: they are sized, emptied and
// written together. One frame at a time, both channels side by side.
template <Dsp::FilterKind filter, bool gliding, bool cross>
void RenderFrames(const PathState& path, const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                  int32_t count) noexcept
{
    float* const left = path.leftLine.GetSamples();
    float* const right = path.rightLine.GetSamples();
    const int32_t length = path.leftLine.GetLength();
    int32_t writeIndex = path.leftLine.GetWriteIndex();

    const Lanes wet = Both(path.mix);
    const Lanes dry = Both(1.0f - path.mix);
    const Lanes gain = Both(path.feedback);
    const Lanes offset = Both(path.writeOffset);

    FirstOrderFilter& leftFilter = path.leftFilter;
    FirstOrderFilter& rightFilter = path.rightFilter;
    FilterPair filters = LoadFilters(leftFilter, rightFilter);

    const SmootherPair smoothers = LoadSmoothers(path.leftSmoother, path.rightSmoother);
    Lanes state{path.leftSmoother.GetState(), path.rightSmoother.GetState(), 0.0f, 0.0f};
    Lanes current{path.leftSmoother.GetCurrent(), path.rightSmoother.GetCurrent(), 0.0f, 0.0f};
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

    path.leftLine.SetWriteIndex(writeIndex);
    path.rightLine.SetWriteIndex(writeIndex);
    if (filter != Dsp::FilterKind::None)
        StoreFilters(filters, leftFilter, rightFilter);
    if (gliding)
        StoreSmoothers(state, current, path.leftSmoother, path.rightSmoother);
}
// While a delay glides its read position moves every frame, so each frame takes its own
// smoother step, read and filter step, both channels side by side. But while no frame of a
// stretch reads a sample written inside the stretch, the feedback writes and the mix can wait
// for the end of the stretch and be done four frames at a time. A stretch ends before the
// first frame whose delay, in whole samples, no longer exceeds its place in the stretch, and
// after a frame in which a delay lands on its target.
template <Dsp::FilterKind filter, bool cross>
void RenderGliding(const PathState& path, const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                   int32_t count) noexcept
{
    float* const left = path.leftLine.GetSamples();
    float* const right = path.rightLine.GetSamples();
    const int32_t length = path.leftLine.GetLength();
    const LaneBits lengths{length, length, length, length};
    int32_t writeIndex = path.leftLine.GetWriteIndex();

    FirstOrderFilter& leftFilter = path.leftFilter;
    FirstOrderFilter& rightFilter = path.rightFilter;
    FilterPair filters = LoadFilters(leftFilter, rightFilter);

    const SmootherPair smoothers = LoadSmoothers(path.leftSmoother, path.rightSmoother);
    // A channel that does not glide keeps its delay; its state lane runs on unused, and kept
    // holds its real state.
    Lanes state{path.leftSmoother.GetState(), path.rightSmoother.GetState(), 0.0f, 0.0f};
    Lanes kept = state;
    Lanes current{path.leftSmoother.GetCurrent(), path.rightSmoother.GetCurrent(), 0.0f, 0.0f};
    LaneBits moving = Moving(smoothers, current);

    const Mixing mixing{Both(1.0f - path.mix), Both(path.mix), Both(path.feedback), Both(path.writeOffset)};

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

    path.leftLine.SetWriteIndex(writeIndex);
    path.rightLine.SetWriteIndex(writeIndex);
    if (filter != Dsp::FilterKind::None)
        StoreFilters(filters, leftFilter, rightFilter);
    kept = Select(moving, state, kept);
    StoreSmoothers(kept, current, path.leftSmoother, path.rightSmoother);
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
// when the stretch is not a whole number of them): the fractional reads, the filter and
// FeedAndMixGroup, bit for bit the frame-by-frame loop.
//
// The input's part of each filter output, g × (x ± previous input state), depends on the inputs
// only and is taken four frames at a time. What remains is y = k × (y' + 1e-25) + that part, one
// frame after the other. While the outputs are loud the offset changes nothing, so the
// speculative form runs the recursion without it, one multiply and one add per frame, and
// checks every four outputs before using them; it stops before the first four in which the
// offset would have counted and returns where it stopped, for the long form to go on from there.
template <Dsp::FilterKind kind, bool cross, bool speculative>
inline int32_t RenderGroups(const Stretch& s, StretchFilters& filters, const Mixing& mixing, int32_t first) noexcept
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
// With idle smoothers and delays of at least kShortestChunk samples, no read of a stretch of
// frames that short reaches a sample written in the same stretch. So a stretch can be read,
// filtered, limited, written and mixed four frames at a time, in exactly the arithmetic of the
// frame-by-frame loop, the feedback written straight into the lines.
template <Dsp::FilterKind filter, bool cross>
void RenderInChunks(const PathState& path, const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                    int32_t count) noexcept
{
    float* const lines[2] = {path.leftLine.GetSamples(), path.rightLine.GetSamples()};
    const int32_t length = path.leftLine.GetLength();
    int32_t writeIndex = path.leftLine.GetWriteIndex();
    LaneBits whole;
    Lanes fraction;
    SplitDelay(Lanes{path.leftSmoother.GetCurrent(), path.rightSmoother.GetCurrent(), 0.0f, 0.0f}, whole, fraction);
    const int32_t longestChunk = std::min(kLongestChunk, std::min(whole[0], whole[1]));

    FirstOrderFilter& leftFilter = path.leftFilter;
    FirstOrderFilter& rightFilter = path.rightFilter;
    StretchFilters filters{{Both(leftFilter.GetGain()), Both(rightFilter.GetGain())},
                           {leftFilter.GetCoefficient(), rightFilter.GetCoefficient()},
                           {Both(leftFilter.GetPreviousInput()), Both(rightFilter.GetPreviousInput())},
                           {leftFilter.GetPreviousOutput(), rightFilter.GetPreviousOutput()}};

    const Mixing mixing{Both(1.0f - path.mix), Both(path.mix), Both(path.feedback), Both(path.writeOffset)};

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

    path.leftLine.SetWriteIndex(writeIndex);
    path.rightLine.SetWriteIndex(writeIndex);
    if (filter != Dsp::FilterKind::None) {
        leftFilter.SetStates(filters.inputState[0][3], filters.outputState[0]);
        rightFilter.SetStates(filters.inputState[1][3], filters.outputState[1]);
    }
}

} // namespace DelayLoops
