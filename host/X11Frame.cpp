#include "host/X11Frame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

namespace MorlentHost {

struct X11Frame::Native {
    Display* display = nullptr;
    ::Window window = 0;
    bool childMapped = false;
};

std::unique_ptr<X11Frame> X11Frame::Open(int width, int height, std::string& error)
{
    auto native = std::make_unique<Native>();
    native->display = XOpenDisplay(nullptr);
    if (native->display == nullptr) {
        error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    Display* display = native->display;
    XSetWindowAttributes attributes{};
    // Placed at the top-left and above everything, with no window manager needed.
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.event_mask = SubstructureNotifyMask;
    native->window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, native->window, "Morlent host");
    XSync(display, False);
    return std::unique_ptr<X11Frame>(new X11Frame(std::move(native)));
}

X11Frame::X11Frame(std::unique_ptr<Native> native) : native(std::move(native)) {}

X11Frame::~X11Frame()
{
    if (native->window != 0)
        XDestroyWindow(native->display, native->window);
    XCloseDisplay(native->display);
}

unsigned long X11Frame::Window() const noexcept
{
    return native->window;
}

void X11Frame::Show(int width, int height)
{
    XResizeWindow(native->display, native->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XMapRaised(native->display, native->window);
    XSync(native->display, False);
}

bool X11Frame::ChildMapped()
{
    while (XPending(native->display) > 0) {
        XEvent event;
        XNextEvent(native->display, &event);
        if (event.type == MapNotify && event.xmap.event == native->window && event.xmap.window != native->window)
            native->childMapped = true;
    }
    return native->childMapped;
}

std::vector<uint32_t> X11Frame::Capture(int width, int height)
{
    std::vector<uint32_t> pixels;
    XSync(native->display, False);
    XImage* image = XGetImage(native->display, native->window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

} // namespace MorlentHost
