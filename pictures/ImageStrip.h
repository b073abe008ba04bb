#pragma once
// A film strip: equal frames cut from one picture, stacked vertically or side by side.

#include "pictures/Canvas.h"
#include "pictures/ControlMath.h"

namespace Pictures {

// Created by a view before its controls and freed after them; controls only point to it.
// User-interface thread.
class ImageStrip {
public:
    // image is not owned and may be null or empty (then every frame is 0 × 0 and nothing is drawn).
    ImageStrip(const Picture* image, unsigned frameCount, bool vertical) noexcept
        : image(image), frameCount(frameCount), vertical(vertical)
    {
    }

    unsigned GetFrameCount() const noexcept { return frameCount; }
    bool IsVertical() const noexcept { return vertical; }
    int GetFrameWidth() const noexcept { return GetFrameSize().width; }
    int GetFrameHeight() const noexcept { return GetFrameSize().height; }
    FrameSize GetFrameSize() const noexcept;

    // Draws frame index unscaled at (0, 0) of canvas. The index is not validated: a frame
    // outside the picture draws nothing.
    void DrawFrame(Canvas& canvas, int index) const;

private:
    const Picture* image;
    unsigned frameCount;
    bool vertical;
};

} // namespace Pictures
