#include "controls/IncrementButton.h"

namespace Controls {

namespace {
constexpr int kReleasedFrame = 0;
constexpr int kPressedFrame = 1;

Size FrameOf(const Pictures::ImageStrip* strip)
{
    return strip != nullptr ? strip->GetFrameSize() : Size{0, 0};
}
} // namespace

IncrementButton::IncrementButton(const Pictures::ImageStrip* strip, Point position) noexcept
    : Control(Pictures::RectAt(position, FrameOf(strip))), strip(strip)
{
}

bool IncrementButton::OnLeftButtonDown(Point, Modifiers)
{
    pressed = true;
    Site().CapturePointer();
    Site().Invalidate();
    return true;
}

bool IncrementButton::OnLeftButtonUp(Point, Modifiers)
{
    if (target != nullptr)
        target->SetIndex(Pictures::NextIndexWrapping(target->GetIndex(), target->GetMinIndex(), target->GetMaxIndex()),
                         true);
    pressed = false;
    Site().ReleasePointer();
    Site().Invalidate();
    return true;
}

void IncrementButton::Draw(Pictures::Canvas& canvas)
{
    if (strip != nullptr)
        strip->DrawFrame(canvas, pressed ? kPressedFrame : kReleasedFrame);
}

} // namespace Controls
