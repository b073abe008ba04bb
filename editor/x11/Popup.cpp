#include "editor/x11/Popup.h"

#include "pictures/cairo/ImageCanvas.h"

#include <X11/keysym.h>
#include <cairo-xlib.h>

namespace X11Toolkit {

Popup::Popup(Connection& connection, Pictures::Rect area) : connection(connection)
{
    Display* display = connection.Get();
    const int screen = DefaultScreen(display);
    const int screenWidth = DisplayWidth(display, screen);
    const int screenHeight = DisplayHeight(display, screen);
    size = Pictures::Size{area.Width(), area.Height()};
    int x = area.left;
    int y = area.top;
    // As a Win32 popup does: flipped back inside the screen where it would run off it.
    if (x + size.width > screenWidth)
        x = screenWidth - size.width;
    if (y + size.height > screenHeight)
        y = screenHeight - size.height;
    x = x < 0 ? 0 : x;
    y = y < 0 ? 0 : y;

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    window = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(size.width),
                           static_cast<unsigned>(size.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask, &attributes);
    surface = cairo_xlib_surface_create(display, window, DefaultVisual(display, screen), size.width, size.height);
}

Popup::~Popup()
{
    Display* display = connection.Get();
    if (pointerGrabbed)
        XUngrabPointer(display, CurrentTime);
    if (keyboardGrabbed)
        XUngrabKeyboard(display, CurrentTime);
    if (surface != nullptr)
        cairo_surface_destroy(surface);
    if (window != 0)
        XDestroyWindow(display, window);
    // The grabs are gone before anything else happens: input that follows reaches the windows
    // under the pointer again, not this one.
    XSync(display, False);
}

void Popup::Show()
{
    Display* display = connection.Get();
    XMapRaised(display, window);
    Repaint();
    // Another client holding the pointer (a host's own menu) leaves us without the grab: the
    // popup still works, only a click elsewhere does not reach it.
    pointerGrabbed = XGrabPointer(display, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                  GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    keyboardGrabbed = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    XFlush(display);
}

void Popup::Finish(int result) noexcept
{
    if (finished)
        return;
    finished = true;
    answer = result;
}

void Popup::Repaint()
{
    if (surface == nullptr)
        return;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
    cairo_t* cr = cairo_create(image);
    Draw(cr);
    cairo_destroy(cr);
    cairo_t* screen = cairo_create(surface);
    cairo_set_source_surface(screen, image, 0, 0);
    cairo_set_operator(screen, CAIRO_OPERATOR_SOURCE);
    cairo_paint(screen);
    cairo_destroy(screen);
    cairo_surface_destroy(image);
    cairo_surface_flush(surface);
}

void Popup::HandleEvent(const XEvent& event)
{
    if (finished)
        return;
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0)
            Repaint();
        break;
    case MotionNotify:
        OnPointerMove(Pictures::Point{event.xmotion.x, event.xmotion.y});
        break;
    case ButtonPress:
        OnButtonPress(event.xbutton.button, Pictures::Point{event.xbutton.x, event.xbutton.y});
        break;
    case ButtonRelease:
        OnButtonRelease(event.xbutton.button, Pictures::Point{event.xbutton.x, event.xbutton.y});
        break;
    case KeyPress: {
        XKeyEvent key = event.xkey;
        OnKey(XLookupKeysym(&key, 0));
        break;
    }
    default:
        break;
    }
}

namespace PopupLook {

void SetColour(cairo_t* cr, unsigned rgb)
{
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

double TextWidth(cairo_t* cr, const char* text, int cellHeight)
{
    Pictures::SelectCellFont(cr, Pictures::TextStyle{kFace, cellHeight, 0});
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance;
}

void DrawText(cairo_t* cr, const char* text, double x, double top, int cellHeight, unsigned rgb)
{
    const double descent = Pictures::SelectCellFont(cr, Pictures::TextStyle{kFace, cellHeight, rgb});
    SetColour(cr, rgb);
    cairo_move_to(cr, x, top + cellHeight - descent);
    cairo_show_text(cr, text);
}

void DrawButton(cairo_t* cr, Pictures::Rect area, const char* text, bool pressed, bool focused)
{
    const double left = area.left + 0.5;
    const double top = area.top + 0.5;
    const double width = area.Width() - 1.0;
    const double height = area.Height() - 1.0;
    SetColour(cr, pressed ? 0xCCE4F7 : 0xE1E1E1);
    cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
    cairo_fill(cr);
    SetColour(cr, focused ? 0x0078D7 : 0xADADAD);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, left, top, width, height);
    cairo_stroke(cr);
    if (focused) {
        cairo_rectangle(cr, left + 1.0, top + 1.0, width - 2.0, height - 2.0);
        cairo_stroke(cr);
    }
    constexpr int kCell = 13;
    const double textWidth = TextWidth(cr, text, kCell);
    DrawText(cr, text, area.left + (area.Width() - textWidth) / 2.0, area.top + (area.Height() - kCell) / 2.0, kCell,
             0x000000);
}

} // namespace PopupLook

} // namespace X11Toolkit
