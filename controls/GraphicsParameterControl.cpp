#include "controls/GraphicsParameterControl.h"

#include "controls/GraphicsControl.h"
#include "controls/ImageStrip.h"

namespace WindowsToolkit {

namespace {
constexpr DWORD kHoverMilliseconds = 50;

int FrameWidth(const ImageStrip* strip) { return strip != nullptr ? strip->GetFrameWidth() : 0; }
int FrameHeight(const ImageStrip* strip) { return strip != nullptr ? strip->GetFrameHeight() : 0; }
} // namespace

GraphicsParameterControl::GraphicsParameterControl(const Pictures::ImageResource* background, const ImageStrip* strip,
                                                   int parameterIndex, float defaultValue, int x, int y) noexcept
    : ParameterControl(parameterIndex, defaultValue, x, y, FrameWidth(strip), FrameHeight(strip)),
      background(background), strip(strip)
{
}

int GraphicsParameterControl::OnCreate(CREATESTRUCTA*)
{
    tracking.cbSize = sizeof tracking;
    tracking.dwFlags = TME_HOVER | TME_LEAVE;
    tracking.hwndTrack = GetHandle();
    tracking.dwHoverTime = kHoverMilliseconds;
    return 1;
}

int GraphicsParameterControl::OnPaint()
{
    return PaintOffscreen(GetHandle(), background, [this](Pictures::Graphics& graphics) { Draw(graphics); });
}

int GraphicsParameterControl::OnEraseBackground(HDC)
{
    return 1;
}

void GraphicsParameterControl::TrackMouse()
{
    TrackMouseEvent(&tracking);
}

void GraphicsParameterControl::Invalidate() const
{
    HWND window = GetHandle();
    if (window != nullptr)
        InvalidateRect(window, nullptr, TRUE);
}

} // namespace WindowsToolkit
