#pragma once
// What a control needs of the window system that shows it. Each backend gives every control one
// site: a Win32 child window of its own, or a region of an X11 window.

namespace Controls {

// What a parameter control tells the view that holds it. None carries a value: the view asks the
// control for its state when the notice arrives.
enum class Notice {
    kValueChanged, // the user (or a notifying SetValue/SetIndex) changed the value
    kHover,        // the pointer rests on the control
    kLeave,        // the pointer left the control
    kRightClicked, // right button pressed on the control
};

class ControlSite {
public:
    // Any thread: asks for the control to be drawn again soon; never draws at once.
    virtual void Invalidate() = 0;

    // ---- User-interface thread ------------------------------------------------------------
    // While the pointer is captured, every pointer event goes to this control, wherever it is.
    virtual void CapturePointer() = 0;
    virtual void ReleasePointer() = 0;
    virtual bool HasPointerCapture() const = 0;
    // Asks to be told once when the pointer rests on the control and once when it leaves.
    virtual void TrackHover() = 0;
    // Hands notice to the view; a backend may deliver it later, but in order.
    virtual void Notify(Notice notice) = 0;

protected:
    ~ControlSite() = default;
};

// A site that shows nothing and tells nobody, for a control not yet placed in a window.
ControlSite& DetachedSite() noexcept;

} // namespace Controls
