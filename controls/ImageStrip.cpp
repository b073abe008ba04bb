#include "controls/ImageStrip.h"

#include "pictures/Graphics.h"
#include "pictures/ImageResource.h"

namespace WindowsToolkit {

Pictures::FrameSize ImageStrip::GetFrameSize() const noexcept
{
    if (image == nullptr)
        return Pictures::FrameSize{0, 0};
    return Pictures::StripFrameSize(image->GetWidth(), image->GetHeight(), frameCount, vertical);
}

void ImageStrip::DrawFrame(Pictures::Graphics& graphics, int index) const noexcept
{
    if (image == nullptr || image->GetBitmap() == nullptr)
        return;
    const Pictures::FrameSize frame = GetFrameSize();
    const POINT origin = Pictures::StripFrameOrigin(frame, index, vertical);
    graphics.DrawImagePart(image->GetBitmap(), 0, 0, origin.x, origin.y, frame.width, frame.height);
}

} // namespace WindowsToolkit
