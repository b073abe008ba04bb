#include "legacy/controls/SelectorButton.h"

#include "legacy/controls/ToolkitClasses.h"

namespace WindowToolkit {

SelectorButton* SelectorButton::Create(const Picture* strip, const Picture* background, bool vertical,
                                       unsigned targetStates, int x, int y, HWND parent, HINSTANCE instance)
{
    auto* button = new SelectorButton(strip, background, vertical, targetStates);
    const FrameSize size = button->frame;
    if (CreateToolkitWindow(button, kSelectorButtonClassName, x, y, size.width, size.height, parent, nullptr,
                            instance) == nullptr)
        return nullptr;
    return button;
}

SelectorButton::SelectorButton(const Picture* strip, const Picture* background, bool vertical,
                               unsigned targetStates) noexcept
    : strip(strip), background(background), vertical(vertical), frame(FrameSizeOf(strip, kFrames, vertical)),
      step(targetStates > 0 ? 1.0f / static_cast<float>(targetStates) : 1.0f)
{
}

int SelectorButton::OnCreate(CREATESTRUCTA*)
{
    frames.Render(strip, kFrames, vertical, background, PositionInParent());
    return 0;
}

int SelectorButton::OnPaint(HDC dc)
{
    frames.Draw(dc, pressed ? 1 : 0);
    return 1;
}

int SelectorButton::OnLButtonDown(WPARAM, int, int)
{
    pressed = true;
    InvalidateRect(GetHandle(), nullptr, FALSE);
    SetCapture(GetHandle());
    captured = true;
    return 1;
}

int SelectorButton::OnLButtonUp(WPARAM, int, int)
{
    // A release that follows no press of ours (the button pressed elsewhere) is no click.
    const bool clicked = captured;
    pressed = false;
    if (clicked && target != nullptr) {
        float value = target->GetValue() + step;
        if (value >= 1.0f)
            value = 0.0f;
        target->SetValue(value);
        target->PostValueChanged();
    }
    InvalidateRect(GetHandle(), nullptr, FALSE);
    captured = false;
    ReleaseCapture();
    return 1;
}

LRESULT SelectorButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Capture taken away while held (a menu, a dialog): the press is cancelled, not left drawn.
    if (message == WM_CAPTURECHANGED && captured && reinterpret_cast<HWND>(lParam) != GetHandle()) {
        captured = false;
        pressed = false;
        InvalidateRect(GetHandle(), nullptr, FALSE);
    }
    return Window::WindowProc(message, wParam, lParam);
}

} // namespace WindowToolkit
