#include "pictures/PngHeader.h"

#include <cstring>

namespace Pictures {

Size PngHeaderSize(const uint8_t* bytes, size_t length) noexcept
{
    // Signature (8 bytes), then the IHDR chunk: length (4), type (4), width and height (4 each,
    // big-endian).
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr size_t kHeaderBytes = 24;
    if (bytes == nullptr || length < kHeaderBytes || std::memcmp(bytes, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return Size{0, 0};
    auto bigEndian = [](const uint8_t* p) {
        return static_cast<int>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3]);
    };
    const int width = bigEndian(bytes + 16);
    const int height = bigEndian(bytes + 20);
    // PNG allows at most 2^31 - 1 in each; anything else is damage.
    if (width <= 0 || height <= 0)
        return Size{0, 0};
    return Size{width, height};
}

} // namespace Pictures
