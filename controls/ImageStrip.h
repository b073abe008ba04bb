#pragma once
// A film strip: equal frames cut from one picture, stacked vertically or side by side.

#include "pictures/ControlMath.h"

namespace Pictures {
class Graphics;
class ImageResource;
}

namespace WindowsToolkit {

// Created by the view before its controls and freed after its window is gone; controls only
// point to it. User-interface thread.
class ImageStrip {
public:
    // image is not owned and may be empty (then every frame is 0 × 0 and nothing is drawn).
    ImageStrip(const Pictures::ImageResource* image, unsigned frameCount, bool vertical) noexcept
        : image(image), frameCount(frameCount), vertical(vertical)
    {
    }

    unsigned GetFrameCount() const noexcept { return frameCount; }
    bool IsVertical() const noexcept { return vertical; }
    int GetFrameWidth() const noexcept { return GetFrameSize().width; }
    int GetFrameHeight() const noexcept { return GetFrameSize().height; }
    Pictures::FrameSize GetFrameSize() const noexcept;

    // Draws frame index unscaled at (0, 0) of graphics. The index is not validated: a frame
    // outside the picture draws nothing.
    void DrawFrame(Pictures::Graphics& graphics, int index) const noexcept;

private:
    const Pictures::ImageResource* image;
    unsigned frameCount;
    bool vertical;
};

} // namespace WindowsToolkit
