#include "editor/win32/WindowClasses.h"

#include "editor/win32/Window.h"
#include "platform/Module.h"
#include "platform/Trace.h"

namespace WindowsToolkit {

bool RegisterWindowClasses(HINSTANCE instance)
{
    for (const char* name : kWindowClassNames) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW; // no CS_DBLCLKS: a double click is two presses
        windowClass.lpfnWndProc = WndProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        windowClass.lpszClassName = name;
        if (RegisterClassExA(&windowClass) == 0)
            return false;
    }
    return true;
}

void UnregisterWindowClasses(HINSTANCE instance)
{
    for (const char* name : kWindowClassNames)
        UnregisterClassA(name, instance);
}

BOOL ProcessAttach()
{
    Platform::Trace("ProcessAttach\r\n");
    return RegisterWindowClasses(static_cast<HINSTANCE>(Platform::GetModuleInstance())) ? TRUE : FALSE;
}

BOOL ProcessDetach()
{
    Platform::Trace("ProcessDetach\r\n");
    UnregisterWindowClasses(static_cast<HINSTANCE>(Platform::GetModuleInstance()));
    return TRUE;
}

} // namespace WindowsToolkit
