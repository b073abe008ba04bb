#include "legacy/controls/Switch.h"

#include "legacy/controls/ToolkitClasses.h"

namespace WindowToolkit {

Switch* Switch::Create(int identifier, Hit hit, const Picture* strip, const Picture* background, bool stripVertical,
                       unsigned frameCount, float defaultValue, int x, int y, HWND parent, HINSTANCE instance)
{
    auto* control = new Switch(identifier, hit, strip, background, stripVertical, frameCount, defaultValue);
    const FrameSize size = control->frame;
    if (CreateToolkitWindow(control, kSwitchClassName, x, y, size.width, size.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)), instance) == nullptr)
        return nullptr;
    return control;
}

Switch::Switch(int identifier, Hit hit, const Picture* strip, const Picture* background, bool stripVertical,
               unsigned frameCount, float defaultValue) noexcept
    : ValueControl(identifier, defaultValue), hit(hit), strip(strip), background(background),
      stripVertical(stripVertical), frameCount(frameCount), frame(FrameSizeOf(strip, frameCount, stripVertical)),
      value(defaultValue)
{
}

void Switch::SetValue(float newValue)
{
    value = newValue;
    InvalidateRect(GetHandle(), nullptr, FALSE);
}

int Switch::OnPaint(HDC dc)
{
    PaintOverBackground(GetHandle(), dc, background, [this](Pictures::Graphics& canvas) {
        if (strip == nullptr || frame.width <= 0 || frame.height <= 0)
            return;
        const Pictures::Point origin = Pictures::StripFrameOrigin(frame, GetFrameIndex(), stripVertical);
        canvas.DrawImagePart(strip->GetBitmap(), 0, 0, origin.x, origin.y, frame.width, frame.height);
    });
    return 1;
}

int Switch::OnLButtonDown(WPARAM keys, int x, int y)
{
    if ((keys & MK_CONTROL) != 0) {
        SetValue(GetDefaultValue());
    } else {
        RECT client{};
        GetClientRect(GetHandle(), &client);
        const int width = client.right - client.left;
        const int height = client.bottom - client.top;
        float clicked = 0.0f;
        if (hit == Hit::Vertical)
            clicked = height > 0 ? static_cast<float>(height - y) / static_cast<float>(height) : 0.0f;
        else
            clicked = width > 0 ? static_cast<float>(x) / static_cast<float>(width) : 0.0f;
        SetValue(clicked);
    }
    PostValueChanged();
    return 1;
}

int Switch::OnMouseMove(WPARAM keys, int, int)
{
    if ((keys & MK_LBUTTON) == 0)
        TrackMouse();
    return 1;
}

int Switch::OnRButtonDown(WPARAM, int, int)
{
    PostToParent(WM_VC_RIGHT_CLICKED);
    return 1;
}

} // namespace WindowToolkit
