#include "pictures/cairo/PngWriter.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace Pictures {

bool SaveRgbAsPng(const uint32_t* pixels, int width, int height, int stride, const std::string& path)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width)
        return false;
    // RGB, as the Win32 screenshots are, so the two compare pixel for pixel.
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            uint8_t* to = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            to[0] = static_cast<uint8_t>(row[x] >> 16);
            to[1] = static_cast<uint8_t>(row[x] >> 8);
            to[2] = static_cast<uint8_t>(row[x]);
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool SaveAsPng(cairo_surface_t* surface, const std::string& path)
{
    if (surface == nullptr || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return false;
    cairo_surface_flush(surface);
    const auto* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface));
    return SaveRgbAsPng(data, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
                        cairo_image_surface_get_stride(surface) / 4, path);
}

} // namespace Pictures
