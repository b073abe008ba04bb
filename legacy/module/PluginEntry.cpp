// The 32-bit module's instance factory and its load notification; the entry point itself is
// the effect base's.

#include "description/EffectDescription.h"
#include "effect_base/PluginEntry.h"
#include "legacy/framework/DelayModel.h"
#include "legacy/framework/Plugin.h"
#include "platform/Module.h"

#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif
#ifdef MORLENT_FIRST_GENERATION_EDITOR
#include "legacy/editor/DelayEditor.h"
#endif

namespace VovezEdeduvo {
namespace Vst {

AudioEffect* createPluginInstance(audioMasterCallback audioMaster)
{
    std::unique_ptr<DelayModel> model(
        new DelayModel(MorlentDelay::kInputCount, MorlentDelay::kOutputCount, MorlentDelay::kProgramCount));
    auto* plugin = new Plugin(audioMaster, MorlentDelay::kEffectName, MorlentDelay::kVendorName,
                              MorlentDelay::kProductName, MorlentDelay::kFirstGenerationVendorVersion,
                              MorlentDelay::kUniqueId, MorlentDelay::kCategory, model.get());
    model.release(); // the plug-in owns it now
#ifdef MORLENT_FIRST_GENERATION_EDITOR
    std::unique_ptr<Plugin> owned(plugin);
    auto instance = static_cast<HINSTANCE>(Platform::GetModuleInstance());
    plugin->setEditor(new DelayEditor(plugin, instance, plugin->GetModel()));
    owned.release();
#endif
    return plugin;
}

} // namespace Vst
} // namespace VovezEdeduvo

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return VovezEdeduvo::Vst::createPluginInstance(audioMaster);
}

#ifdef _WIN32

// Only the handle is kept: the editor registers its window classes itself.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID)
{
    Platform::SetModuleInstance(instance);
    return TRUE;
}

#endif
