#pragma once
// A control that shows one plug-in parameter as a normalised value and tells its view of the
// user's changes, of hovering, leaving and right clicks.

#include "controls/Control.h"

namespace Controls {

class ParameterControl : public Control {
public:
    ParameterControl(int parameterIndex, float defaultValue, Rect bounds) noexcept
        : Control(bounds), parameterIndex(parameterIndex), defaultValue(defaultValue)
    {
    }

    int GetParameterIndex() const noexcept { return parameterIndex; }
    float GetDefaultValue() const noexcept { return defaultValue; }

    // ---- Value and index --------------------------------------------------------------------
    // Any thread for GetValue, GetIndex and SetValue/SetIndex with notify false: those only store
    // atomics and invalidate, so a host may push a value while the window paints.
    // With notify true, user-interface thread: also notifies kValueChanged.
    virtual float GetValue() const = 0;
    virtual void SetValue(float value, bool notify) = 0;
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index, bool notify) = 0;
    virtual int GetMaxIndex() const = 0;
    virtual int GetMinIndex() const = 0;
    // User-interface thread: SetValue (default value, true).
    virtual void ResetToDefault() = 0;

    // ---- User-interface thread ----------------------------------------------------------------
    bool OnHover() override;                                   // notifies kHover
    bool OnLeave() override;                                   // notifies kLeave
    bool OnRightButtonDown(Point point, Modifiers keys) override; // notifies kRightClicked
    bool OnLeftButtonUp(Point point, Modifiers keys) override;    // ends a drag

protected:
    // From a leave until the next hover; the wheel is ignored meanwhile.
    bool IsPointerOutside() const noexcept { return pointerOutside; }
    // A drag step needs the left button and this control holding the capture.
    bool IsDragging(bool leftButton) const { return leftButton && Site().HasPointerCapture(); }

private:
    int parameterIndex;
    float defaultValue;
    bool pointerOutside = false; // user-interface thread only
};

} // namespace Controls
