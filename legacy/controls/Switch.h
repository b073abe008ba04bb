#pragma once

#include "legacy/controls/ValueControl.h"

namespace WindowToolkit {

// A switch that takes its value from where it is clicked: the height above the click (vertical)
// or the distance from the left edge (horizontal), as a continuous 0..1 that the parameter
// then interprets. Ctrl + click resets it.
class Switch : public ValueControl {
public:
    enum class Hit { Horizontal, Vertical };

    static Switch* Create(int identifier, Hit hit, const Picture* strip, const Picture* background,
                          bool stripVertical, unsigned frameCount, float defaultValue, int x, int y, HWND parent,
                          HINSTANCE instance);

    float GetValue() const override { return value; }
    void SetValue(float newValue) override;
    int GetFrameIndex() const override { return FrameIndexForValue(value, frameCount); }

    int OnPaint(HDC dc) override;
    int OnEraseBackground(WPARAM) override { return 1; }
    int OnLButtonDown(WPARAM keys, int x, int y) override;
    int OnMouseMove(WPARAM keys, int x, int y) override;
    int OnRButtonDown(WPARAM keys, int x, int y) override;

private:
    Switch(int identifier, Hit hit, const Picture* strip, const Picture* background, bool stripVertical,
           unsigned frameCount, float defaultValue) noexcept;

    Hit hit;
    const Picture* strip;
    const Picture* background;
    bool stripVertical;
    unsigned frameCount;
    FrameSize frame;
    float value;
};

} // namespace WindowToolkit
