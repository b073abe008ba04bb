// The 64-bit module's instance factory; the entry point itself is the effect base's, the load
// notification WindowsModuleMain's.

#include "delay/MorlentDelayModel.h"
#include "effect_base/PluginEntry.h"
#include "vst2/Controller.h"
#include "platform/Module.h"
#include "platform/Trace.h"

#include <memory>

#ifdef _WIN32
#include "editor/win32/Editor.h"
#include "editor/win32/MorlentDelayView.h"

#include <windows.h>
#elif defined(MORLENT_X11_EDITOR)
#include "vst2/Vst2Editor.h"

#include <cstdlib>
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
#elif defined(MORLENT_X11_EDITOR)
    // Only where an editor can open: a host without an X display (a render server) is offered
    // none, rather than one that refuses every time.
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0')
        controller->setEditor(new VstToolkit::Vst2Editor(controller));
#endif
    return controller;
}

