#pragma once
// A push button that advances another control by one index on release, wrapping past its last
// index to its first.

#include "controls/GraphicsControl.h"

namespace WindowsToolkit {

class ImageStrip;
class ParameterControl;

class IncrementButton : public GraphicsControl {
public:
    // Creates the button's window at (x, y), the strip's frame size (frame 0 released, frame 1
    // pressed); the target starts null. Null when the window cannot be created.
    // User-interface thread.
    static IncrementButton* Create(const Pictures::ImageResource* background, const ImageStrip* strip, int x, int y,
                                   HWND parent, HINSTANCE instance);

    IncrementButton(const Pictures::ImageResource* background, const ImageStrip* strip, int x, int y) noexcept;

    // ---- User-interface thread ----------------------------------------------------------
    // target is not owned; a sibling window, destroyed with this one.
    void SetTarget(ParameterControl* control) noexcept { target = control; }
    ParameterControl* GetTarget() const noexcept { return target; }
    bool IsPressed() const noexcept { return pressed; }

    int OnLButtonDown(UINT keys, POINT point) override; // press and capture
    // Steps the target (which reports the change itself) on every release, inside or outside.
    int OnLButtonUp(UINT keys, POINT point) override;
    void Draw(Pictures::Graphics& graphics) override;

private:
    const ImageStrip* strip;
    ParameterControl* target = nullptr;
    bool pressed = false;
};

} // namespace WindowsToolkit
