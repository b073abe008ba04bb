#pragma once

#include <cmath>

namespace VovezEdeduvo {

// Listener base for the host's tempo in beats per minute. The model's tempo provider calls
// SetTempo on every registered listener when the tempo changes.
class Tempo {
public:
    static constexpr float kDefaultTempo = 120.0f;

    virtual ~Tempo() = default;
    // Called with the stored value already changed; empty in the base.
    virtual void OnTempoChanged(float) {}

    // Stores a usable tempo and runs the hook. Hosts without a tempo send 0, and a broken one
    // may send a negative or non-finite value; those are ignored and the last usable tempo stays.
    void SetTempo(float bpm)
    {
        if (!IsUsableTempo(bpm))
            return;
        tempo = bpm;
        OnTempoChanged(bpm);
    }
    float GetTempo() const { return tempo; }
    static bool IsUsableTempo(float bpm) { return bpm > 0.0f && std::isfinite(bpm); }

private:
    float tempo = kDefaultTempo;
};

} // namespace VovezEdeduvo
