#pragma once

#include <cstdint>

namespace VovezEdeduvo {
namespace ParameterHandling {

// Turns a parameter's target into per-sample values, one block at a time: a one-pole approach
// toward a point kOvershoot beyond the target, with a time constant of sampleRate × 0.1 + 1
// samples, that ends exactly on the target. The audio code reads the block's values from
// GetRamp, whose array stays in place for the smoother's lifetime.
//
// Threads: no locks; Advance runs on the audio thread, the model serialises the rest with it.
class ParameterSmoother {
public:
    static constexpr int32_t kRampLength = 16384;
    static constexpr float kDefaultSmoothingTime = 0.1f;
    // The approach aims this far beyond the target so that it reaches it in finite time.
    static constexpr float kOvershoot = 0.0001f;

    enum Mode : int32_t { kMoving = 0, kSettling = 1, kIdle = 2 };

    ParameterSmoother();

    // Jumps to the target: the whole ramp holds it and the smoother is idle.
    void Reset();
    void SetTarget(float value);
    // A rate that is not finite and above 0 is ignored.
    void SetSampleRate(float hz);
    // Fills ramp[0 .. count - 1]; count is at most kRampLength (a longer count is cut to it).
    void Advance(int32_t count);
    // Advance on several smoothers, all moving, at once, each in a lane of its own, so their
    // recursions overlap; every value is bit for bit what Advance would give.
    static void AdvanceTogether(ParameterSmoother* const* smoothers, int32_t smootherCount, int32_t count);

    const float* GetRamp() const { return ramp; }
    float GetTarget() const { return target; }
    float GetCurrent() const { return current; }
    float GetCoefficient() const { return coefficient; }
    float GetSampleRate() const { return sampleRate; }
    Mode GetMode() const { return static_cast<Mode>(mode); }
    bool IsFalling() const { return falling != 0; }

    // kRampLength zeros, for readers that have no smoother yet.
    static const float* ZeroRamp();

private:
    template <bool down>
    int32_t Run(int32_t count);
    void Settle(int32_t from, int32_t count);
    template <int32_t lanes>
    static void AdvanceLanes(ParameterSmoother* const* smoothers, int32_t count);

    float sampleRate;
    float target = 0.0f;
    float smoothingTime = kDefaultSmoothingTime;
    int32_t mode = kIdle;
    int32_t falling = 0;
    float coefficient;
    float current = 0.0f;
    float aim = 0.0f;
    alignas(16) float ramp[kRampLength];
};

} // namespace ParameterHandling
} // namespace VovezEdeduvo
