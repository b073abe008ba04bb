#pragma once
// The controls' canvas on a GDI+ surface: pictures through GDI+, text through GDI on the
// surface's device context.

#include "pictures/Canvas.h"

#include <windows.h>

namespace Pictures {

class Graphics;

class GdiplusCanvas final : public Canvas {
public:
    // graphics and font are not owned; without a font, text draws nothing.
    explicit GdiplusCanvas(Graphics& graphics, HFONT font = nullptr) noexcept : graphics(graphics), font(font) {}

    // Pictures other than ImageResource draw nothing.
    void DrawPicture(const Picture& picture, Rect source, Point at) override;
    // In the canvas's font: the style names the font its owner created.
    void DrawTextLine(const char* text, Rect area, const TextStyle& style) override;

private:
    Graphics& graphics;
    HFONT font;
};

// The pixel size in the header of a PNG resource, read without decoding it; 0 × 0 when the
// resource is missing or no PNG.
SIZE PngResourceSize(HMODULE module, const char* name);

} // namespace Pictures
