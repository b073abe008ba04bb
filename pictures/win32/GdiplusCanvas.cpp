#include "pictures/win32/GdiplusCanvas.h"

#include "pictures/PngHeader.h"
#include "pictures/win32/Graphics.h"
#include "pictures/win32/ImageResource.h"

namespace Pictures {

void GdiplusCanvas::DrawPicture(const Picture& picture, Rect source, Point at)
{
    const auto* image = dynamic_cast<const ImageResource*>(&picture);
    if (image == nullptr || image->GetBitmap() == nullptr)
        return;
    graphics.DrawImagePart(image->GetBitmap(), at.x, at.y, source.left, source.top, source.Width(), source.Height());
}

void GdiplusCanvas::DrawTextLine(const char* text, Rect area, const TextStyle& style)
{
    if (font == nullptr || text == nullptr)
        return;
    HDC dc = graphics.GetDC();
    if (dc == nullptr)
        return;
    HGDIOBJ previousFont = SelectObject(dc, font);
    RECT place{area.left, area.top, area.right, area.bottom};
    SetTextColor(dc, RGB((style.colour >> 16) & 0xFF, (style.colour >> 8) & 0xFF, style.colour & 0xFF));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &place, DT_SINGLELINE | DT_BOTTOM | DT_LEFT);
    SelectObject(dc, previousFont);
    graphics.ReleaseDC(dc);
}

SIZE PngResourceSize(HMODULE module, const char* name)
{
    HRSRC resource = FindResourceA(module, name, "PNG");
    if (resource == nullptr)
        return SIZE{0, 0};
    const DWORD length = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* bytes = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    const Size size = PngHeaderSize(bytes, length);
    return SIZE{size.width, size.height};
}

} // namespace Pictures
