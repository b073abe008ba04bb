#pragma once
// A parameter control's window painted from its film strip over the background picture.

#include "editor/win32/ParameterControl.h"

namespace Pictures {
class Graphics;
class ImageResource;
} // namespace Pictures

namespace WindowsToolkit {

class GraphicsParameterControl : public ParameterControl {
public:
    // background is not owned and may be null or empty.
    GraphicsParameterControl(const Pictures::ImageResource* background,
                             std::unique_ptr<Controls::ParameterControl> control) noexcept;

    // ---- User-interface thread ----------------------------------------------------------
    int OnCreate(CREATESTRUCTA* create) override; // prepares hover and leave tracking
    int OnPaint() override;
    int OnEraseBackground(HDC) override;
    // Draws the frame that shows the current value.
    void Draw(Pictures::Graphics& graphics);

protected:
    // Asks for one WM_MOUSEHOVER (after 50 ms at rest) and one WM_MOUSELEAVE.
    void TrackHover() override;

private:
    const Pictures::ImageResource* background;
    TRACKMOUSEEVENT tracking{};
};

} // namespace WindowsToolkit
