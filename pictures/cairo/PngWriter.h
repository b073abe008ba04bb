#pragma once
// Writing pixels as a PNG file, for screenshots.

#include <cairo.h>

#include <string>

namespace Pictures {

// Saves an image surface as an opaque RGB PNG file; false when it cannot be written.
bool SaveAsPng(cairo_surface_t* surface, const std::string& path);

} // namespace Pictures
