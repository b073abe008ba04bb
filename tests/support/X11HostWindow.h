#pragma once
// What the X11 editor tests share: a top-level window of the test's own connection standing in
// for the host's window, real input through the XTest extension (the server delivers it to
// whichever window is under the pointer, as a user's would), the windows a plug-in made in it or
// above it, and pixels read back from the screen.

// Before Xlib, whose macros (None, Status, Bool) would rewrite its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>

#include <algorithm>
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
        // Told of every window a plug-in maps inside it.
        attributes.event_mask = SubstructureNotifyMask;
        window = XCreateWindow(display, DefaultRootWindow(display), kLeft, kTop, kWidth, kHeight, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask,
                               &attributes);
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

    // ---- The windows of others: a plug-in's editor inside, its popups above ---------------------
    // The host window's children, as the server knows them now.
    std::vector<Window> Children() { return ChildrenOf(window); }
    // Waits for the server to report a child mapped inside the host window that is still there
    // and shows; 0 when none does in time. A plug-in's connection maps its window on its own
    // schedule: input sent before the server has mapped it would land on the host window.
    Window AwaitMappedChild(std::chrono::milliseconds patience = std::chrono::milliseconds(5000))
    {
        const auto until = std::chrono::steady_clock::now() + patience;
        while (true) {
            XSync(display, False);
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == MapNotify && event.xmap.event == window && event.xmap.window != window)
                    mapped.push_back(event.xmap.window);
            }
            const std::vector<Window> children = Children();
            for (auto at = mapped.rbegin(); at != mapped.rend(); ++at)
                for (Window child : children)
                    if (child == *at && Shows(child)) {
                        mapped.clear();
                        return child;
                    }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until -
                                                                                    std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return 0;
            if (XQLength(display) > 0)
                continue; // the questions above read more events in
            pollfd waiting{ConnectionNumber(display), POLLIN, 0};
            poll(&waiting, 1, static_cast<int>(left.count()));
        }
    }
    // A window showing above everything that is not the host's: a plug-in's menu or box; 0 if none.
    Window ShownPopup()
    {
        for (Window top : ChildrenOf(DefaultRootWindow(display)))
            if (top != window && Shows(top))
                return top;
        return 0;
    }
    // Mapped, with every ancestor mapped too.
    bool Shows(Window other)
    {
        XWindowAttributes attributes{};
        return Attributes(other, attributes) && attributes.map_state == IsViewable;
    }
    // A window's attributes; false (and no error) when it does not exist.
    bool Attributes(Window other, XWindowAttributes& attributes)
    {
        XSync(display, False);
        auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        const Status found = XGetWindowAttributes(display, other, &attributes);
        XSync(display, False);
        XSetErrorHandler(previous);
        return found != 0;
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
    // One window inside, showing many colours at the given size: a face drawn, not a blank.
    bool HoldsAPaintedChild(int width, int height)
    {
        const std::vector<Window> children = Children();
        if (children.size() != 1)
            return false;
        std::vector<uint32_t> pixels = Capture(children[0], 0, 0, width, height);
        std::sort(pixels.begin(), pixels.end());
        return std::unique(pixels.begin(), pixels.end()) - pixels.begin() > 100;
    }

private:
    std::vector<Window> ChildrenOf(Window parent)
    {
        std::vector<Window> found;
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        if (parent == 0 || !XQueryTree(display, parent, &root, &up, &children, &count))
            return found;
        found.assign(children, children + count);
        if (children != nullptr)
            XFree(children);
        return found;
    }

    Display* display = nullptr;
    Window window = 0;
    std::vector<Window> mapped; // children the server reported mapped, not yet handed out
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
