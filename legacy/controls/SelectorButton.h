#pragma once

#include "legacy/controls/ValueControl.h"

namespace WindowToolkit {

// A push button that steps another control through n states on release: its value goes up by
// 1/n and wraps to 0 at 1. Shows its pressed frame while held.
class SelectorButton : public Window {
public:
    static SelectorButton* Create(const Picture* strip, const Picture* background, bool vertical,
                                  unsigned targetStates, int x, int y, HWND parent, HINSTANCE instance);

    void SetTarget(ValueControl* control) noexcept { target = control; }
    ValueControl* GetTarget() const noexcept { return target; }
    bool IsPressed() const noexcept { return pressed; }

    int OnCreate(CREATESTRUCTA*) override;
    int OnPaint(HDC dc) override;
    int OnEraseBackground(WPARAM) override { return 1; }
    int OnLButtonDown(WPARAM keys, int x, int y) override;
    int OnLButtonUp(WPARAM keys, int x, int y) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr unsigned kFrames = 2; // released, pressed
    SelectorButton(const Picture* strip, const Picture* background, bool vertical, unsigned targetStates) noexcept;

    const Picture* strip;
    const Picture* background;
    bool vertical;
    FrameSize frame;
    bool captured = false;
    bool pressed = false;
    float step;
    ValueControl* target = nullptr;
    RenderedFrames frames;
};

} // namespace WindowToolkit
