#pragma once
// A control that shows one plug-in parameter as a normalised value and reports the user's
// changes, hovering, leaving and right clicks to its parent by the registered messages.

#include "controls/Window.h"

namespace WindowsToolkit {

class ParameterControl : public Window {
public:
    ParameterControl(int parameterIndex, float defaultValue, int x, int y, int width, int height) noexcept
        : Window(x, y, width, height), parameterIndex(parameterIndex), defaultValue(defaultValue)
    {
    }

    int GetParameterIndex() const noexcept { return parameterIndex; }
    float GetDefaultValue() const noexcept { return defaultValue; }

    // ---- Value and index --------------------------------------------------------------------
    // Any thread for GetValue, GetIndex and SetValue/SetIndex with notify false: those only store
    // atomics and invalidate, so the host may push a value while the window paints.
    // With notify true, user-interface thread: also posts UWM_PC_VALUE_CHANGED.
    virtual float GetValue() const = 0;
    virtual void SetValue(float value, bool notify) = 0;
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index, bool notify) = 0;
    virtual int GetMaxIndex() const = 0;
    virtual int GetMinIndex() const = 0;
    // User-interface thread: SetValue (default value, true).
    virtual void ResetToDefault() = 0;

    // ---- Message handlers: user-interface thread --------------------------------------------
    // Takes the focus, so the wheel (delivered to the focus window) reaches the control under
    // the pointer; posts UWM_PC_HOVER.
    int OnMouseHover(UINT keys, POINT point) override;
    // Posts UWM_PC_LEAVE and hands the focus back to the window that had it.
    int OnMouseLeave() override;
    int OnRButtonDown(UINT keys, POINT point) override; // posts UWM_PC_RIGHT_CLICKED
    int OnLButtonUp(UINT keys, POINT point) override;   // ends a drag: ReleaseCapture

protected:
    // Posts message to the parent window: wParam the parameter index, lParam this control.
    void Post(UINT message) const;
    // Set between WM_MOUSELEAVE and the next WM_MOUSEHOVER; the wheel is ignored meanwhile.
    bool IsPointerOutside() const noexcept { return pointerOutside != 0; }
    // Drag steps need the left button and this window holding the capture.
    bool IsDragging(UINT keys) const;

private:
    int parameterIndex;
    float defaultValue;
    int pointerOutside = 0;    // user-interface thread only
    HWND savedFocus = nullptr; // user-interface thread only
};

} // namespace WindowsToolkit
