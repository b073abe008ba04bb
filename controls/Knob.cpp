#include "controls/Knob.h"

#include "controls/ImageStrip.h"
#include "controls/Messages.h"
#include "controls/WindowClasses.h"

namespace WindowsToolkit {

namespace {
constexpr float kPercent = 0.01f;
} // namespace

Knob* Knob::Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue, float initialValue,
                   const ImageStrip* strip, int x, int y, HWND parent, HINSTANCE instance)
{
    auto* knob = new Knob(background, strip, parameterIndex, defaultValue, x, y);
    if (CreateToolkitWindow(knob, kKnobClassName, parent, instance) == nullptr)
        return nullptr;
    knob->SetValue(initialValue, false);
    return knob;
}

unsigned Knob::FrameCount() const noexcept
{
    return GetStrip() != nullptr ? GetStrip()->GetFrameCount() : 0;
}

float Knob::GetValue() const
{
    return position.load(std::memory_order_relaxed) * kPercent;
}

void Knob::SetValue(float value, bool notify)
{
    const float newPosition = value * Pictures::kKnobRange;
    position.store(newPosition, std::memory_order_relaxed);
    if (FrameCount() != 0)
        frameIndex.store(Pictures::KnobFrameIndex(FrameCount(), newPosition * kPercent), std::memory_order_relaxed);
    Invalidate();
    if (notify)
        Post(UWM_PC_VALUE_CHANGED);
}

int Knob::GetIndex() const
{
    return frameIndex.load(std::memory_order_relaxed);
}

void Knob::SetIndex(int index, bool notify)
{
    frameIndex.store(index, std::memory_order_relaxed);
    Invalidate();
    if (notify)
        Post(UWM_PC_VALUE_CHANGED);
}

int Knob::GetMaxIndex() const
{
    return static_cast<int>(FrameCount()) - 1;
}

int Knob::GetMinIndex() const
{
    return 0;
}

void Knob::ResetToDefault()
{
    SetValue(GetDefaultValue(), true);
}

void Knob::Step(float delta)
{
    const float newPosition = Pictures::ClampKnobPosition(position.load(std::memory_order_relaxed) + delta);
    position.store(newPosition, std::memory_order_relaxed);
    if (FrameCount() != 0)
        frameIndex.store(Pictures::KnobFrameIndex(FrameCount(), newPosition * kPercent), std::memory_order_relaxed);
    Post(UWM_PC_VALUE_CHANGED);
    Invalidate();
}

int Knob::OnLButtonDown(UINT keys, POINT point)
{
    if ((keys & MK_CONTROL) != 0)
        ResetToDefault();
    SetCapture(GetHandle());
    lastPointerY = point.y;
    return 1;
}

int Knob::OnMouseMove(UINT keys, POINT point)
{
    if (IsDragging(keys)) {
        Step(Pictures::KnobDragDelta(lastPointerY, point.y, (keys & MK_SHIFT) != 0));
        lastPointerY = point.y;
    } else {
        TrackMouse();
    }
    return 1;
}

int Knob::OnMouseWheel(UINT keys, short delta, POINT)
{
    if (IsPointerOutside())
        return 0; // not ours: let the window procedure pass it on
    Step(Pictures::KnobWheelStep(delta, (keys & MK_SHIFT) != 0));
    return 1;
}

void Knob::Draw(Pictures::Graphics& graphics)
{
    if (GetStrip() != nullptr)
        GetStrip()->DrawFrame(graphics, frameIndex.load(std::memory_order_relaxed));
}

} // namespace WindowsToolkit
