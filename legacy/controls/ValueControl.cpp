#include "legacy/controls/ValueControl.h"

namespace WindowToolkit {

void ValueControl::PostToParent(UINT message, LPARAM lParam) const
{
    if (HWND parent = GetParent(GetHandle()))
        PostMessageA(parent, message, reinterpret_cast<WPARAM>(this), lParam);
}

void ValueControl::PostValueChanged() const
{
    PostToParent(WM_VC_VALUE_CHANGED, FloatToLParam(GetValue()));
}

int ValueControl::OnMouseHover(WPARAM, int, int)
{
    PostToParent(WM_VC_HOVER);
    return 1;
}

int ValueControl::OnMouseLeave()
{
    PostToParent(WM_VC_LEAVE);
    return 1;
}

} // namespace WindowToolkit
