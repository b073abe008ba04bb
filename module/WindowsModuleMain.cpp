// The load notification of every 64-bit Windows module that carries the editor: the toolkit's
// window classes live exactly as long as the module.

#include "editor/win32/WindowClasses.h"
#include "platform/Module.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    Platform::SetModuleInstance(instance);
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        // A class that cannot be registered fails the load: the editor could not open.
        return WindowsToolkit::ProcessAttach();
    case DLL_PROCESS_DETACH:
        return WindowsToolkit::ProcessDetach();
    default:
        return TRUE;
    }
}
