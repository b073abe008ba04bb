#pragma once
// A rotary knob: vertical drags and the wheel move a position of 0..100 percent, shown as one of
// the strip's frames.

#include "controls/ParameterControl.h"
#include "pictures/ImageStrip.h"

#include <atomic>

namespace Controls {

class Knob : public ParameterControl {
public:
    // strip is not owned; the knob is the size of its frames.
    Knob(const Pictures::ImageStrip* strip, int parameterIndex, float defaultValue, Point position) noexcept;

    // ---- Any thread (notify false), see ParameterControl -------------------------------------
    float GetValue() const override;
    // Stores value × 100 unclamped (GetValue gives it back) and shows its frame.
    void SetValue(float value, bool notify) override;
    int GetIndex() const override;
    // Shows frame index without moving the position.
    void SetIndex(int index, bool notify) override;
    int GetMaxIndex() const override;
    int GetMinIndex() const override;

    // ---- User-interface thread --------------------------------------------------------------
    void ResetToDefault() override;
    bool OnLeftButtonDown(Point point, Modifiers keys) override; // Ctrl: reset; always starts a drag
    bool OnPointerMove(Point point, Modifiers keys, bool leftButton) override; // drag step, or hover tracking
    // One step per wheel event whatever its size; declined while the pointer is outside.
    bool OnWheel(short delta, Modifiers keys) override;
    void Draw(Pictures::Canvas& canvas) override;

private:
    // Adds delta to the position (clamped), shows it and reports it, even when the clamp left the
    // position where it was.
    void Step(float delta);
    unsigned FrameCount() const noexcept;

    const Pictures::ImageStrip* strip;
    std::atomic<float> position{0.0f}; // 0..100 from the mouse; a pushed value is not clamped
    int lastPointerY = 0;              // user-interface thread only
    std::atomic<int> frameIndex{0};
};

} // namespace Controls
