#include "controls/Multiswitch.h"

#include "controls/ImageStrip.h"
#include "controls/Messages.h"
#include "controls/WindowClasses.h"

namespace WindowsToolkit {

Multiswitch* Multiswitch::Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue,
                                 float initialValue, const ImageStrip* strip, int x, int y, HWND parent,
                                 HINSTANCE instance)
{
    auto* control = new Multiswitch(background, strip, parameterIndex, defaultValue, x, y);
    if (CreateToolkitWindow(control, kMultiswitchClassName, parent, instance) == nullptr)
        return nullptr;
    control->SetValue(initialValue, false);
    return control;
}

Multiswitch::Multiswitch(const Pictures::ImageResource* background, const ImageStrip* strip, int parameterIndex,
                         float defaultValue, int x, int y)
    : GraphicsParameterControl(background, strip, parameterIndex, defaultValue, x, y)
{
    if (strip != nullptr)
        hitRectangles = Pictures::MultiswitchHitRectangles(strip->GetFrameSize(), strip->GetFrameCount(), strip->IsVertical());
}

unsigned Multiswitch::StateCount() const noexcept
{
    return GetStrip() != nullptr ? GetStrip()->GetFrameCount() : 0;
}

float Multiswitch::GetValue() const
{
    return Pictures::MultiswitchValue(StateCount(), selectedIndex.load(std::memory_order_relaxed));
}

void Multiswitch::SetValue(float value, bool notify)
{
    if (StateCount() == 0)
        return;
    const int index = Pictures::MultiswitchIndexForValue(StateCount(), value);
    if (selectedIndex.exchange(index, std::memory_order_relaxed) == index)
        return;
    Invalidate();
    if (notify)
        Post(UWM_PC_VALUE_CHANGED);
}

int Multiswitch::GetIndex() const
{
    return selectedIndex.load(std::memory_order_relaxed);
}

void Multiswitch::SetIndex(int index, bool notify)
{
    selectedIndex.store(index, std::memory_order_relaxed);
    Invalidate();
    if (notify)
        Post(UWM_PC_VALUE_CHANGED);
}

int Multiswitch::GetMaxIndex() const
{
    return static_cast<int>(StateCount()) - 1;
}

int Multiswitch::GetMinIndex() const
{
    return 0;
}

void Multiswitch::ResetToDefault()
{
    SetValue(GetDefaultValue(), true);
}

void Multiswitch::SelectAt(POINT point)
{
    const int state = Pictures::MultiswitchHitTest(hitRectangles, point);
    if (state < 0 || state == selectedIndex.load(std::memory_order_relaxed))
        return;
    selectedIndex.store(state, std::memory_order_relaxed);
    Post(UWM_PC_VALUE_CHANGED);
    Invalidate();
}

int Multiswitch::OnLButtonDown(UINT keys, POINT point)
{
    if ((keys & MK_CONTROL) != 0)
        ResetToDefault();
    else
        SelectAt(point);
    SetCapture(GetHandle());
    return 1;
}

int Multiswitch::OnMouseMove(UINT keys, POINT point)
{
    if (IsDragging(keys))
        SelectAt(point);
    else
        TrackMouse();
    return 1;
}

int Multiswitch::OnMouseWheel(UINT, short delta, POINT)
{
    if (IsPointerOutside())
        return 0; // not ours: let the window procedure pass it on
    const int index = selectedIndex.load(std::memory_order_relaxed);
    const int next = Pictures::MultiswitchWheelIndex(index, StateCount(), delta);
    if (next == index)
        return 1; // already at that end
    selectedIndex.store(next, std::memory_order_relaxed);
    Post(UWM_PC_VALUE_CHANGED);
    Invalidate();
    return 1;
}

void Multiswitch::Draw(Pictures::Graphics& graphics)
{
    if (GetStrip() != nullptr)
        GetStrip()->DrawFrame(graphics, selectedIndex.load(std::memory_order_relaxed));
}

} // namespace WindowsToolkit
