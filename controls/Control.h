#pragma once
// The base of every control: a rectangle of the view, drawn on a canvas, fed with pointer events
// in its own coordinates by whichever window system shows it.

#include "controls/ControlSite.h"
#include "pictures/Canvas.h"

namespace Controls {

using Pictures::Point;
using Pictures::Rect;
using Pictures::Size;

// The keys held with a pointer event.
struct Modifiers {
    bool shift = false;
    bool control = false;
};

class Control {
public:
    // bounds: the control's place in the view, as the view's layout puts it; never changes.
    explicit Control(Rect bounds) noexcept : bounds(bounds) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Before the control shows anything; the site must outlive the control.
    void SetSite(ControlSite& newSite) noexcept { site = &newSite; }
    Rect GetBounds() const noexcept { return bounds; }
    Size GetSize() const noexcept { return Size{bounds.Width(), bounds.Height()}; }

    // ---- User-interface thread ------------------------------------------------------------
    // Draws the control's face on canvas, which already shows the background under it.
    virtual void Draw(Pictures::Canvas& canvas) = 0;

    // Pointer events, in the control's own coordinates (negative or past its size while it holds
    // the capture). Each answers whether the control took the event; one it declines goes on to
    // whatever the window system does with it otherwise.
    virtual bool OnLeftButtonDown(Point point, Modifiers keys);
    virtual bool OnLeftButtonUp(Point point, Modifiers keys);
    virtual bool OnRightButtonDown(Point point, Modifiers keys);
    // leftButton: the left button is held during the move.
    virtual bool OnPointerMove(Point point, Modifiers keys, bool leftButton);
    virtual bool OnHover();
    virtual bool OnLeave();
    // delta: the window system's wheel units, positive away from the user (120 a notch).
    virtual bool OnWheel(short delta, Modifiers keys);

protected:
    ControlSite& Site() const noexcept { return *site; }

private:
    Rect bounds;
    ControlSite* site = &DetachedSite();
};

} // namespace Controls
