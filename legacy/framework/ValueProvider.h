#pragma once

#include <cstdint>

namespace VovezEdeduvo {

// Hands a host value (sample rate, tempo, musical position) to the listeners that registered
// for it, in registration order; a listener that already holds the value is not called. Room
// for a fixed number of listeners, so nothing allocates after set-up.
template <typename Listener, float (Listener::*get)() const, void (Listener::*set)(float)>
class ValueProvider {
public:
    static constexpr int32_t kMaxListeners = 8;

    virtual ~ValueProvider() = default;

    // Set-up. Answers false when the provider is full.
    bool AddListener(Listener* listener)
    {
        if (listener == nullptr || count == kMaxListeners)
            return false;
        listeners[count++] = listener;
        return true;
    }
    void Update(float value)
    {
        for (int32_t i = 0; i < count; ++i)
            if (!((listeners[i]->*get)() == value))
                (listeners[i]->*set)(value);
    }

private:
    Listener* listeners[kMaxListeners] = {};
    int32_t count = 0;
};

// Nothing in this effect follows the musical position; the provider is there for effects that do.
class Position {
public:
    virtual ~Position() = default;
    virtual void OnPositionChanged(float) {}
    void SetPosition(float quarterNotes)
    {
        position = quarterNotes;
        OnPositionChanged(quarterNotes);
    }
    float GetPosition() const { return position; }

private:
    float position = 0.0f;
};

} // namespace VovezEdeduvo
