#include "ImageStrip.h"

#include "Graphics.h"
#include "ImageResource.h"

namespace WindowsToolkit {

FrameSize ImageStrip::GetFrameSize() const noexcept
{
    if (image == nullptr)
        return FrameSize{0, 0};
    return StripFrameSize(image->GetWidth(), image->GetHeight(), frameCount, vertical);
}

void ImageStrip::DrawFrame(Graphics& graphics, int index) const noexcept
{
    if (image == nullptr || image->GetBitmap() == nullptr)
        return;
    const FrameSize frame = GetFrameSize();
    const POINT origin = StripFrameOrigin(frame, index, vertical);
    graphics.DrawImagePart(image->GetBitmap(), 0, 0, origin.x, origin.y, frame.width, frame.height);
}

} // namespace WindowsToolkit
