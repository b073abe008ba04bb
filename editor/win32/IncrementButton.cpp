#include "editor/win32/IncrementButton.h"

#include "editor/win32/ParameterControl.h"
#include "editor/win32/WindowClasses.h"

namespace WindowsToolkit {

IncrementButton* IncrementButton::Create(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip,
                                         int x, int y, HWND parent, HINSTANCE instance)
{
    auto* button = new IncrementButton(background, strip, x, y);
    return CreateToolkitWindow(button, kIncrementButtonClassName, parent, instance) != nullptr ? button : nullptr;
}

IncrementButton::IncrementButton(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip, int x,
                                 int y)
    : GraphicsControl(background, std::make_unique<Controls::IncrementButton>(strip, Controls::Point{x, y}))
{
}

void IncrementButton::SetTarget(ParameterControl* control) noexcept
{
    target = control;
    Button().SetTarget(control != nullptr ? &control->GetControl() : nullptr);
}

int IncrementButton::OnLButtonDown(UINT keys, POINT point)
{
    return Button().OnLeftButtonDown(Controls::Point{point.x, point.y}, ModifiersOf(keys)) ? 1 : 0;
}

int IncrementButton::OnLButtonUp(UINT keys, POINT point)
{
    return Button().OnLeftButtonUp(Controls::Point{point.x, point.y}, ModifiersOf(keys)) ? 1 : 0;
}

} // namespace WindowsToolkit
