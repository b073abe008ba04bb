#pragma once

#include "legacy/controls/ValueControl.h"

namespace WindowToolkit {

// A knob turned by dragging up and down: 75 pixels cover the whole range, 750 with Shift;
// Ctrl + click resets it. Its frames are rendered over the background once, when it is made.
class Knob : public ValueControl {
public:
    static constexpr float kRange = 75.0f;
    static constexpr float kFineFactor = 0.1f;

    // A child window of parent at (x, y) in the strip's frame size, identified by identifier
    // (also its child window identifier). Null on failure.
    static Knob* Create(int identifier, const Picture* strip, const Picture* background, bool vertical,
                        unsigned frameCount, float defaultValue, int x, int y, HWND parent, HINSTANCE instance);

    float GetValue() const override;
    void SetValue(float value) override;
    int GetFrameIndex() const override;

    int OnCreate(CREATESTRUCTA*) override;
    int OnPaint(HDC dc) override;
    int OnEraseBackground(WPARAM) override { return 1; }
    int OnLButtonDown(WPARAM keys, int x, int y) override;
    int OnLButtonUp(WPARAM keys, int x, int y) override;
    int OnMouseMove(WPARAM keys, int x, int y) override;
    int OnRButtonDown(WPARAM keys, int x, int y) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Knob(int identifier, const Picture* strip, const Picture* background, bool vertical, unsigned frameCount,
         float defaultValue) noexcept;

    const Picture* strip;
    const Picture* background;
    bool vertical;
    unsigned frameCount;
    FrameSize frame;
    int lastPointerY = 0;
    float position;
    bool dragging = false;
    RenderedFrames frames;
};

} // namespace WindowToolkit
