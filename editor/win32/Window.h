#pragma once
// The toolkit's window base: one object per Win32 window, bound to it by the window property
// "object", and the one window procedure that every toolkit class shares.

#include <windows.h>

#include <atomic>

namespace WindowsToolkit {

class Window {
public:
    // The geometry is the window's as created; toolkit windows never move or resize.
    Window(int x, int y, int width, int height) noexcept;
    // Deleted by the window procedure at WM_NCDESTROY, never by the code that created it.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window of class className for object (a WS_CHILD | WS_VISIBLE window at the
    // object's geometry inside parent) and returns its handle. On null the object is gone:
    // either OnCreate refused and the window procedure deleted it, or the window failed before
    // WM_CREATE and this function deleted it. User-interface thread.
    static HWND CreateToolkitWindow(Window* object, const char* className, HWND parent, HINSTANCE instance);

    // Any thread. Null before WM_CREATE and after WM_NCDESTROY.
    HWND GetHandle() const noexcept { return handle.load(std::memory_order_acquire); }
    int GetX() const noexcept { return x; }
    int GetY() const noexcept { return y; }
    int GetWidth() const noexcept { return width; }
    int GetHeight() const noexcept { return height; }

    // ---- Message handlers: user-interface thread, through WndProc. --------------------------
    // Nonzero means handled; a handler returning 0 passes the message on to WindowProc.
    // Points are client coordinates, sign-extended (a captured drag may go negative).
    virtual int OnCreate(CREATESTRUCTA* create);  // 0 refuses: the window is not created
    virtual int OnSize(WPARAM type, unsigned short width, unsigned short height);
    virtual int OnMove(unsigned short x, unsigned short y);
    virtual int OnPaint();
    virtual int OnEraseBackground(HDC dc);
    virtual int OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual int OnSetFocus(HWND previous);
    virtual int OnKillFocus(HWND next);
    virtual int OnShowWindow(WPARAM wParam, LPARAM lParam);
    virtual int OnCommand(WPARAM wParam, LPARAM lParam);
    virtual int OnChar(WPARAM code, unsigned short repeat, unsigned short flags);
    virtual int OnKeyDown(WPARAM code, unsigned short repeat, unsigned short flags);
    virtual int OnKeyUp(WPARAM code, unsigned short repeat, unsigned short flags);
    virtual int OnLButtonDown(UINT keys, POINT point);
    virtual int OnLButtonUp(UINT keys, POINT point);
    virtual int OnRButtonDown(UINT keys, POINT point);
    virtual int OnRButtonUp(UINT keys, POINT point);
    virtual int OnMouseMove(UINT keys, POINT point);
    virtual int OnMouseHover(UINT keys, POINT point);
    virtual int OnMouseLeave();
    virtual int OnMouseWheel(UINT keys, short delta, POINT point);
    virtual int OnHScroll(unsigned short code, unsigned short position, HWND scrollBar);
    virtual int OnVScroll(unsigned short code, unsigned short position, HWND scrollBar);
    virtual int OnNotify(NMHDR* header);
    virtual int OnClose();
    virtual int OnDestroy();
    virtual int OnNcDestroy();
    // Every message without a handler (registered messages included) and every handled message
    // whose handler returned 0; its result is the window procedure's. Base: DefWindowProcA.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<HWND> handle{nullptr};
    int x;
    int y;
    int width;
    int height;
};

// The window procedure of every toolkit window class.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The property that binds a window to its object.
inline constexpr const char* kObjectProperty = "object";

} // namespace WindowsToolkit
