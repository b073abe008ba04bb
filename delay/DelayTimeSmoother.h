#pragma once

#include <cmath>
#include <cstdint>

// Moves a delay in samples toward its target along a one-pole curve that aims a little past
// the target, so it crosses the target in finite time and then lands on it exactly. Near a
// large target the curve's step can round to nothing (22050 to 44100 samples would stop 25
// samples short); from there it creeps on by one float step per sample until it lands.
// Plain single-threaded DSP state: its owner calls every member from one thread at a time.
// Nothing in it allocates.
class DelayTimeSmoother {
public:
    static constexpr float kDenormalOffset = 1e-25f;
    // How far past the target the curve aims, in samples.
    static constexpr float kOvershoot = 0.001f;

    // --- Settings ---

    // c = exp(-1 / samples).
    void SetTimeConstant(int32_t samples) noexcept;
    // A glide in progress continues from where it is.
    void SetTarget(float samples) noexcept;

    // --- Reset ---

    // The delay jumps to the target; the next glide starts from there.
    void JumpToTarget() noexcept;

    // --- Process ---

    bool IsGliding() const noexcept { return target < current || target > current; }

    // One sample's step; idle (one comparison) once the target is reached.
    float Step() noexcept
    {
        if (IsGliding()) {
            float y = aim * oneMinusCoefficient + coefficient * state + kDenormalOffset;
            if (y == state)
                y = Creep(state, falling);
            state = y;
            current = y;
            if (falling ? y <= target : y >= target)
                current = target;
        }
        return current;
    }

    // Takes over the state and delay reached by steps taken elsewhere in exactly Step's
    // arithmetic (the engine steps both channels side by side).
    void Continue(float newState, float newCurrent) noexcept
    {
        state = newState;
        current = newCurrent;
    }

    // One float step from a stalled value toward the target.
    static float Creep(float from, bool falling) noexcept;

    int32_t GetTimeConstant() const noexcept { return timeConstant; }
    float GetCoefficient() const noexcept { return coefficient; }
    float GetState() const noexcept { return state; }
    float GetTarget() const noexcept { return target; }
    float GetCurrent() const noexcept { return current; }
    float GetAim() const noexcept { return aim; }
    float GetOneMinusCoefficient() const noexcept { return oneMinusCoefficient; }
    bool IsFalling() const noexcept { return falling; }

private:
    int32_t timeConstant = 1;
    float oneMinusCoefficient = 0.0f;
    float coefficient = 0.0f;
    float state = 0.0f;
    bool falling = true;
    float target = 0.0f;
    float aim = 0.0f;
    float current = 0.0f;
};
