#include "controls/GraphicsControl.h"

#include "pictures/Graphics.h"
#include "pictures/ImageResource.h"

namespace WindowsToolkit {

using namespace Gdiplus::DllExports;

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

int GraphicsControl::OnPaint()
{
    return PaintOffscreen(GetHandle(), background, [this](Pictures::Graphics& graphics) { Draw(graphics); });
}

int GraphicsControl::OnEraseBackground(HDC)
{
    return 1;
}

} // namespace WindowsToolkit
