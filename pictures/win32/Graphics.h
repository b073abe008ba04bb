#pragma once
// A GDI+ drawing surface through the flat interface, owning its native graphics object.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace Pictures {

class Graphics {
public:
    // On a device context (a paint DC) or on an image (an off-screen bitmap).
    explicit Graphics(HDC dc) noexcept;
    explicit Graphics(Gdiplus::GpImage* image) noexcept;
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    bool IsValid() const noexcept { return native != nullptr; }
    Gdiplus::GpGraphics* GetNative() const noexcept { return native; }
    // The status of the last call. Drawing failures are recorded here and otherwise ignored.
    Gdiplus::GpStatus GetLastStatus() const noexcept { return lastStatus; }

    // Draws the whole image at (x, y), one image pixel per device pixel.
    void DrawImage(Gdiplus::GpImage* image, int x, int y) noexcept;
    // Draws the source rectangle (sourceX, sourceY, width, height) of image at (x, y), unscaled.
    void DrawImagePart(Gdiplus::GpImage* image, int x, int y, int sourceX, int sourceY, int width,
                       int height) noexcept;
    // A GDI device context onto the surface, for text; give it back with ReleaseDC before any
    // other drawing. Null on failure.
    HDC GetDC() noexcept;
    void ReleaseDC(HDC dc) noexcept;

private:
    void Prepare() noexcept;

    Gdiplus::GpGraphics* native = nullptr;
    Gdiplus::GpStatus lastStatus = Gdiplus::Ok;
};

} // namespace Pictures
