#include "platform/Module.h"

#include <atomic>

namespace Platform {

namespace {
std::atomic<void*> moduleInstance{nullptr};
}

void* GetModuleInstance() noexcept
{
    return moduleInstance.load();
}

void SetModuleInstance(void* instance) noexcept
{
    moduleInstance.store(instance);
}

} // namespace Platform
