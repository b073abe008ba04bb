// A module that carries the toolkit the way the plug-in does: its load notification registers
// the window classes and its unload notification removes them.

#include "editor/win32/WindowClasses.h"
#include "platform/Module.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        Platform::SetModuleInstance(instance);
        return WindowsToolkit::ProcessAttach();
    case DLL_PROCESS_DETACH:
        return WindowsToolkit::ProcessDetach();
    default:
        return TRUE;
    }
}
