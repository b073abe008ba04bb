#include "legacy/controls/Window.h"

#include "legacy/controls/ValueControl.h"

#include <windowsx.h>

namespace WindowToolkit {

namespace {

constexpr DWORD kHoverMilliseconds = 200;

// The object CreateToolkitWindow is creating a window for, until WM_NCCREATE takes it: a
// window that never reaches the procedure (an unknown class) leaves its object to the caller.
thread_local Window* unclaimed = nullptr;

Window* ObjectOf(HWND window)
{
    return static_cast<Window*>(GetPropA(window, kObjectProperty));
}

ValueControl* ControlOf(WPARAM wParam)
{
    return reinterpret_cast<ValueControl*>(wParam);
}

} // namespace

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void Window::TrackMouse() noexcept
{
    if (window != nullptr)
        TrackMouseEvent(&tracking);
}

POINT Window::PositionInParent() const noexcept
{
    RECT place{};
    GetWindowRect(window, &place);
    POINT topLeft{place.left, place.top};
    if (HWND parent = GetParent(window))
        ScreenToClient(parent, &topLeft);
    return topLeft;
}

namespace {

// The handler's answer as the window procedure's result: handled messages answer 0, except
// the three whose "handled" is 1; unhandled ones get the default processing.
LRESULT Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int handled)
{
    if (handled == 0)
        return DefWindowProcA(window, message, wParam, lParam);
    return message == WM_ERASEBKGND || message == WM_DRAWITEM || message == WM_COMMAND ? 1 : 0;
}

LRESULT Dispatch(Window* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const int low = LOWORD(lParam);
    const int high = HIWORD(lParam);
    int handled = 0;
    switch (message) {
    case WM_CREATE: {
        const int result = object->OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
        return result;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        object->OnPaint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_VC_VALUE_CHANGED:
        object->OnControlValueChanged(ControlOf(wParam), LParamToFloat(lParam));
        return 0;
    case WM_VC_HOVER:
        object->OnControlMouseHover(ControlOf(wParam));
        return 0;
    case WM_VC_LEAVE:
        object->OnControlMouseLeave(ControlOf(wParam));
        return 0;
    case WM_VC_RIGHT_CLICKED:
        object->OnControlRightClicked(ControlOf(wParam));
        return 0;
    case WM_SIZE: handled = object->OnSize(wParam, low, high); break;
    case WM_MOVE: handled = object->OnMove(low, high); break;
    case WM_ERASEBKGND: handled = object->OnEraseBackground(wParam); break;
    case WM_DRAWITEM: handled = object->OnDrawItem(wParam, lParam); break;
    case WM_SETFOCUS: handled = object->OnSetFocus(wParam); break;
    case WM_KILLFOCUS: handled = object->OnKillFocus(wParam); break;
    case WM_COMMAND: handled = object->OnCommand(wParam, lParam); break;
    case WM_CHAR: handled = object->OnChar(wParam, low, high); break;
    case WM_KEYDOWN: handled = object->OnKeyDown(wParam, low, high); break;
    case WM_KEYUP: handled = object->OnKeyUp(wParam, low, high); break;
    case WM_LBUTTONDOWN: handled = object->OnLButtonDown(wParam, x, y); break;
    case WM_LBUTTONUP: handled = object->OnLButtonUp(wParam, x, y); break;
    case WM_RBUTTONDOWN: handled = object->OnRButtonDown(wParam, x, y); break;
    case WM_RBUTTONUP: handled = object->OnRButtonUp(wParam, x, y); break;
    case WM_MOUSEMOVE: handled = object->OnMouseMove(wParam, x, y); break;
    case WM_MOUSEHOVER: handled = object->OnMouseHover(wParam, x, y); break;
    case WM_MOUSELEAVE: handled = object->OnMouseLeave(); break;
    case WM_MOUSEWHEEL:
        handled = object->OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), x, y);
        break;
    case WM_HSCROLL: handled = object->OnHScroll(LOWORD(wParam), HIWORD(wParam), lParam); break;
    case WM_VSCROLL: handled = object->OnVScroll(LOWORD(wParam), HIWORD(wParam), lParam); break;
    case WM_CLOSE: handled = object->OnClose(); break;
    case WM_DESTROY: handled = object->OnDestroy(); break;
    default:
        return object->WindowProc(message, wParam, lParam);
    }
    return Answer(window, message, wParam, lParam, handled);
}

} // namespace

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may unwind into the host's message loop.
    try {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            auto* object = static_cast<Window*>(create->lpCreateParams);
            if (object == nullptr)
                return DefWindowProcA(window, message, wParam, lParam);
            if (object == unclaimed)
                unclaimed = nullptr;
            object->window = window;
            const int result = object->OnNcCreate(create);
            if (result == 0 || !SetPropA(window, kObjectProperty, object)) {
                object->window = nullptr;
                delete object;
                return 0;
            }
            object->tracking = TRACKMOUSEEVENT{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, window,
                                               kHoverMilliseconds};
            // The default processing sets the window's title, among other things.
            DefWindowProcA(window, message, wParam, lParam);
            return result;
        }

        Window* object = ObjectOf(window);
        if (object == nullptr)
            return DefWindowProcA(window, message, wParam, lParam);

        if (message == WM_NCDESTROY) {
            object->OnNcDestroy();
            RemovePropA(window, kObjectProperty);
            object->window = nullptr;
            delete object;
            return DefWindowProcA(window, message, wParam, lParam);
        }
        if (message == WM_CREATE) {
            const LRESULT result = Dispatch(object, window, message, wParam, lParam);
            if (result == -1) {
                RemovePropA(window, kObjectProperty);
                object->window = nullptr;
                delete object;
            }
            return result;
        }
        return Dispatch(object, window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

ATOM RegisterToolkitWindowClass(UINT style, int classExtra, int windowExtra, HINSTANCE instance, HICON icon,
                                HCURSOR cursor, HBRUSH brush, const char* menuName, const char* className,
                                HICON smallIcon)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = classExtra;
    windowClass.cbWndExtra = windowExtra;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = brush;
    windowClass.lpszMenuName = menuName;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = smallIcon;
    return RegisterClassExA(&windowClass);
}

HWND CreateToolkitWindow(Window* object, const char* className, int x, int y, int width, int height, HWND parent,
                         HMENU childId, HINSTANCE instance)
{
    if (object == nullptr)
        return nullptr;
    unclaimed = object;
    HWND window = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, childId,
                                  instance, object);
    if (window == nullptr && unclaimed == object)
        delete object;
    unclaimed = nullptr;
    return window;
}

} // namespace WindowToolkit
