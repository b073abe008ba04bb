#pragma once
// What the X11 editor tests share: a top-level window of the test's own connection standing in
// for the host's window, real input through the XTest extension (the server delivers it to
// whichever window is under the pointer, as a user's would), and pixels read back from the screen.

// Before Xlib, whose macros (None, Status, Bool) would rewrite its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace TestSupport {

class X11HostWindow {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    // Where the host window sits on the screen, away from the corner the pointer is parked in.
    static constexpr int kLeft = 100;
    static constexpr int kTop = 80;

    X11HostWindow()
    {
        display = XOpenDisplay(nullptr);
        if (display == nullptr)
            return;
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True; // placed where asked, with no window manager around
        attributes.background_pixel = 0x303030;
        window = XCreateWindow(display, DefaultRootWindow(display), kLeft, kTop, kWidth, kHeight, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XStoreName(display, window, "Morlent test host");
        XMapRaised(display, window);
        Park();
        XSync(display, False);
    }

    ~X11HostWindow()
    {
        if (display == nullptr)
            return;
        if (window != 0)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    bool IsOpen() const { return display != nullptr && window != 0; }
    // A host that destroys its window under an open editor.
    void DestroyWindow()
    {
        XDestroyWindow(display, window);
        XSync(display, False);
        window = 0;
    }
    Display* GetDisplay() const { return display; }
    Window GetWindow() const { return window; }
    uintptr_t Handle() const { return static_cast<uintptr_t>(window); }

    // The pointer well away from every window of ours.
    void Park() { MoveTo(1270, 1010); }

    // ---- Real input, at points of the host window (root coordinates for MoveToRoot) ----------
    void MoveToRoot(int x, int y)
    {
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
        XSync(display, False);
    }
    void MoveTo(int x, int y) { MoveToRoot(kLeft + x, kTop + y); }
    void Button(unsigned button, bool down)
    {
        XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
        XSync(display, False);
    }
    void Click(int x, int y, unsigned button = Button1)
    {
        MoveTo(x, y);
        Button(button, true);
        Button(button, false);
    }
    void Key(KeySym key, bool down)
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down ? True : False, CurrentTime);
        XSync(display, False);
    }
    void Press(KeySym key)
    {
        Key(key, true);
        Key(key, false);
    }

    // ---- Pixels as the screen shows them, 0x00RRGGBB row by row -------------------------------
    std::vector<uint32_t> Capture(Window from, int x, int y, int width, int height)
    {
        std::vector<uint32_t> pixels;
        XSync(display, False);
        XImage* image = XGetImage(display, from, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return pixels;
        pixels.reserve(static_cast<size_t>(width) * height);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }

private:
    Display* display = nullptr;
    Window window = 0;
};

// Runs step until done answers true; false when the deadline passes first, so a broken editor
// fails the test instead of hanging it.
inline bool Await(const std::function<void()>& step, const std::function<bool()>& done,
                  std::chrono::milliseconds deadline = std::chrono::milliseconds(5000))
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (true) {
        step();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > until)
            return false;
    }
}

} // namespace TestSupport
