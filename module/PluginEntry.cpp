// The 64-bit module's instance factory and its load notification; the entry point itself is
// the effect base's.

#include "delay/MorlentDelayModel.h"
#include "effect_base/PluginEntry.h"
#include "framework/Controller.h"
#include "platform/Module.h"
#include "platform/Trace.h"

#include <memory>

#ifdef _WIN32
#include "controls/WindowClasses.h"
#include "editor/Editor.h"
#include "editor/MorlentDelayView.h"

#include <windows.h>
#endif

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    Platform::Trace("createEffectInstance\r\n");
    std::unique_ptr<MorlentDelayModel> model(new MorlentDelayModel);
    auto* controller = new VstToolkit::Controller(audioMaster, model.get());
    model.release(); // the controller owns it now
#ifdef _WIN32
    // The controller owns the editor and deletes it before the model.
    controller->setEditor(new VstToolkit::Editor<MorlentDelayView>(
        controller, static_cast<HINSTANCE>(Platform::GetModuleInstance())));
#endif
    return controller;
}

#ifdef _WIN32

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

#endif
