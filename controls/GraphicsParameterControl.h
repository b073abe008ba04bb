#pragma once
// A parameter control drawn from a film strip over the background picture.

#include "controls/ParameterControl.h"

namespace Pictures {
class Graphics;
class ImageResource;
}

namespace WindowsToolkit {

class ImageStrip;

class GraphicsParameterControl : public ParameterControl {
public:
    // background and strip are not owned; the window's size is the strip's frame size.
    GraphicsParameterControl(const Pictures::ImageResource* background, const ImageStrip* strip, int parameterIndex,
                             float defaultValue, int x, int y) noexcept;

    // ---- User-interface thread ----------------------------------------------------------
    int OnCreate(CREATESTRUCTA* create) override; // prepares hover and leave tracking
    int OnPaint() override;
    int OnEraseBackground(HDC) override;
    // Draws the frame that shows the current value.
    virtual void Draw(Pictures::Graphics& graphics) = 0;

protected:
    const ImageStrip* GetStrip() const noexcept { return strip; }
    // Asks for one WM_MOUSEHOVER (after 50 ms at rest) and one WM_MOUSELEAVE.
    void TrackMouse();
    void Invalidate() const;

private:
    const Pictures::ImageResource* background;
    const ImageStrip* strip;
    TRACKMOUSEEVENT tracking{};
};

} // namespace WindowsToolkit
