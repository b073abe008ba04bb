// The LV2 state restore with arbitrary bytes as the bank property. The first byte's two low bits
// choose what the host hands over: the bytes as our bank type (0, 1), as another type (2), or no
// property at all (3), which resets the instance. Whatever the bytes, the plug-in must not
// crash; a state it refuses must leave it exactly as it was and say so on the host's log; one
// it takes must hold values in range and come back the same through a save and a restore.

#include "lv2/Lv2Plugin.h"

#include <lv2/atom/atom.h>

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using MorlentLv2::Lv2Plugin;

// The host: a URID map and a log that counts errors.
struct Host {
    static int Print(LV2_Log_Handle self, LV2_URID, const char*, ...)
    {
        ++static_cast<Host*>(self)->logged;
        return 0;
    }
    static int PrintList(LV2_Log_Handle self, LV2_URID, const char*, va_list)
    {
        ++static_cast<Host*>(self)->logged;
        return 0;
    }

    std::vector<std::string> uris;
    long logged = 0;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle self, const char* uri) -> LV2_URID {
                         auto& uris = static_cast<Host*>(self)->uris;
                         for (size_t i = 0; i < uris.size(); ++i)
                             if (uris[i] == uri)
                                 return static_cast<LV2_URID>(i + 1);
                         uris.emplace_back(uri);
                         return static_cast<LV2_URID>(uris.size());
                     }};
    LV2_Log_Log log{this, Print, PrintList};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature logFeature{LV2_LOG__log, &log};
    const LV2_Feature* features[3] = {&mapFeature, &logFeature, nullptr};

    LV2_URID Map(const char* uri) { return map.map(this, uri); }
};

// The one property a restore asks for, or none.
struct Property {
    LV2_URID key;
    const uint8_t* data;
    size_t size;
    LV2_URID type;
    bool present;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    const auto* property = static_cast<const Property*>(handle);
    if (!property->present || key != property->key)
        return nullptr;
    *size = property->size;
    *type = property->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    // A host never hands over an empty value; a pointer to nothing stands in for one.
    static const uint8_t nothing = 0;
    return property->size > 0 ? property->data : &nothing;
}

LV2_State_Status Store(LV2_State_Handle handle, uint32_t, const void* value, size_t size, uint32_t, uint32_t)
{
    const auto* bytes = static_cast<const uint8_t*>(value);
    static_cast<std::vector<uint8_t>*>(handle)->assign(bytes, bytes + size);
    return LV2_STATE_SUCCESS;
}

std::vector<uint8_t> Saved(Lv2Plugin& plugin)
{
    std::vector<uint8_t> bank;
    if (plugin.Save(Store, &bank) != LV2_STATE_SUCCESS || bank.empty())
        std::abort();
    return bank;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static Host host;
    static Lv2Plugin* const plugin = Lv2Plugin::Create(48000.0, host.features);
    static const std::vector<uint8_t> built = Saved(*plugin);
    const LV2_URID key = host.Map(MorlentLv2::kBankKeyUri);
    const LV2_URID bankType = host.Map(MorlentLv2::kBankTypeUri);

    const unsigned mode = data[0] & 3u;
    Property given{key, data + 1, size - 1, mode == 2 ? host.Map(LV2_ATOM__Chunk) : bankType, mode != 3};
    const long logged = host.logged;
    const LV2_State_Status status = plugin->Restore(Retrieve, &given);
    const std::vector<uint8_t> after = Saved(*plugin);
    if (status != LV2_STATE_SUCCESS) {
        if (after != built || host.logged != logged + 1)
            std::abort(); // a refused state changed the plug-in, or went unreported
        return 0;
    }
    if (host.logged != logged)
        std::abort();
    for (int32_t index = 0; index < plugin->GetParameterCount(); ++index) {
        const float value = plugin->GetParameterValue(index);
        if (!(value >= 0.0f && value <= 1.0f))
            std::abort();
    }
    Property again{key, after.data(), after.size(), bankType, true};
    if (plugin->Restore(Retrieve, &again) != LV2_STATE_SUCCESS || Saved(*plugin) != after)
        std::abort();
    // Back to the built state for the next input.
    if (after != built) {
        Property reset{key, built.data(), built.size(), bankType, true};
        if (plugin->Restore(Retrieve, &reset) != LV2_STATE_SUCCESS)
            std::abort();
    }
    return 0;
}
