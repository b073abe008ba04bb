#include "editor/win32/Window.h"

namespace WindowsToolkit {

namespace {

// The object a CreateToolkitWindow call on this thread still owns: the window procedure takes
// it over at WM_CREATE, so a creation that fails earlier leaves it to the creator to free.
thread_local Window* objectAwaitingCreate = nullptr;

POINT PointFrom(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

Window::Window(int x, int y, int width, int height) noexcept : x(x), y(y), width(width), height(height) {}

Window::~Window() = default;

HWND Window::CreateToolkitWindow(Window* object, const char* className, HWND parent, HINSTANCE instance)
{
    if (object == nullptr)
        return nullptr;
    Window* const outer = objectAwaitingCreate; // an OnCreate may create windows of its own
    objectAwaitingCreate = object;
    HWND window = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, object->x, object->y, object->width,
                                  object->height, parent, nullptr, instance, object);
    const bool stillOurs = objectAwaitingCreate == object;
    objectAwaitingCreate = outer;
    if (window == nullptr && stillOurs)
        delete object;
    return window;
}

int Window::OnCreate(CREATESTRUCTA*) { return 1; }
int Window::OnSize(WPARAM, unsigned short, unsigned short) { return 0; }
int Window::OnMove(unsigned short, unsigned short) { return 0; }
int Window::OnPaint() { return 0; }
int Window::OnEraseBackground(HDC) { return 0; }
int Window::OnDrawItem(WPARAM, LPARAM) { return 0; }
int Window::OnSetFocus(HWND) { return 0; }
int Window::OnKillFocus(HWND) { return 0; }
int Window::OnShowWindow(WPARAM, LPARAM) { return 0; }
int Window::OnCommand(WPARAM, LPARAM) { return 0; }
int Window::OnChar(WPARAM, unsigned short, unsigned short) { return 0; }
int Window::OnKeyDown(WPARAM, unsigned short, unsigned short) { return 0; }
int Window::OnKeyUp(WPARAM, unsigned short, unsigned short) { return 0; }
int Window::OnLButtonDown(UINT, POINT) { return 0; }
int Window::OnLButtonUp(UINT, POINT) { return 0; }
int Window::OnRButtonDown(UINT, POINT) { return 0; }
int Window::OnRButtonUp(UINT, POINT) { return 0; }
int Window::OnMouseMove(UINT, POINT) { return 0; }
int Window::OnMouseHover(UINT, POINT) { return 0; }
int Window::OnMouseLeave() { return 0; }
int Window::OnMouseWheel(UINT, short, POINT) { return 0; }
int Window::OnHScroll(unsigned short, unsigned short, HWND) { return 0; }
int Window::OnVScroll(unsigned short, unsigned short, HWND) { return 0; }
int Window::OnNotify(NMHDR*) { return 0; }
int Window::OnClose() { return 0; }
int Window::OnDestroy() { return 0; }
int Window::OnNcDestroy() { return 0; }

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(GetHandle(), message, wParam, lParam);
}

namespace {

// The handlers' answer for a bound window's message, WM_NCDESTROY aside.
LRESULT Dispatch(Window* object, UINT message, WPARAM wParam, LPARAM lParam)
{
    int handled = 0;
    switch (message) {
    case WM_CREATE:
        handled = object->OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
        break;
    case WM_SIZE:
        handled = object->OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_MOVE:
        handled = object->OnMove(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_PAINT:
        handled = object->OnPaint();
        break;
    case WM_ERASEBKGND:
        handled = object->OnEraseBackground(reinterpret_cast<HDC>(wParam));
        break;
    case WM_DRAWITEM:
        handled = object->OnDrawItem(wParam, lParam);
        break;
    case WM_SETFOCUS:
        handled = object->OnSetFocus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_KILLFOCUS:
        handled = object->OnKillFocus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_SHOWWINDOW:
        handled = object->OnShowWindow(wParam, lParam);
        break;
    case WM_COMMAND:
        handled = object->OnCommand(wParam, lParam);
        break;
    case WM_CHAR:
        handled = object->OnChar(wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_KEYDOWN:
        handled = object->OnKeyDown(wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_KEYUP:
        handled = object->OnKeyUp(wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_LBUTTONDOWN:
        handled = object->OnLButtonDown(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case WM_LBUTTONUP:
        handled = object->OnLButtonUp(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case WM_RBUTTONDOWN:
        handled = object->OnRButtonDown(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case WM_RBUTTONUP:
        handled = object->OnRButtonUp(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case WM_MOUSEMOVE:
        handled = object->OnMouseMove(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case WM_MOUSEHOVER:
        handled = object->OnMouseHover(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case WM_MOUSELEAVE:
        handled = object->OnMouseLeave();
        break;
    case WM_MOUSEWHEEL:
        handled = object->OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointFrom(lParam));
        break;
    case WM_HSCROLL:
        handled = object->OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_VSCROLL:
        handled = object->OnVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_NOTIFY:
        handled = object->OnNotify(reinterpret_cast<NMHDR*>(lParam));
        break;
    case WM_CLOSE:
        handled = object->OnClose();
        break;
    case WM_DESTROY:
        handled = object->OnDestroy();
        break;
    default:
        return object->WindowProc(message, wParam, lParam);
    }
    if (handled == 0)
        return object->WindowProc(message, wParam, lParam);
    // These three report "processed" by a nonzero result; every other message by zero.
    return (message == WM_ERASEBKGND || message == WM_DRAWITEM || message == WM_COMMAND) ? 1 : 0;
}

} // namespace

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may unwind into the system's frames. A handler that throws counts as one that
    // declined, except that the object's WindowProc is not asked again: the message gets
    // DefWindowProcA, which also validates for a paint handler that threw before BeginPaint.
    auto* object = static_cast<Window*>(GetPropA(window, kObjectProperty));
    if (object == nullptr) {
        // WM_NCCREATE, WM_NCCALCSIZE and WM_GETMINMAXINFO come before WM_CREATE and stay unbound.
        if (message != WM_CREATE)
            return DefWindowProcA(window, message, wParam, lParam);
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        object = create != nullptr ? static_cast<Window*>(create->lpCreateParams) : nullptr;
        if (object == nullptr)
            return 0;
        if (objectAwaitingCreate == object)
            objectAwaitingCreate = nullptr;
        object->handle.store(window, std::memory_order_release);
        int accepted = 0;
        try {
            accepted = object->OnCreate(create);
        } catch (...) {
            accepted = 0; // refused: the object is ours to delete either way
        }
        if (accepted == 0) {
            object->handle.store(nullptr, std::memory_order_release);
            delete object;
            return -1;
        }
        SetPropA(window, kObjectProperty, object);
        return 0;
    }

    if (message == WM_NCDESTROY) {
        // The object goes with its window, whatever its last handler does.
        try {
            object->OnNcDestroy();
        } catch (...) {
        }
        object->handle.store(nullptr, std::memory_order_release);
        RemovePropA(window, kObjectProperty);
        delete object;
        return 0;
    }
    try {
        return Dispatch(object, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace WindowsToolkit
