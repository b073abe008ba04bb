#pragma once
// A window that paints itself over the piece of the background picture it covers.

#include "controls/Window.h"

#include <functional>

namespace Pictures {
class Graphics;
class ImageResource;
}

namespace WindowsToolkit {

class GraphicsControl : public Window {
public:
    // background is not owned and may be null or empty.
    GraphicsControl(const Pictures::ImageResource* background, int x, int y, int width, int height) noexcept
        : Window(x, y, width, height), background(background)
    {
    }

    // ---- User-interface thread ----------------------------------------------------------
    int OnPaint() override;                // off-screen paint, then one copy to the screen
    int OnEraseBackground(HDC) override;   // never erased: the paint covers every pixel
    // Draws the control's face over the background piece already in graphics.
    virtual void Draw(Pictures::Graphics& graphics) = 0;

protected:
    const Pictures::ImageResource* GetBackground() const noexcept { return background; }

private:
    const Pictures::ImageResource* background;
};

// The flicker-free paint every control uses: composes the background piece under window (at the
// window's place in its parent) and draw's output in an ARGB bitmap of the client size, then
// copies it to the window between BeginPaint and EndPaint. Returns 1.
int PaintOffscreen(HWND window, const Pictures::ImageResource* background, const std::function<void(Pictures::Graphics&)>& draw);

} // namespace WindowsToolkit
