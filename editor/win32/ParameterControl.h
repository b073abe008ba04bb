#pragma once
// A toolkit window that shows one of the editor's parameter controls and reports the user's
// changes, hovering, leaving and right clicks to its parent by the registered messages.

#include "controls/ParameterControl.h"
#include "editor/win32/Window.h"

#include <memory>

namespace WindowsToolkit {

class ParameterControl : public Window, protected Controls::ControlSite {
public:
    // The window takes the control's bounds.
    explicit ParameterControl(std::unique_ptr<Controls::ParameterControl> control) noexcept;

    int GetParameterIndex() const noexcept { return control->GetParameterIndex(); }
    float GetDefaultValue() const noexcept { return control->GetDefaultValue(); }
    Controls::ParameterControl& GetControl() const noexcept { return *control; }

    // ---- Value and index: the control's, see Controls::ParameterControl -----------------------
    // Any thread for GetValue, GetIndex and SetValue/SetIndex with notify false: those only store
    // atomics and invalidate, so the host may push a value while the window paints.
    // With notify true, user-interface thread: also posts UWM_PC_VALUE_CHANGED.
    float GetValue() const { return control->GetValue(); }
    void SetValue(float value, bool notify) { control->SetValue(value, notify); }
    int GetIndex() const { return control->GetIndex(); }
    void SetIndex(int index, bool notify) { control->SetIndex(index, notify); }
    int GetMaxIndex() const { return control->GetMaxIndex(); }
    int GetMinIndex() const { return control->GetMinIndex(); }
    // User-interface thread: SetValue (default value, true).
    void ResetToDefault() { control->ResetToDefault(); }

    // ---- Message handlers: user-interface thread --------------------------------------------
    // Takes the focus, so the wheel (delivered to the focus window) reaches the control under
    // the pointer; posts UWM_PC_HOVER.
    int OnMouseHover(UINT keys, POINT point) override;
    // Posts UWM_PC_LEAVE and hands the focus back to the window that had it.
    int OnMouseLeave() override;
    int OnRButtonDown(UINT keys, POINT point) override; // posts UWM_PC_RIGHT_CLICKED
    int OnLButtonDown(UINT keys, POINT point) override;
    int OnLButtonUp(UINT keys, POINT point) override;   // ends a drag: ReleaseCapture
    int OnMouseMove(UINT keys, POINT point) override;
    // Declined (0) while the pointer is outside, so the message goes on.
    int OnMouseWheel(UINT keys, short delta, POINT point) override;

protected:
    // Posts message to the parent window: wParam the parameter index, lParam this control.
    void Post(UINT message) const;

    // ---- ControlSite --------------------------------------------------------------------
    void Invalidate() override;
    void CapturePointer() override;
    void ReleasePointer() override;
    bool HasPointerCapture() const override;
    void TrackHover() override {}
    void Notify(Controls::Notice notice) override;

private:
    std::unique_ptr<Controls::ParameterControl> control;
    HWND savedFocus = nullptr; // user-interface thread only
};

} // namespace WindowsToolkit
