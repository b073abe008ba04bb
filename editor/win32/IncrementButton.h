#pragma once
// The note rows' step button in a window of class "MorlentWindowsToolkitIncrementButton".

#include "controls/IncrementButton.h"
#include "editor/win32/GraphicsControl.h"

namespace WindowsToolkit {

class ParameterControl;

class IncrementButton : public GraphicsControl {
public:
    // Creates the button's window at (x, y), the strip's frame size (frame 0 released, frame 1
    // pressed); the target starts null. Null when the window cannot be created.
    // User-interface thread.
    static IncrementButton* Create(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip, int x,
                                   int y, HWND parent, HINSTANCE instance);

    IncrementButton(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip, int x, int y);

    // ---- User-interface thread ----------------------------------------------------------
    // target is not owned; a sibling window, destroyed with this one.
    void SetTarget(ParameterControl* control) noexcept;
    ParameterControl* GetTarget() const noexcept { return target; }
    bool IsPressed() const noexcept { return Button().IsPressed(); }

    int OnLButtonDown(UINT keys, POINT point) override; // press and capture
    // Steps the target (which reports the change itself) on every release, inside or outside.
    int OnLButtonUp(UINT keys, POINT point) override;

private:
    Controls::IncrementButton& Button() const noexcept { return static_cast<Controls::IncrementButton&>(GetControl()); }

    ParameterControl* target = nullptr;
};

} // namespace WindowsToolkit
