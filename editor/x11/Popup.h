#pragma once
// A window of the editor's above every other, for a menu or a box: override-redirect, so no
// window manager moves, decorates or focuses it, and holding the pointer and the keyboard while
// it shows, so a click outside or Escape reaches it. It draws itself with cairo.

#include "editor/x11/Connection.h"
#include "pictures/Geometry.h"

#include <X11/Xlib.h>
#include <cairo.h>

namespace X11Toolkit {

class Popup {
public:
    // Closes it: ungrabs, destroys its window. The thread of its connection.
    virtual ~Popup();
    Popup(const Popup&) = delete;
    Popup& operator=(const Popup&) = delete;

    ::Window GetWindow() const noexcept { return window; }
    // Every event for its window; while it holds the pointer and keyboard, that is all of them.
    void HandleEvent(const XEvent& event);
    // Once the user answered (chose, dismissed or closed it); the owner then reads the answer and
    // deletes it.
    bool IsFinished() const noexcept { return finished; }
    int GetAnswer() const noexcept { return answer; }

protected:
    // area: where it shows, in root coordinates; moved inside the screen where it would leave it.
    Popup(Connection& connection, Pictures::Rect area);

    // Maps the window and takes the pointer and the keyboard.
    void Show();
    void Finish(int result) noexcept;
    // Draws the whole popup again.
    void Repaint();
    Pictures::Size GetSize() const noexcept { return size; }

    virtual void Draw(cairo_t* cr) = 0;
    // Points are the popup's own coordinates, possibly outside it.
    virtual void OnPointerMove(Pictures::Point point) = 0;
    virtual void OnButtonPress(unsigned button, Pictures::Point point) = 0;
    virtual void OnButtonRelease(unsigned button, Pictures::Point point) = 0;
    virtual void OnKey(KeySym key) = 0;

    bool Contains(Pictures::Point point) const noexcept { return Pictures::Rect{0, 0, size.width, size.height}.Contains(point); }

private:
    Connection& connection;
    ::Window window = 0;
    Pictures::Size size;
    cairo_surface_t* surface = nullptr;
    bool pointerGrabbed = false;
    bool keyboardGrabbed = false;
    bool finished = false;
    int answer = 0;
};

// The look every popup shares.
namespace PopupLook {
constexpr const char* kFace = "Arial";
void SetColour(cairo_t* cr, unsigned rgb);
// Text of cell height pixels with its cell's top at top; answers its width.
double TextWidth(cairo_t* cr, const char* text, int cellHeight);
void DrawText(cairo_t* cr, const char* text, double x, double top, int cellHeight, unsigned rgb);
// A push button: face, frame, its text centred; focused buttons get the default frame.
void DrawButton(cairo_t* cr, Pictures::Rect area, const char* text, bool pressed, bool focused);
} // namespace PopupLook

} // namespace X11Toolkit
