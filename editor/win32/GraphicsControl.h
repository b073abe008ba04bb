#pragma once
// A toolkit window that shows one of the editor's controls over the piece of the background
// picture it covers: the control decides, the window paints it and feeds it the mouse.

#include "controls/Control.h"
#include "editor/win32/Window.h"

#include <functional>
#include <memory>

namespace Pictures {
class Graphics;
class ImageResource;
} // namespace Pictures

namespace WindowsToolkit {

// Control modifiers as the mouse messages' key state carries them.
Controls::Modifiers ModifiersOf(UINT keys) noexcept;

class GraphicsControl : public Window, protected Controls::ControlSite {
public:
    // background is not owned and may be null or empty; the window takes the control's bounds.
    GraphicsControl(const Pictures::ImageResource* background, std::unique_ptr<Controls::Control> control) noexcept;

    // ---- User-interface thread ----------------------------------------------------------
    int OnPaint() override;                // off-screen paint, then one copy to the screen
    int OnEraseBackground(HDC) override;   // never erased: the paint covers every pixel
    // Draws the control's face over the background piece already in graphics.
    virtual void Draw(Pictures::Graphics& graphics);

protected:
    const Pictures::ImageResource* GetBackground() const noexcept { return background; }
    Controls::Control& GetControl() const noexcept { return *control; }

    // ---- ControlSite --------------------------------------------------------------------
    void Invalidate() override;
    void CapturePointer() override;
    void ReleasePointer() override;
    bool HasPointerCapture() const override;
    void TrackHover() override {}
    void Notify(Controls::Notice) override {}

private:
    const Pictures::ImageResource* background;
    std::unique_ptr<Controls::Control> control;
};

// The flicker-free paint every control uses: composes the background piece under window (at the
// window's place in its parent) and draw's output in an ARGB bitmap of the client size, then
// copies it to the window between BeginPaint and EndPaint. Returns 1.
int PaintOffscreen(HWND window, const Pictures::ImageResource* background, const std::function<void(Pictures::Graphics&)>& draw);

} // namespace WindowsToolkit
