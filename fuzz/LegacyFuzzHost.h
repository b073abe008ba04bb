#pragma once
// The first-generation module's instance for the fuzz targets, built as its entry point builds
// it, on the quiet stand-in host.

#include "fuzz/FuzzInstance.h"
#include "description/EffectDescription.h"
#include "legacy/framework/DelayModel.h"
#include "legacy/framework/Plugin.h"

namespace FuzzSupport {

inline VovezEdeduvo::Vst::Plugin* LegacyPlugin(AEffect* record)
{
    return static_cast<VovezEdeduvo::Vst::Plugin*>(static_cast<AudioEffect*>(record->object));
}

inline Generation FirstGeneration()
{
    return {[]() -> AEffect* {
                auto* model = new VovezEdeduvo::DelayModel(MorlentDelay::kInputCount, MorlentDelay::kOutputCount,
                                                           MorlentDelay::kProgramCount);
                auto* plugin = new VovezEdeduvo::Vst::Plugin(
                    TestSupport::StandInHost::Callback, MorlentDelay::kEffectName, MorlentDelay::kVendorName,
                    MorlentDelay::kProductName, MorlentDelay::kFirstGenerationVendorVersion, MorlentDelay::kUniqueId,
                    MorlentDelay::kCategory, model);
                return plugin->getAeffect();
            },
            [](AEffect* record) { return LegacyPlugin(record)->GetModel()->PendingMidiEventCount(); }};
}

} // namespace FuzzSupport
