#include "controls/Multiswitch.h"

namespace Controls {

namespace {
Size FrameOf(const Pictures::ImageStrip* strip)
{
    return strip != nullptr ? strip->GetFrameSize() : Size{0, 0};
}
} // namespace

Multiswitch::Multiswitch(const Pictures::ImageStrip* strip, int parameterIndex, float defaultValue, Point position)
    : ParameterControl(parameterIndex, defaultValue, Pictures::RectAt(position, FrameOf(strip))), strip(strip)
{
    if (strip != nullptr)
        hitRectangles = Pictures::MultiswitchHitRectangles(strip->GetFrameSize(), strip->GetFrameCount(),
                                                           strip->IsVertical());
}

unsigned Multiswitch::StateCount() const noexcept
{
    return strip != nullptr ? strip->GetFrameCount() : 0;
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
    Site().Invalidate();
    if (notify)
        Site().Notify(Notice::kValueChanged);
}

int Multiswitch::GetIndex() const
{
    return selectedIndex.load(std::memory_order_relaxed);
}

void Multiswitch::SetIndex(int index, bool notify)
{
    selectedIndex.store(index, std::memory_order_relaxed);
    Site().Invalidate();
    if (notify)
        Site().Notify(Notice::kValueChanged);
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

int Multiswitch::StateAt(Point point) const noexcept
{
    return Pictures::MultiswitchHitTest(hitRectangles, point);
}

void Multiswitch::SelectAt(Point point)
{
    const int state = StateAt(point);
    if (state < 0 || state == selectedIndex.load(std::memory_order_relaxed))
        return;
    selectedIndex.store(state, std::memory_order_relaxed);
    Site().Notify(Notice::kValueChanged);
    Site().Invalidate();
}

bool Multiswitch::OnLeftButtonDown(Point point, Modifiers keys)
{
    if (keys.control)
        ResetToDefault();
    else
        SelectAt(point);
    Site().CapturePointer();
    return true;
}

bool Multiswitch::OnPointerMove(Point point, Modifiers, bool leftButton)
{
    if (IsDragging(leftButton))
        SelectAt(point);
    else
        Site().TrackHover();
    return true;
}

bool Multiswitch::OnWheel(short delta, Modifiers)
{
    if (IsPointerOutside())
        return false; // not ours: the window system passes it on
    const int index = selectedIndex.load(std::memory_order_relaxed);
    const int next = Pictures::MultiswitchWheelIndex(index, StateCount(), delta);
    if (next == index)
        return true; // already at that end
    selectedIndex.store(next, std::memory_order_relaxed);
    Site().Notify(Notice::kValueChanged);
    Site().Invalidate();
    return true;
}

void Multiswitch::Draw(Pictures::Canvas& canvas)
{
    if (strip != nullptr)
        strip->DrawFrame(canvas, selectedIndex.load(std::memory_order_relaxed));
}

} // namespace Controls
