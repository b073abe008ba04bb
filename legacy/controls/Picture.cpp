#include "legacy/controls/Picture.h"

#include "pictures/win32/Graphics.h"

#include <cmath>

namespace WindowToolkit {

using namespace Gdiplus::DllExports;

std::unique_ptr<Picture> LoadPngResource(HMODULE module, const char* name)
{
    auto picture = std::make_unique<Picture>();
    if (!picture->Load(name, module))
        return nullptr;
    return picture;
}

FrameSize FrameSizeOf(const Picture* strip, unsigned frameCount, bool vertical) noexcept
{
    if (strip == nullptr)
        return FrameSize{0, 0};
    return Pictures::StripFrameSize(strip->GetWidth(), strip->GetHeight(), frameCount, vertical);
}

int FrameIndexForValue(float value, unsigned frameCount) noexcept
{
    if (frameCount == 0 || !(value > 0.0f))
        return 0;
    const float scaled = std::floor(value * static_cast<float>(frameCount));
    const int last = static_cast<int>(frameCount) - 1;
    return scaled >= static_cast<float>(last) ? last : static_cast<int>(scaled);
}

void RenderedFrames::Render(const Picture* strip, unsigned frameCount, bool vertical, const Picture* background,
                            POINT at)
{
    Clear();
    const FrameSize size = FrameSizeOf(strip, frameCount, vertical);
    if (size.width <= 0 || size.height <= 0)
        return;
    frames.reserve(frameCount);
    for (unsigned i = 0; i < frameCount; ++i) {
        Gdiplus::GpBitmap* frame = nullptr;
        if (GdipCreateBitmapFromScan0(size.width, size.height, 0, PixelFormat32bppARGB, nullptr, &frame) !=
                Gdiplus::Ok ||
            frame == nullptr) {
            Clear();
            return;
        }
        frames.push_back(frame);
        Pictures::Graphics canvas(frame);
        if (background != nullptr && background->GetBitmap() != nullptr)
            canvas.DrawImagePart(background->GetBitmap(), 0, 0, at.x, at.y, size.width, size.height);
        const Pictures::Point origin = Pictures::StripFrameOrigin(size, static_cast<int>(i), vertical);
        canvas.DrawImagePart(strip->GetBitmap(), 0, 0, origin.x, origin.y, size.width, size.height);
    }
}

void RenderedFrames::Clear() noexcept
{
    for (Gdiplus::GpBitmap* frame : frames)
        GdipDisposeImage(frame);
    frames.clear();
}

void RenderedFrames::Draw(HDC dc, int index) const noexcept
{
    if (dc == nullptr || index < 0 || index >= Count())
        return;
    Pictures::Graphics screen(dc);
    screen.DrawImage(frames[static_cast<size_t>(index)], 0, 0);
}

} // namespace WindowToolkit
