#pragma once
// One PNG picture from a module's resources, decoded by GDI+.

#include "pictures/Canvas.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace Pictures {

// GDI+ must be running from Load until Unload (or destruction). User-interface thread.
class ImageResource final : public Picture {
public:
    ImageResource() = default;
    ~ImageResource() override { Unload(); }
    ImageResource(const ImageResource&) = delete;
    ImageResource& operator=(const ImageResource&) = delete;

    // name: a resource name or MAKEINTRESOURCEA(identifier), of resource type "PNG". On success
    // replaces whatever was held; on failure keeps it and returns false.
    bool Load(const char* name, HMODULE module);
    // Frees the bitmap and the memory block; safe on an empty holder.
    void Unload();

    Gdiplus::GpBitmap* GetBitmap() const noexcept { return bitmap; }
    // 0 when nothing is loaded.
    int GetWidth() const noexcept { return width; }
    int GetHeight() const noexcept { return height; }
    Size GetSize() const noexcept override { return Size{width, height}; }

private:
    // A copy of the PNG bytes; stays locked while the bitmap lives, because GDI+ may go back to
    // the stream to decode lazily.
    HGLOBAL memory = nullptr;
    Gdiplus::GpBitmap* bitmap = nullptr;
    int width = 0;
    int height = 0;
};

} // namespace Pictures
