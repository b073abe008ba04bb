#include "pictures/cairo/ImageCanvas.h"

#include "pictures/cairo/RgbaPicture.h"

#include <cmath>
#include <cstdint>

namespace Pictures {

ImageCanvas::ImageCanvas(cairo_surface_t* surface, Point origin, Rect clip) noexcept
    : surface(surface), origin(origin), clip(clip)
{
    const Rect whole{0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
    this->clip = Intersection(clip, whole);
}

void ImageCanvas::DrawPicture(const Picture& picture, Rect source, Point at)
{
    const auto* rgba = dynamic_cast<const RgbaPicture*>(&picture);
    if (rgba == nullptr || rgba->Pixels() == nullptr)
        return;
    // The part of the source inside the picture, then the part of its place inside the clip.
    const Size size = rgba->GetSize();
    const Rect inside = Intersection(source, Rect{0, 0, size.width, size.height});
    if (inside.IsEmpty())
        return;
    const int shiftX = inside.left - source.left;
    const int shiftY = inside.top - source.top;
    const Rect place = RectAt(Point{origin.x + at.x + shiftX, origin.y + at.y + shiftY},
                              Size{inside.Width(), inside.Height()});
    const Rect target = Intersection(place, clip);
    if (target.IsEmpty())
        return;

    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const uint8_t* pixels = rgba->Pixels();
    for (int y = target.top; y < target.bottom; ++y) {
        const int sourceY = inside.top + (y - place.top);
        const uint8_t* from = pixels + (static_cast<size_t>(sourceY) * size.width + inside.left + (target.left - place.left)) * 4;
        auto* to = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride) + target.left;
        for (int x = target.left; x < target.right; ++x, from += 4, ++to) {
            const uint8_t alpha = from[3];
            if (alpha == 0)
                continue;
            if (alpha == 255) {
                *to = 0xFF000000u | (uint32_t{from[0]} << 16) | (uint32_t{from[1]} << 8) | from[2];
                continue;
            }
            const uint32_t below = *to;
            const uint8_t red = Blend(from[0], static_cast<uint8_t>(below >> 16), alpha);
            const uint8_t green = Blend(from[1], static_cast<uint8_t>(below >> 8), alpha);
            const uint8_t blue = Blend(from[2], static_cast<uint8_t>(below), alpha);
            *to = 0xFF000000u | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
        }
    }
    cairo_surface_mark_dirty_rectangle(surface, target.left, target.top, target.Width(), target.Height());
}

double SelectCellFont(cairo_t* cr, const TextStyle& style)
{
    cairo_select_font_face(cr, style.face, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    // The cell of a font is its ascent and descent. Measured at a size large enough that
    // hinting rounds nothing away, then scaled.
    constexpr double kMeasuringSize = 1000.0;
    cairo_set_font_size(cr, kMeasuringSize);
    cairo_font_extents_t large;
    cairo_font_extents(cr, &large);
    const double cell = (large.ascent + large.descent) / kMeasuringSize;
    // GDI renders at whole pixels per em, the nearest to what the cell asks for.
    const double size = cell > 0.0 ? std::round(style.cellHeight / cell) : style.cellHeight;
    cairo_set_font_size(cr, size);
    return std::round(large.descent / kMeasuringSize * size);
}

void ImageCanvas::DrawTextLine(const char* text, Rect area, const TextStyle& style)
{
    if (text == nullptr || *text == '\0')
        return;
    const Rect box = Intersection(RectAt(Point{origin.x + area.left, origin.y + area.top},
                                         Size{area.Width(), area.Height()}),
                                  clip);
    if (box.IsEmpty())
        return;
    cairo_t* cr = cairo_create(surface);
    cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
    cairo_clip(cr);
    const double descent = SelectCellFont(cr, style);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_source_rgb(cr, ((style.colour >> 16) & 0xFF) / 255.0, ((style.colour >> 8) & 0xFF) / 255.0,
                         (style.colour & 0xFF) / 255.0);
    cairo_move_to(cr, origin.x + area.left, origin.y + area.bottom - descent);
    cairo_show_text(cr, text);
    cairo_destroy(cr);
}

} // namespace Pictures
