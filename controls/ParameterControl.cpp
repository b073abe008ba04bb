#include "controls/ParameterControl.h"

#include "controls/Messages.h"

namespace WindowsToolkit {

void ParameterControl::Post(UINT message) const
{
    HWND window = GetHandle();
    if (window == nullptr)
        return; // a null target would post to this thread's queue instead
    PostMessageA(GetParent(window), message, static_cast<WPARAM>(parameterIndex),
                 reinterpret_cast<LPARAM>(this));
}

bool ParameterControl::IsDragging(UINT keys) const
{
    return (keys & MK_LBUTTON) != 0 && GetCapture() == GetHandle();
}

int ParameterControl::OnMouseHover(UINT, POINT)
{
    // A second hover without a leave between them (the pointer rested again) must not make
    // the control remember itself and so lose the window that had the focus before.
    HWND previous = SetFocus(GetHandle());
    if (previous != GetHandle())
        savedFocus = previous;
    Post(UWM_PC_HOVER);
    pointerOutside = 0;
    return 1;
}

int ParameterControl::OnMouseLeave()
{
    Post(UWM_PC_LEAVE);
    if (savedFocus != nullptr) {
        SetFocus(savedFocus);
        savedFocus = nullptr;
    }
    pointerOutside = 1;
    return 1;
}

int ParameterControl::OnRButtonDown(UINT, POINT)
{
    Post(UWM_PC_RIGHT_CLICKED);
    return 1;
}

int ParameterControl::OnLButtonUp(UINT, POINT)
{
    ReleaseCapture();
    return 1;
}

} // namespace WindowsToolkit
