#include "controls/IncrementButton.h"

#include "controls/ImageStrip.h"
#include "controls/ParameterControl.h"
#include "controls/WindowClasses.h"

namespace WindowsToolkit {

namespace {
constexpr int kReleasedFrame = 0;
constexpr int kPressedFrame = 1;

int FrameWidth(const ImageStrip* strip) { return strip != nullptr ? strip->GetFrameWidth() : 0; }
int FrameHeight(const ImageStrip* strip) { return strip != nullptr ? strip->GetFrameHeight() : 0; }
} // namespace

IncrementButton* IncrementButton::Create(const Pictures::ImageResource* background, const ImageStrip* strip, int x, int y,
                                         HWND parent, HINSTANCE instance)
{
    auto* button = new IncrementButton(background, strip, x, y);
    return CreateToolkitWindow(button, kIncrementButtonClassName, parent, instance) != nullptr ? button : nullptr;
}

IncrementButton::IncrementButton(const Pictures::ImageResource* background, const ImageStrip* strip, int x, int y) noexcept
    : GraphicsControl(background, x, y, FrameWidth(strip), FrameHeight(strip)), strip(strip)
{
}

int IncrementButton::OnLButtonDown(UINT, POINT)
{
    pressed = true;
    SetCapture(GetHandle());
    InvalidateRect(GetHandle(), nullptr, TRUE);
    return 1;
}

int IncrementButton::OnLButtonUp(UINT, POINT)
{
    if (target != nullptr)
        target->SetIndex(Pictures::NextIndexWrapping(target->GetIndex(), target->GetMinIndex(), target->GetMaxIndex()), true);
    pressed = false;
    ReleaseCapture();
    InvalidateRect(GetHandle(), nullptr, TRUE);
    return 1;
}

void IncrementButton::Draw(Pictures::Graphics& graphics)
{
    if (strip != nullptr)
        strip->DrawFrame(graphics, pressed ? kPressedFrame : kReleasedFrame);
}

} // namespace WindowsToolkit
