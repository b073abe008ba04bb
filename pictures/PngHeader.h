#pragma once
// The pixel size a PNG file's header states, read without decoding the picture.

#include "pictures/Geometry.h"

#include <cstddef>
#include <cstdint>

namespace Pictures {

// 0 × 0 when the bytes are too few or no PNG (signature and IHDR chunk).
Size PngHeaderSize(const uint8_t* bytes, size_t length) noexcept;

} // namespace Pictures
