#pragma once
// Writing pixels as a PNG file, for screenshots.

#include <cairo.h>

#include <cstdint>

#include <string>

namespace Pictures {

// Saves an image surface as an opaque RGB PNG file; false when it cannot be written.
bool SaveAsPng(cairo_surface_t* surface, const std::string& path);
// Saves pixels of 0x00RRGGBB, row by row from the top, stride pixels apart, the same way.
bool SaveRgbAsPng(const uint32_t* pixels, int width, int height, int stride, const std::string& path);

} // namespace Pictures
