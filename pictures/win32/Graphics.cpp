#include "pictures/win32/Graphics.h"

namespace Pictures {

using namespace Gdiplus::DllExports;

Graphics::Graphics(HDC dc) noexcept
{
    lastStatus = GdipCreateFromHDC(dc, &native);
    Prepare();
}

Graphics::Graphics(Gdiplus::GpImage* image) noexcept
{
    lastStatus = GdipGetImageGraphicsContext(image, &native);
    Prepare();
}

Graphics::~Graphics()
{
    if (native != nullptr)
        GdipDeleteGraphics(native);
}

void Graphics::Prepare() noexcept
{
    if (lastStatus != Gdiplus::Ok) {
        native = nullptr;
        return;
    }
    // Every picture is drawn pixel for pixel: no filtering may blur a frame's edges into its
    // neighbour's.
    GdipSetInterpolationMode(native, Gdiplus::InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(native, Gdiplus::PixelOffsetModeHalf);
}

void Graphics::DrawImage(Gdiplus::GpImage* image, int x, int y) noexcept
{
    if (native != nullptr && image != nullptr)
        lastStatus = GdipDrawImageI(native, image, x, y);
}

void Graphics::DrawImagePart(Gdiplus::GpImage* image, int x, int y, int sourceX, int sourceY, int width,
                             int height) noexcept
{
    if (native != nullptr && image != nullptr)
        lastStatus = GdipDrawImagePointRectI(native, image, x, y, sourceX, sourceY, width, height, Gdiplus::UnitPixel);
}

HDC Graphics::GetDC() noexcept
{
    HDC dc = nullptr;
    if (native != nullptr)
        lastStatus = GdipGetDC(native, &dc);
    return lastStatus == Gdiplus::Ok ? dc : nullptr;
}

void Graphics::ReleaseDC(HDC dc) noexcept
{
    if (native != nullptr && dc != nullptr)
        lastStatus = GdipReleaseDC(native, dc);
}

} // namespace Pictures
