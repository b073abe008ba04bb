#pragma once

#include "pictures/win32/Graphics.h"

namespace WindowToolkit {

template <typename DrawOver> void PaintOverBackground(HWND window, HDC dc, const Picture* background, DrawOver draw)
{
    using namespace Gdiplus::DllExports;
    RECT client{};
    GetClientRect(window, &client);
    if (dc == nullptr || client.right <= 0 || client.bottom <= 0)
        return;
    Gdiplus::GpBitmap* offscreen = nullptr;
    if (GdipCreateBitmapFromScan0(client.right, client.bottom, 0, PixelFormat32bppARGB, nullptr, &offscreen) !=
            Gdiplus::Ok ||
        offscreen == nullptr)
        return;
    {
        Pictures::Graphics canvas(offscreen);
        RECT place{};
        GetWindowRect(window, &place);
        POINT at{place.left, place.top};
        ScreenToClient(GetParent(window), &at);
        if (background != nullptr && background->GetBitmap() != nullptr)
            canvas.DrawImagePart(background->GetBitmap(), 0, 0, at.x, at.y, client.right, client.bottom);
        draw(canvas);
    }
    Pictures::Graphics screen(dc);
    screen.DrawImage(offscreen, 0, 0);
    GdipDisposeImage(offscreen);
}

} // namespace WindowToolkit
