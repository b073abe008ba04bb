#pragma once
// The first-generation plug-in built as its module's entry point builds it, on the stand-in
// host, for tests that drive its record and also reach its model (the editor's side).

#include "description/EffectDescription.h"
#include "legacy/framework/DelayModel.h"
#include "legacy/framework/Plugin.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/StandInHost.h"

namespace TestSupport {

class FirstGenerationPlugin {
public:
    explicit FirstGenerationPlugin(audioMasterCallback host = StandInHost::Callback)
    {
        model = new VovezEdeduvo::DelayModel(MorlentDelay::kInputCount, MorlentDelay::kOutputCount,
                                             MorlentDelay::kProgramCount);
        plugin = new VovezEdeduvo::Vst::Plugin(host, MorlentDelay::kEffectName, MorlentDelay::kVendorName,
                                               MorlentDelay::kProductName, MorlentDelay::kFirstGenerationVendorVersion,
                                               MorlentDelay::kUniqueId, MorlentDelay::kCategory, model);
        record = plugin->getAeffect();
    }
    ~FirstGenerationPlugin() { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }
    FirstGenerationPlugin(const FirstGenerationPlugin&) = delete;
    FirstGenerationPlugin& operator=(const FirstGenerationPlugin&) = delete;

    VovezEdeduvo::DelayModel* model;
    VovezEdeduvo::Vst::Plugin* plugin;
    AEffect* record;
};

} // namespace TestSupport
