#pragma once
// A rotary knob: vertical drags and the wheel move a position of 0..100 percent, shown as one
// of the strip's frames.

#include "controls/GraphicsParameterControl.h"

#include <atomic>

namespace WindowsToolkit {

class Knob : public GraphicsParameterControl {
public:
    // Creates the knob's window at (x, y), the strip's frame size, in parent, then shows
    // initialValue without notification. Null when the window cannot be created.
    // User-interface thread.
    static Knob* Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue, float initialValue,
                        const ImageStrip* strip, int x, int y, HWND parent, HINSTANCE instance);

    Knob(const Pictures::ImageResource* background, const ImageStrip* strip, int parameterIndex, float defaultValue, int x,
         int y) noexcept
        : GraphicsParameterControl(background, strip, parameterIndex, defaultValue, x, y)
    {
    }

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
    int OnLButtonDown(UINT keys, POINT point) override; // Ctrl: reset; always starts a drag
    int OnMouseMove(UINT keys, POINT point) override;   // drag step, or re-arm hover tracking
    int OnMouseWheel(UINT keys, short delta, POINT point) override;
    void Draw(Pictures::Graphics& graphics) override;

private:
    // Adds delta to the position (clamped), shows it and reports it, even when the clamp left
    // the position where it was.
    void Step(float delta);
    unsigned FrameCount() const noexcept;

    std::atomic<float> position{0.0f}; // 0..100 from the mouse; a pushed value is not clamped
    int lastPointerY = 0;              // user-interface thread only
    std::atomic<int> frameIndex{0};
};

} // namespace WindowsToolkit
