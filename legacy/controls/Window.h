#pragma once
// The first-generation window toolkit's base: one object per window, bound to it on
// WM_NCCREATE through the window property "object", with one handler per message of interest.
// User-interface thread only.

#include "legacy/controls/Messages.h"

#include <windows.h>

namespace WindowToolkit {

class ValueControl;

constexpr const char kObjectProperty[] = "object";

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetHandle() const noexcept { return window; }

    // Handlers answer nonzero when they handled the message; the window procedure then answers
    // for them (see WndProc).
    virtual int OnNcCreate(CREATESTRUCTA*) { return 1; }
    // The WM_CREATE result: -1 refuses the window.
    virtual int OnCreate(CREATESTRUCTA*) { return 0; }
    virtual int OnSize(WPARAM, int, int) { return 0; }
    virtual int OnMove(int, int) { return 0; }
    virtual int OnPaint(HDC) { return 0; }
    virtual int OnEraseBackground(WPARAM) { return 0; }
    virtual int OnDrawItem(WPARAM, LPARAM) { return 0; }
    virtual int OnSetFocus(WPARAM) { return 0; }
    virtual int OnKillFocus(WPARAM) { return 0; }
    virtual int OnCommand(WPARAM, LPARAM) { return 0; }
    virtual int OnChar(WPARAM, int, int) { return 0; }
    virtual int OnKeyDown(WPARAM, int, int) { return 0; }
    virtual int OnKeyUp(WPARAM, int, int) { return 0; }
    virtual int OnLButtonDown(WPARAM, int, int) { return 0; }
    virtual int OnLButtonUp(WPARAM, int, int) { return 0; }
    virtual int OnRButtonDown(WPARAM, int, int) { return 0; }
    virtual int OnRButtonUp(WPARAM, int, int) { return 0; }
    virtual int OnMouseMove(WPARAM, int, int) { return 0; }
    virtual int OnMouseHover(WPARAM, int, int) { return 0; }
    virtual int OnMouseLeave() { return 0; }
    virtual int OnMouseWheel(int, int, int, int) { return 0; }
    virtual int OnHScroll(int, int, LPARAM) { return 0; }
    virtual int OnVScroll(int, int, LPARAM) { return 0; }
    virtual int OnClose() { return 0; }
    virtual int OnDestroy() { return 0; }
    virtual int OnNcDestroy() { return 0; }
    virtual void OnControlValueChanged(ValueControl*, float) {}
    virtual void OnControlMouseHover(ValueControl*) {}
    virtual void OnControlMouseLeave(ValueControl*) {}
    virtual void OnControlRightClicked(ValueControl*) {}
    // Every message without a handler of its own.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Asks for WM_MOUSEHOVER (after 200 ms) and WM_MOUSELEAVE.
    void TrackMouse() noexcept;
    // The top-left of this window in its parent's client coordinates.
    POINT PositionInParent() const noexcept;

private:
    friend LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);

    HWND window = nullptr;
    TRACKMOUSEEVENT tracking{};
};

// The one window procedure of every toolkit class.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers a class with WndProc. Registering a name twice fails; callers may ignore that.
ATOM RegisterToolkitWindowClass(UINT style, int classExtra, int windowExtra, HINSTANCE instance, HICON icon,
                                HCURSOR cursor, HBRUSH brush, const char* menuName, const char* className,
                                HICON smallIcon);

// CreateWindowExA of a visible child with object as its creation parameter. On failure the
// window procedure has deleted the object (or, if no window procedure ever saw it, this does).
HWND CreateToolkitWindow(Window* object, const char* className, int x, int y, int width, int height, HWND parent,
                         HMENU childId, HINSTANCE instance);

} // namespace WindowToolkit
