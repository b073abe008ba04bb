// The module's one exported symbol, clap_entry, and the two factories it hands out: the plug-in
// factory with the one descriptor (made in ClapEffect.cpp), and the preset-discovery factory
// with the one provider.

#include "clap/ClapEffect.h"

#include "description/EffectDescription.h"

#include <atomic>
#include <cstring>

namespace MorlentClap {

namespace {

// ---- The plug-in factory -----------------------------------------------------------------------

uint32_t FactoryCount(const Clap::PluginFactory* factory)
{
    return factory != nullptr ? 1 : 0;
}

const Clap::PluginDescriptor* FactoryDescriptor(const Clap::PluginFactory* factory, uint32_t index)
{
    try {
        return factory != nullptr && index == 0 ? &EffectDescriptor() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

const Clap::Plugin* FactoryCreate(const Clap::PluginFactory* factory, const Clap::Host* host, const char* pluginId)
{
    try {
        if (factory == nullptr || pluginId == nullptr || std::strcmp(pluginId, EffectId()) != 0)
            return nullptr;
        return ClapEffect::Create(host);
    } catch (...) {
        return nullptr;
    }
}

constexpr Clap::PluginFactory kPluginFactory{FactoryCount, FactoryDescriptor, FactoryCreate};

// ---- The preset-discovery factory ----------------------------------------------------------------

uint32_t DiscoveryCount(const Clap::PresetDiscoveryFactory* factory)
{
    return factory != nullptr ? 1 : 0;
}

const Clap::PresetProviderDescriptor* DiscoveryDescriptor(const Clap::PresetDiscoveryFactory* factory, uint32_t index)
{
    try {
        return factory != nullptr && index == 0 ? &PresetProviderDescriptor() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

const Clap::PresetProvider* DiscoveryCreate(const Clap::PresetDiscoveryFactory* factory,
                                            const Clap::PresetIndexer* indexer, const char* providerId)
{
    try {
        return factory != nullptr ? CreatePresetProvider(indexer, providerId) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

constexpr Clap::PresetDiscoveryFactory kDiscoveryFactory{DiscoveryCount, DiscoveryDescriptor, DiscoveryCreate};

// ---- The entry -----------------------------------------------------------------------------------

// Hosts may init the module more than once (a scanner and a player in one process); the last
// deinit ends it.
std::atomic<int> initCount{0};

bool EntryInit(const char* pluginPath)
{
    if (pluginPath == nullptr)
        return false;
    try {
        // The texts every host reads are made here, on the main thread, before anyone asks.
        EffectDescriptor();
        PresetProviderDescriptor();
    } catch (...) {
        return false;
    }
    initCount.fetch_add(1);
    return true;
}

void EntryDeinit()
{
    int count = initCount.load();
    while (count > 0 && !initCount.compare_exchange_weak(count, count - 1)) {
    }
}

const void* EntryGetFactory(const char* factoryId)
{
    if (factoryId == nullptr || initCount.load() == 0)
        return nullptr;
    if (std::strcmp(factoryId, Clap::kPluginFactoryId) == 0)
        return &kPluginFactory;
    if (std::strcmp(factoryId, Clap::kPresetDiscoveryFactoryId) == 0 ||
        std::strcmp(factoryId, Clap::kPresetDiscoveryFactoryDraftId) == 0)
        return &kDiscoveryFactory;
    return nullptr;
}

} // namespace

} // namespace MorlentClap

#ifdef _WIN32
#define MORLENT_CLAP_EXPORT __declspec(dllexport)
#else
#define MORLENT_CLAP_EXPORT __attribute__((visibility("default")))
#endif

extern "C" MORLENT_CLAP_EXPORT const Clap::PluginEntry clap_entry{Clap::kVersion, MorlentClap::EntryInit,
                                                                  MorlentClap::EntryDeinit,
                                                                  MorlentClap::EntryGetFactory};
