#pragma once
// A PNG picture decoded into straight (not premultiplied) 8-bit RGBA, as GDI+ keeps one, so that
// blending it gives the very pixels the Win32 editor shows.

#include "pictures/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Pictures {

class RgbaPicture final : public Picture {
public:
    RgbaPicture() = default;

    // Decodes png; on failure keeps what was held and answers false. Any thread.
    bool Load(const uint8_t* png, size_t size);

    Size GetSize() const noexcept override { return Size{width, height}; }
    // Row by row from the top, four bytes a pixel: red, green, blue, alpha. Empty when nothing
    // is loaded.
    const uint8_t* Pixels() const noexcept { return pixels.empty() ? nullptr : pixels.data(); }

private:
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;
};

} // namespace Pictures
