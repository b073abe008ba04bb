#include "controls/ParameterControl.h"

namespace Controls {

bool ParameterControl::OnHover()
{
    Site().Notify(Notice::kHover);
    pointerOutside = false;
    return true;
}

bool ParameterControl::OnLeave()
{
    Site().Notify(Notice::kLeave);
    pointerOutside = true;
    return true;
}

bool ParameterControl::OnRightButtonDown(Point, Modifiers)
{
    Site().Notify(Notice::kRightClicked);
    return true;
}

bool ParameterControl::OnLeftButtonUp(Point, Modifiers)
{
    Site().ReleasePointer();
    return true;
}

} // namespace Controls
