// The exported entry point of every plug-in module, under both of its names.

#include "effect_base/PluginEntry.h"

#ifdef _WIN32
// "main" is exported under the same address through the module-definition file.
#define MORLENT_EXPORT extern "C" __declspec(dllexport)
#else
#define MORLENT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

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

#ifndef _WIN32
// Older Linux hosts look the entry up as "main"; a C++ function may not carry that name, so
// the symbol is an alias of the same function.
extern "C" __attribute__((visibility("default"))) AEffect* VSTCALLBACK MorlentMainAlias(audioMasterCallback)
    __asm__("main") __attribute__((alias("VSTPluginMain")));
#endif
