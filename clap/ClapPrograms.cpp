// The factory bank's programs as presets a host lists: one preset-discovery provider whose one
// location is the plug-in itself, one preset per program with its name and its number as the
// load key, and the preset-load extension that sets a program's values on the selected program,
// as the LV2 bundle's presets do.

#include "clap/ClapEffect.h"

#include "clap/ClapCalls.h"
#include "description/EffectDescription.h"
#include "description/FactoryPrograms.h"

#include <cstdio>
#include <new>
#include <string>

namespace MorlentClap {

namespace {

constexpr char kLocationName[] = "Factory programs";

// ---- The preset-load extension ---------------------------------------------------------------

bool PresetLoadFromLocation(const Clap::Plugin* plugin, uint32_t kind, const char* location, const char* loadKey)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.LoadPreset(kind, location, loadKey); });
}

constexpr Clap::PluginPresetLoad kPresetLoad{PresetLoadFromLocation};

// ---- The provider ------------------------------------------------------------------------------

struct Provider {
    Clap::PresetProvider record;
    const Clap::PresetIndexer* indexer;
};

Provider* ProviderOf(const Clap::PresetProvider* provider)
{
    return provider == nullptr ? nullptr : static_cast<Provider*>(provider->providerData);
}

bool ProviderInit(const Clap::PresetProvider* provider)
{
    try {
        Provider* own = ProviderOf(provider);
        if (own == nullptr || own->indexer->declareLocation == nullptr)
            return false;
        const Clap::PresetLocation location{Clap::kPresetIsFactoryContent, kLocationName, Clap::kPresetLocationPlugin,
                                            nullptr};
        return own->indexer->declareLocation(own->indexer, &location);
    } catch (...) {
        return false;
    }
}

void ProviderDestroy(const Clap::PresetProvider* provider)
{
    delete ProviderOf(provider);
}

bool ProviderGetMetadata(const Clap::PresetProvider* provider, uint32_t kind, const char* location,
                         const Clap::PresetMetadataReceiver* receiver)
{
    try {
        // Only our own location: the plug-in, which has no path.
        if (ProviderOf(provider) == nullptr || receiver == nullptr || receiver->beginPreset == nullptr ||
            kind != Clap::kPresetLocationPlugin || location != nullptr)
            return false;
        const Clap::UniversalPluginId id{"clap", EffectId()};
        for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
            char key[12];
            std::snprintf(key, sizeof key, "%d", static_cast<int>(program));
            if (!receiver->beginPreset(receiver, FactoryBank::kPrograms[program].name, key))
                break;
            if (receiver->addPluginId != nullptr)
                receiver->addPluginId(receiver, &id);
            if (receiver->setFlags != nullptr)
                receiver->setFlags(receiver, Clap::kPresetIsFactoryContent);
        }
        return true;
    } catch (...) {
        return false;
    }
}

const void* ProviderGetExtension(const Clap::PresetProvider*, const char*)
{
    return nullptr;
}

} // namespace

const Clap::PluginPresetLoad& PresetLoadExtension()
{
    return kPresetLoad;
}

const Clap::PresetProviderDescriptor& PresetProviderDescriptor()
{
    static const std::string id = std::string(EffectId()) + ".factory-programs";
    static const std::string name = std::string(MorlentDelay::kEffectName) + " factory programs";
    static const Clap::PresetProviderDescriptor descriptor{Clap::kVersion, id.c_str(), name.c_str(),
                                                           MorlentDelay::kVendorName};
    return descriptor;
}

const Clap::PresetProvider* CreatePresetProvider(const Clap::PresetIndexer* indexer, const char* providerId)
{
    // The provider calls nothing of the indexer's before init.
    const Clap::PresetProviderDescriptor& descriptor = PresetProviderDescriptor();
    if (indexer == nullptr || providerId == nullptr || std::string(providerId) != descriptor.id)
        return nullptr;
    auto* provider = new (std::nothrow) Provider{};
    if (provider == nullptr)
        return nullptr;
    provider->indexer = indexer;
    provider->record = Clap::PresetProvider{&descriptor,     provider,           ProviderInit, ProviderDestroy,
                                            ProviderGetMetadata, ProviderGetExtension};
    return &provider->record;
}

int32_t ProgramOfLoadKey(const char* loadKey)
{
    if (loadKey == nullptr || loadKey[0] == '\0')
        return -1;
    int32_t program = 0;
    for (const char* c = loadKey; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || c - loadKey >= 2)
            return -1;
        program = program * 10 + (*c - '0');
    }
    // One way to write each number: no leading zero.
    if (loadKey[0] == '0' && loadKey[1] != '\0')
        return -1;
    return program < MorlentDelay::kProgramCount ? program : -1;
}

bool ClapEffect::LoadPreset(uint32_t locationKind, const char* location, const char* loadKey)
{
    const int32_t program = locationKind == Clap::kPresetLocationPlugin ? ProgramOfLoadKey(loadKey) : -1;
    if (program < 0) {
        if (hostPresetLoad != nullptr && hostPresetLoad->onError != nullptr)
            hostPresetLoad->onError(host, locationKind, location, loadKey, 0, "no such factory program");
        return false;
    }
    for (int32_t parameter = 0; parameter < GetParameterCount(); ++parameter)
        SetParameterValue(parameter, FactoryBank::NormalisedValue(FactoryBank::kPrograms[program], parameter));
    // Every value may have moved: the host reads them again, and records none as automation.
    if (hostParams != nullptr && hostParams->rescan != nullptr)
        hostParams->rescan(host, Clap::kParamRescanValues);
    if (hostPresetLoad != nullptr && hostPresetLoad->loaded != nullptr)
        hostPresetLoad->loaded(host, locationKind, location, loadKey);
    return true;
}

} // namespace MorlentClap
