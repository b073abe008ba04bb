#pragma once
// Pictures of the first-generation editor: PNG resources decoded by GDI+, and the frames of a
// film strip rendered once over the background piece under a control.

#include "pictures/ControlMath.h"
#include "pictures/win32/ImageResource.h"

#include <memory>
#include <vector>

namespace WindowToolkit {

// The decoded bitmap together with the memory block it decodes from; both go together.
using Picture = Pictures::ImageResource;
using Pictures::FrameSize;

// A PNG resource of module by name, or null. GDI+ must be running while the picture lives.
std::unique_ptr<Picture> LoadPngResource(HMODULE module, const char* name);

// The size of one of frameCount equal frames of strip (0 × 0 without a picture).
FrameSize FrameSizeOf(const Picture* strip, unsigned frameCount, bool vertical) noexcept;

// Frame i of a strip for the position (x, y) of the background: the background piece under the
// control with the strip's frame drawn over it, ready to be copied to the screen as it is.
class RenderedFrames {
public:
    RenderedFrames() = default;
    ~RenderedFrames() { Clear(); }
    RenderedFrames(const RenderedFrames&) = delete;
    RenderedFrames& operator=(const RenderedFrames&) = delete;

    void Render(const Picture* strip, unsigned frameCount, bool vertical, const Picture* background, POINT at);
    void Clear() noexcept;
    int Count() const noexcept { return static_cast<int>(frames.size()); }
    // Draws frame index (ignored when out of range) at (0, 0).
    void Draw(HDC dc, int index) const noexcept;

private:
    std::vector<Gdiplus::GpBitmap*> frames;
};

// Draws into a bitmap of the control's size the background piece under it and then whatever
// draw adds, and copies the result to dc.
template <typename DrawOver> void PaintOverBackground(HWND window, HDC dc, const Picture* background, DrawOver draw);

// Frame for a value 0..1 of frameCount frames: floor(value × count), the count itself showing the
// last frame; anything below 0 or not a number shows frame 0.
int FrameIndexForValue(float value, unsigned frameCount) noexcept;

} // namespace WindowToolkit

#include "legacy/controls/Picture.inl"
