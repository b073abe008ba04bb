// The module's two ways in: the loader's notification and the host's entry point.

#include "delay/MorlentDelayModel.h"
#include "framework/Controller.h"
#include "platform/Module.h"
#include "platform/Trace.h"

#include <memory>

#ifdef _WIN32
#include "controls/WindowClasses.h"
#ifdef MORLENT_WITH_EDITOR
#include "editor/Editor.h"
#include "editor/MorlentDelayView.h"
#endif

#include <windows.h>
#define MORLENT_EXPORT extern "C" __declspec(dllexport)
#else
#define MORLENT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    Platform::Trace("createEffectInstance\r\n");
    std::unique_ptr<MorlentDelayModel> model(new MorlentDelayModel);
    auto* controller = new VstToolkit::Controller(audioMaster, model.get());
    model.release(); // the controller owns it now
#ifdef MORLENT_WITH_EDITOR
    // The controller owns the editor and deletes it before the model.
    controller->setEditor(new VstToolkit::Editor<MorlentDelayView>(
        controller, static_cast<HINSTANCE>(Platform::GetModuleInstance())));
#endif
    return controller;
}

MORLENT_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster)
{
    // A host that gives no callback, or no version, gets no instance.
    if (audioMaster == nullptr)
        return nullptr;
    try {
        if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect != nullptr ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

#ifdef _WIN32

// "main" is exported under the same address through the module-definition file.

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

#else

// Older Linux hosts look the entry up as "main"; a C++ function may not carry that name, so
// the symbol is an alias of the same function.
extern "C" __attribute__((visibility("default"))) AEffect* VSTCALLBACK MorlentMainAlias(audioMasterCallback)
    __asm__("main") __attribute__((alias("VSTPluginMain")));

#endif
