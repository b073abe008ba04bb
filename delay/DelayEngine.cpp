#include "delay/DelayEngine.h"

#include <cfloat>
#include <cmath>

namespace {

// A non-finite input sample is never written into a line or a filter: it counts as silence,
// so the output recovers on its own. Finite samples pass unchanged.
inline float Finite(float x)
{
    return std::fabs(x) <= FLT_MAX ? x : 0.0f;
}

} // namespace

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
    // Targets do not move during a call, so idle smoothers stay idle for the whole of it.
    if (leftSmoother.IsGliding() || rightSmoother.IsGliding())
        Render<filter, true>(inLeft, inRight, outLeft, outRight, count);
    else
        Render<filter, false>(inLeft, inRight, outLeft, outRight, count);
}

// Both lines always share one length and one write position: they are sized, emptied and
// written together.
template <DelayEngine::LoopFilter filter, bool gliding>
void DelayEngine::Render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count)
{
    float* const left = leftLine.samples.get();
    float* const right = rightLine.samples.get();
    const int32_t length = leftLine.length;
    int32_t writeIndex = leftLine.writeIndex;

    const float wet = mix;
    const float dry = 1.0f - mix;
    const float gain = feedback;
    const float offset = writeOffset;
    const bool cross = crossFeedback;

    FirstOrderFilter& leftFilter = filter == LoopFilter::HighPass ? leftHighPass : leftLowPass;
    FirstOrderFilter& rightFilter = filter == LoopFilter::HighPass ? rightHighPass : rightLowPass;
    const float gainL = leftFilter.gain, gainR = rightFilter.gain;
    const float poleL = leftFilter.coefficient, poleR = rightFilter.coefficient;
    float previousInputL = leftFilter.previousInput, previousOutputL = leftFilter.previousOutput;
    float previousInputR = rightFilter.previousInput, previousOutputR = rightFilter.previousOutput;

    DelayTimeSmoother smootherL = leftSmoother;
    DelayTimeSmoother smootherR = rightSmoother;
    // With idle smoothers the read offsets are the same for the whole call.
    const int32_t idleWholeL = static_cast<int32_t>(smootherL.current);
    const int32_t idleWholeR = static_cast<int32_t>(smootherR.current);
    const float idleFractionL = smootherL.current - static_cast<float>(idleWholeL);
    const float idleFractionR = smootherR.current - static_cast<float>(idleWholeR);

    for (int32_t n = 0; n < count; ++n) {
        const float xL = Finite(inLeft[n]);
        const float xR = Finite(inRight[n]);

        int32_t wholeL = idleWholeL, wholeR = idleWholeR;
        float fractionL = idleFractionL, fractionR = idleFractionR;
        if (gliding) {
            const float delayL = smootherL.Step();
            const float delayR = smootherR.Step();
            wholeL = static_cast<int32_t>(delayL);
            wholeR = static_cast<int32_t>(delayR);
            fractionL = delayL - static_cast<float>(wholeL);
            fractionR = delayR - static_cast<float>(wholeR);
        }
        int32_t pL = writeIndex - wholeL;
        int32_t pR = writeIndex - wholeR;
        if (pL < 0)
            pL += length;
        if (pR < 0)
            pR += length;
        const int32_t qL = pL + 1 == length ? 0 : pL + 1;
        const int32_t qR = pR + 1 == length ? 0 : pR + 1;
        const float delayedL = left[pL] + (left[qL] - left[pL]) * fractionL;
        const float delayedR = right[pR] + (right[qR] - right[pR]) * fractionR;

        float wetL = delayedL, wetR = delayedR;
        if (filter == LoopFilter::LowPass) {
            wetL = FirstOrderFilter::StepLowPass(delayedL, gainL, poleL, previousInputL, previousOutputL);
            wetR = FirstOrderFilter::StepLowPass(delayedR, gainR, poleR, previousInputR, previousOutputR);
        } else if (filter == LoopFilter::HighPass) {
            wetL = FirstOrderFilter::StepHighPass(delayedL, gainL, poleL, previousInputL, previousOutputL);
            wetR = FirstOrderFilter::StepHighPass(delayedR, gainR, poleR, previousInputR, previousOutputR);
        }

        const float feedbackL = Limit(cross ? wetR : wetL);
        const float feedbackR = Limit(cross ? wetL : wetR);
        if (++writeIndex == length)
            writeIndex = 0;
        left[writeIndex] = gain * feedbackL + xL + offset;
        right[writeIndex] = gain * feedbackR + xR + offset;

        outLeft[n] = dry * xL + wet * wetL;
        outRight[n] = dry * xR + wet * wetR;
    }

    leftLine.writeIndex = writeIndex;
    rightLine.writeIndex = writeIndex;
    if (filter != LoopFilter::None) {
        leftFilter.previousInput = previousInputL;
        leftFilter.previousOutput = previousOutputL;
        rightFilter.previousInput = previousInputR;
        rightFilter.previousOutput = previousOutputR;
    }
    if (gliding) {
        leftSmoother = smootherL;
        rightSmoother = smootherR;
    }
}
