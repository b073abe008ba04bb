#include "delay/DelayEngine.h"

#include "delay/RenderPaths.h"
#include "dsp/FlagDispatch.h"

#include <algorithm>
#include <initializer_list>

// --- Set-up ---

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

void DelayEngine::Prepare(float hz)
{
    if (!IsUsableSampleRate(hz))
        return;
    sampleRate = hz;
    ApplySampleRate(hz);
    Resize();
    FinishSampleRate(hz);
}

void DelayEngine::Restart()
{
    Prepare(sampleRate);
    for (FirstOrderFilter* filter : {&leftLowPass, &rightLowPass, &leftHighPass, &rightHighPass})
        filter->Reset();
    writeOffset = kWriteOffset;
}

void DelayEngine::Resize()
{
    const int32_t length = LineLength(sampleRate);
    leftLine.Resize(length);
    rightLine.Resize(length);
}

int32_t DelayEngine::LineLength(float hz) noexcept
{
    // The read at the full delay (D = rate) needs one sample more than a second holds.
    return static_cast<int32_t>(kMaxDelaySeconds * hz) + 1;
}

bool DelayEngine::IsUsableSampleRate(float hz) noexcept
{
    return MorlentDelay::IsUsableSampleRate(hz);
}

// --- Settings ---

void DelayEngine::SetSampleRate(float hz, std::unique_ptr<float[]>& leftSamples,
                                std::unique_ptr<float[]>& rightSamples) noexcept
{
    if (!IsUsableSampleRate(hz))
        return;
    sampleRate = hz;
    ApplySampleRate(hz);
    leftLine.Adopt(leftSamples, LineLength(hz));
    rightLine.Adopt(rightSamples, LineLength(hz));
    FinishSampleRate(hz);
}

void DelayEngine::ApplySampleRate(float hz) noexcept
{
    leftHighPass.SetSampleRate(hz);
    rightHighPass.SetSampleRate(hz);
    leftLowPass.SetSampleRate(hz);
    rightLowPass.SetSampleRate(hz);
}

void DelayEngine::FinishSampleRate(float hz) noexcept
{
    UpdateDelayTargets();
    const int32_t timeConstant = static_cast<int32_t>(hz * kInverseReferenceRate * kTimeConstantAtReferenceRate);
    leftSmoother.SetTimeConstant(timeConstant);
    rightSmoother.SetTimeConstant(timeConstant);
    leftSmoother.JumpToTarget();
    rightSmoother.JumpToTarget();
}

void DelayEngine::UpdateDelayTargets() noexcept
{
    leftDelaySamples = leftDelaySeconds * sampleRate;
    rightDelaySamples = rightDelaySeconds * sampleRate;
    leftSmoother.SetTarget(leftDelaySamples);
    rightSmoother.SetTarget(rightDelaySamples);
}

void DelayEngine::SetCutoff(float hz) noexcept
{
    cutoff = hz;
    leftLowPass.SetCutoff(hz);
    rightLowPass.SetCutoff(hz);
    leftHighPass.SetCutoff(hz);
    rightHighPass.SetCutoff(hz);
}

float DelayEngine::ClampDelaySeconds(float seconds) noexcept
{
    if (!(seconds > 0.0f))
        return 0.0f;
    return seconds > kMaxDelaySeconds ? kMaxDelaySeconds : seconds;
}

void DelayEngine::SetLeftDelayTime(float seconds) noexcept
{
    leftDelaySeconds = ClampDelaySeconds(seconds);
    leftDelaySamples = leftDelaySeconds * sampleRate;
    leftSmoother.SetTarget(leftDelaySamples);
}

void DelayEngine::SetRightDelayTime(float seconds) noexcept
{
    rightDelaySeconds = ClampDelaySeconds(seconds);
    rightDelaySamples = rightDelaySeconds * sampleRate;
    rightSmoother.SetTarget(rightDelaySamples);
}

// --- Reset ---

void DelayEngine::Clear() noexcept
{
    leftLine.Clear();
    rightLine.Clear();
}

// --- Process ---

void DelayEngine::Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                          int32_t count) noexcept
{
    if (count > 0) {
        using Dsp::FilterKind;
        const FilterKind filter = settings.filter;
        // Targets do not move during a call, so idle smoothers stay idle for the whole of it. No
        // stretch of frames is longer than its delays, so delays short now or at the end of a glide
        // go frame by frame.
        const bool gliding = leftSmoother.IsGliding() || rightSmoother.IsGliding();
        const bool shortDelay = std::min(std::min(leftSmoother.GetCurrent(), leftSmoother.GetTarget()),
                                         std::min(rightSmoother.GetCurrent(), rightSmoother.GetTarget())) <
                                DelayLoops::kShortestChunk;
        const bool highPass = filter == FilterKind::HighPass;
        const DelayLoops::PathState path{leftLine,
                                         rightLine,
                                         leftSmoother,
                                         rightSmoother,
                                         highPass ? leftHighPass : leftLowPass,
                                         highPass ? rightHighPass : rightLowPass,
                                         settings.feedback,
                                         settings.mix,
                                         writeOffset};
        if (shortDelay) {
            Dsp::WithConstants(
                [&](auto kind, auto glide, auto cross) {
                    DelayLoops::RenderFrames<decltype(kind)::value, decltype(glide)::value, decltype(cross)::value>(
                        path, inLeft, inRight, outLeft, outRight, count);
                },
                filter, gliding, settings.crossFeedback);
        } else if (gliding) {
            Dsp::WithConstants(
                [&](auto kind, auto cross) {
                    DelayLoops::RenderGliding<decltype(kind)::value, decltype(cross)::value>(path, inLeft, inRight,
                                                                                             outLeft, outRight, count);
                },
                filter, settings.crossFeedback);
        } else {
            Dsp::WithConstants(
                [&](auto kind, auto cross) {
                    DelayLoops::RenderInChunks<decltype(kind)::value, decltype(cross)::value>(path, inLeft, inRight,
                                                                                              outLeft, outRight, count);
                },
                filter, settings.crossFeedback);
        }
    }
    writeOffset = -writeOffset;
}
