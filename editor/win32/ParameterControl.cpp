#include "editor/win32/ParameterControl.h"

#include "editor/win32/GraphicsControl.h"
#include "editor/win32/Messages.h"

namespace WindowsToolkit {

namespace {
Controls::Point PointOf(POINT point)
{
    return Controls::Point{point.x, point.y};
}
} // namespace

ParameterControl::ParameterControl(std::unique_ptr<Controls::ParameterControl> owned) noexcept
    : Window(owned->GetBounds().left, owned->GetBounds().top, owned->GetSize().width, owned->GetSize().height),
      control(std::move(owned))
{
    control->SetSite(*this);
}

void ParameterControl::Post(UINT message) const
{
    HWND window = GetHandle();
    if (window == nullptr)
        return; // a null target would post to this thread's queue instead
    PostMessageA(GetParent(window), message, static_cast<WPARAM>(GetParameterIndex()),
                 reinterpret_cast<LPARAM>(this));
}

void ParameterControl::Notify(Controls::Notice notice)
{
    switch (notice) {
    case Controls::Notice::kValueChanged:
        Post(UWM_PC_VALUE_CHANGED);
        break;
    case Controls::Notice::kHover:
        Post(UWM_PC_HOVER);
        break;
    case Controls::Notice::kLeave:
        Post(UWM_PC_LEAVE);
        break;
    case Controls::Notice::kRightClicked:
        Post(UWM_PC_RIGHT_CLICKED);
        break;
    }
}

void ParameterControl::Invalidate()
{
    if (HWND window = GetHandle())
        InvalidateRect(window, nullptr, TRUE);
}

void ParameterControl::CapturePointer()
{
    SetCapture(GetHandle());
}

void ParameterControl::ReleasePointer()
{
    ReleaseCapture();
}

bool ParameterControl::HasPointerCapture() const
{
    return GetCapture() == GetHandle();
}

int ParameterControl::OnMouseHover(UINT, POINT)
{
    // A second hover without a leave between them (the pointer rested again) must not make
    // the control remember itself and so lose the window that had the focus before.
    HWND previous = SetFocus(GetHandle());
    if (previous != GetHandle())
        savedFocus = previous;
    return control->OnHover() ? 1 : 0;
}

int ParameterControl::OnMouseLeave()
{
    const bool handled = control->OnLeave();
    if (savedFocus != nullptr) {
        SetFocus(savedFocus);
        savedFocus = nullptr;
    }
    return handled ? 1 : 0;
}

int ParameterControl::OnRButtonDown(UINT keys, POINT point)
{
    return control->OnRightButtonDown(PointOf(point), ModifiersOf(keys)) ? 1 : 0;
}

int ParameterControl::OnLButtonDown(UINT keys, POINT point)
{
    return control->OnLeftButtonDown(PointOf(point), ModifiersOf(keys)) ? 1 : 0;
}

int ParameterControl::OnLButtonUp(UINT keys, POINT point)
{
    return control->OnLeftButtonUp(PointOf(point), ModifiersOf(keys)) ? 1 : 0;
}

int ParameterControl::OnMouseMove(UINT keys, POINT point)
{
    return control->OnPointerMove(PointOf(point), ModifiersOf(keys), (keys & MK_LBUTTON) != 0) ? 1 : 0;
}

int ParameterControl::OnMouseWheel(UINT keys, short delta, POINT)
{
    return control->OnWheel(delta, ModifiersOf(keys)) ? 1 : 0;
}

} // namespace WindowsToolkit
