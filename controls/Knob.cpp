#include "controls/Knob.h"

namespace Controls {

namespace {
constexpr float kPercent = 0.01f;

Size FrameOf(const Pictures::ImageStrip* strip)
{
    return strip != nullptr ? strip->GetFrameSize() : Size{0, 0};
}
} // namespace

Knob::Knob(const Pictures::ImageStrip* strip, int parameterIndex, float defaultValue, Point position) noexcept
    : ParameterControl(parameterIndex, defaultValue, Pictures::RectAt(position, FrameOf(strip))), strip(strip)
{
}

unsigned Knob::FrameCount() const noexcept
{
    return strip != nullptr ? strip->GetFrameCount() : 0;
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
    Site().Invalidate();
    if (notify)
        Site().Notify(Notice::kValueChanged);
}

int Knob::GetIndex() const
{
    return frameIndex.load(std::memory_order_relaxed);
}

void Knob::SetIndex(int index, bool notify)
{
    frameIndex.store(index, std::memory_order_relaxed);
    Site().Invalidate();
    if (notify)
        Site().Notify(Notice::kValueChanged);
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
    Site().Notify(Notice::kValueChanged);
    Site().Invalidate();
}

bool Knob::OnLeftButtonDown(Point point, Modifiers keys)
{
    if (keys.control)
        ResetToDefault();
    Site().CapturePointer();
    lastPointerY = point.y;
    return true;
}

bool Knob::OnPointerMove(Point point, Modifiers keys, bool leftButton)
{
    if (IsDragging(leftButton)) {
        Step(Pictures::KnobDragDelta(lastPointerY, point.y, keys.shift));
        lastPointerY = point.y;
    } else {
        Site().TrackHover();
    }
    return true;
}

bool Knob::OnWheel(short delta, Modifiers keys)
{
    if (IsPointerOutside())
        return false; // not ours: the window system passes it on
    Step(Pictures::KnobWheelStep(delta, keys.shift));
    return true;
}

void Knob::Draw(Pictures::Canvas& canvas)
{
    if (strip != nullptr)
        strip->DrawFrame(canvas, frameIndex.load(std::memory_order_relaxed));
}

} // namespace Controls
