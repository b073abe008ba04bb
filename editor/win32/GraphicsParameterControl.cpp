#include "editor/win32/GraphicsParameterControl.h"

#include "editor/win32/GraphicsControl.h"
#include "pictures/win32/GdiplusCanvas.h"

namespace WindowsToolkit {

namespace {
constexpr DWORD kHoverMilliseconds = 50;
} // namespace

GraphicsParameterControl::GraphicsParameterControl(const Pictures::ImageResource* background,
                                                   std::unique_ptr<Controls::ParameterControl> control) noexcept
    : ParameterControl(std::move(control)), background(background)
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

void GraphicsParameterControl::Draw(Pictures::Graphics& graphics)
{
    Pictures::GdiplusCanvas canvas(graphics);
    GetControl().Draw(canvas);
}

void GraphicsParameterControl::TrackHover()
{
    TrackMouseEvent(&tracking);
}

} // namespace WindowsToolkit
