#include "legacy/controls/Knob.h"

#include "legacy/controls/ToolkitClasses.h"

namespace WindowToolkit {

namespace {
constexpr float kInverseRange = 1.0f / Knob::kRange;
} // namespace

Knob* Knob::Create(int identifier, const Picture* strip, const Picture* background, bool vertical,
                   unsigned frameCount, float defaultValue, int x, int y, HWND parent, HINSTANCE instance)
{
    auto* knob = new Knob(identifier, strip, background, vertical, frameCount, defaultValue);
    const FrameSize size = knob->frame;
    if (CreateToolkitWindow(knob, kKnobClassName, x, y, size.width, size.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)), instance) == nullptr)
        return nullptr;
    return knob;
}

Knob::Knob(int identifier, const Picture* strip, const Picture* background, bool vertical, unsigned frameCount,
           float defaultValue) noexcept
    : ValueControl(identifier, defaultValue), strip(strip), background(background), vertical(vertical),
      frameCount(frameCount), frame(FrameSizeOf(strip, frameCount, vertical)), position(defaultValue * kRange)
{
}

float Knob::GetValue() const
{
    return position * kInverseRange;
}

void Knob::SetValue(float value)
{
    position = value * kRange;
    InvalidateRect(GetHandle(), nullptr, FALSE);
}

int Knob::GetFrameIndex() const
{
    return FrameIndexForValue(GetValue(), frameCount);
}

int Knob::OnCreate(CREATESTRUCTA*)
{
    frames.Render(strip, frameCount, vertical, background, PositionInParent());
    return 0;
}

int Knob::OnPaint(HDC dc)
{
    frames.Draw(dc, GetFrameIndex());
    return 1;
}

int Knob::OnLButtonDown(WPARAM keys, int, int y)
{
    if ((keys & MK_CONTROL) != 0) {
        SetValue(GetDefaultValue());
        PostValueChanged();
    }
    SetCapture(GetHandle());
    dragging = true;
    lastPointerY = y;
    return 1;
}

int Knob::OnLButtonUp(WPARAM, int, int)
{
    ReleaseCapture();
    dragging = false;
    return 1;
}

int Knob::OnMouseMove(WPARAM keys, int, int y)
{
    if ((keys & MK_LBUTTON) == 0 || !dragging) {
        TrackMouse();
        return 1;
    }
    float delta = static_cast<float>(lastPointerY - y);
    if ((keys & MK_SHIFT) != 0)
        delta *= kFineFactor;
    position += delta;
    if (!(position >= 0.0f))
        position = 0.0f;
    else if (position > kRange)
        position = kRange;
    PostValueChanged();
    InvalidateRect(GetHandle(), nullptr, FALSE);
    lastPointerY = y;
    return 1;
}

int Knob::OnRButtonDown(WPARAM, int, int)
{
    PostToParent(WM_VC_RIGHT_CLICKED);
    return 1;
}

LRESULT Knob::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Another window took the mouse (a menu, a dialog): the drag is over.
    if (message == WM_CAPTURECHANGED)
        dragging = false;
    return ValueControl::WindowProc(message, wParam, lParam);
}

} // namespace WindowToolkit
