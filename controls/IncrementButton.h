#pragma once
// A push button that advances another control by one index on release, wrapping past its last
// index to its first.

#include "controls/ParameterControl.h"
#include "pictures/ImageStrip.h"

namespace Controls {

class IncrementButton : public Control {
public:
    // strip: frame 0 released, frame 1 pressed; not owned. The button is the size of its frames;
    // the target starts null.
    IncrementButton(const Pictures::ImageStrip* strip, Point position) noexcept;

    // ---- User-interface thread ----------------------------------------------------------
    // target is not owned; it lives as long as the button.
    void SetTarget(ParameterControl* control) noexcept { target = control; }
    ParameterControl* GetTarget() const noexcept { return target; }
    bool IsPressed() const noexcept { return pressed; }

    bool OnLeftButtonDown(Point point, Modifiers keys) override; // press and capture
    // Steps the target (which reports the change itself) on every release, inside or outside.
    bool OnLeftButtonUp(Point point, Modifiers keys) override;
    void Draw(Pictures::Canvas& canvas) override;

private:
    const Pictures::ImageStrip* strip;
    ParameterControl* target = nullptr;
    bool pressed = false;
};

} // namespace Controls
