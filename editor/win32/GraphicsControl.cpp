#include "editor/win32/GraphicsControl.h"

#include "pictures/win32/GdiplusCanvas.h"
#include "pictures/win32/Graphics.h"
#include "pictures/win32/ImageResource.h"

namespace WindowsToolkit {

using namespace Gdiplus::DllExports;

Controls::Modifiers ModifiersOf(UINT keys) noexcept
{
    Controls::Modifiers modifiers;
    modifiers.shift = (keys & MK_SHIFT) != 0;
    modifiers.control = (keys & MK_CONTROL) != 0;
    return modifiers;
}

int PaintOffscreen(HWND window, const Pictures::ImageResource* background, const std::function<void(Pictures::Graphics&)>& draw)
{
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    Gdiplus::GpBitmap* offscreen = nullptr;
    if (width > 0 && height > 0)
        GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &offscreen);
    if (offscreen != nullptr) {
        Pictures::Graphics canvas(offscreen);
        RECT place{};
        GetWindowRect(window, &place);
        POINT topLeft{place.left, place.top};
        ScreenToClient(GetParent(window), &topLeft);
        if (background != nullptr && background->GetBitmap() != nullptr)
            canvas.DrawImagePart(background->GetBitmap(), 0, 0, topLeft.x, topLeft.y, width, height);
        draw(canvas);
    }

    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr && offscreen != nullptr) {
        Pictures::Graphics screen(dc);
        screen.DrawImage(offscreen, 0, 0);
    }
    EndPaint(window, &paint);
    if (offscreen != nullptr)
        GdipDisposeImage(offscreen);
    return 1;
}

GraphicsControl::GraphicsControl(const Pictures::ImageResource* background,
                                 std::unique_ptr<Controls::Control> owned) noexcept
    : Window(owned->GetBounds().left, owned->GetBounds().top, owned->GetSize().width, owned->GetSize().height),
      background(background), control(std::move(owned))
{
    control->SetSite(*this);
}

int GraphicsControl::OnPaint()
{
    return PaintOffscreen(GetHandle(), background, [this](Pictures::Graphics& graphics) { Draw(graphics); });
}

int GraphicsControl::OnEraseBackground(HDC)
{
    return 1;
}

void GraphicsControl::Draw(Pictures::Graphics& graphics)
{
    Pictures::GdiplusCanvas canvas(graphics);
    control->Draw(canvas);
}

void GraphicsControl::Invalidate()
{
    if (HWND window = GetHandle())
        InvalidateRect(window, nullptr, TRUE);
}

void GraphicsControl::CapturePointer()
{
    SetCapture(GetHandle());
}

void GraphicsControl::ReleasePointer()
{
    ReleaseCapture();
}

bool GraphicsControl::HasPointerCapture() const
{
    return GetCapture() == GetHandle();
}

} // namespace WindowsToolkit
