#include "pictures/ImageStrip.h"

namespace Pictures {

FrameSize ImageStrip::GetFrameSize() const noexcept
{
    if (image == nullptr)
        return FrameSize{0, 0};
    const Size size = image->GetSize();
    return StripFrameSize(size.width, size.height, frameCount, vertical);
}

void ImageStrip::DrawFrame(Canvas& canvas, int index) const
{
    if (image == nullptr)
        return;
    const FrameSize frame = GetFrameSize();
    canvas.DrawPicture(*image, RectAt(StripFrameOrigin(frame, index, vertical), frame), Point{0, 0});
}

} // namespace Pictures
