#pragma once
// The controls' canvas on a cairo image surface of opaque pixels: pictures are blended into the
// surface's pixels as GDI+ blends a straight-alpha bitmap over an opaque one, text is drawn by
// cairo.

#include "pictures/Canvas.h"

#include <cairo.h>

namespace Pictures {

class ImageCanvas final : public Canvas {
public:
    // surface: CAIRO_FORMAT_RGB24, not owned. Drawing lands at origin (a control's place in the
    // surface) and never outside clip (surface coordinates).
    ImageCanvas(cairo_surface_t* surface, Point origin, Rect clip) noexcept;

    // Pictures other than RgbaPicture draw nothing.
    void DrawPicture(const Picture& picture, Rect source, Point at) override;
    void DrawTextLine(const char* text, Rect area, const TextStyle& style) override;

    // The blend of one straight-alpha channel over an opaque one: GDI+'s, with its truncation.
    static constexpr uint8_t Blend(uint8_t over, uint8_t below, uint8_t alpha) noexcept
    {
        return static_cast<uint8_t>((over * alpha + below * (255 - alpha)) / 255);
    }

private:
    cairo_surface_t* surface;
    Point origin;
    Rect clip;
};

// Sets cr's font to style's face at the size whose line cell is style.cellHeight pixels, as GDI
// picks a font by its cell height, and answers the baseline's distance above the cell's bottom.
double SelectCellFont(cairo_t* cr, const TextStyle& style);

} // namespace Pictures
