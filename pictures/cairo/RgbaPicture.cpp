#include "pictures/cairo/RgbaPicture.h"

#include <png.h>

#include <cstring>

namespace Pictures {

bool RgbaPicture::Load(const uint8_t* png, size_t size)
{
    if (png == nullptr || size == 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, png, size) == 0)
        return false;
    // A picture no window could show is damage, not art.
    if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> decoded(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    pixels = std::move(decoded);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

} // namespace Pictures
