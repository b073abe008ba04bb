#pragma once
// A built module loaded as a host loads it, its instances opened through the entry point on
// the stand-in host.

#include "tests/support/PluginModule.h"
#include "tests/support/StandInHost.h"

#include <string>

namespace TestSupport {

class HostDriver : public PluginModule {
public:
    explicit HostDriver(const std::string& path) : PluginModule(path) {}

    // A new instance, or null when the module, its entry point or the entry's consent is missing.
    AEffect* Open(audioMasterCallback host = StandInHost::Callback) const
    {
        const Entry entry = Find("VSTPluginMain");
        return entry != nullptr ? entry(host) : nullptr;
    }
};

} // namespace TestSupport
