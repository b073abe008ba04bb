// The LV2 module's entry point and the descriptor's functions. Each one is a host boundary:
// it checks the instance pointer and lets no exception out.

#include "lv2/Lv2Plugin.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

namespace {

using MorlentLv2::Lv2Plugin;

Lv2Plugin* PluginOf(LV2_Handle instance)
{
    return static_cast<Lv2Plugin*>(instance);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
    try {
        return Lv2Plugin::Create(rate, features);
    } catch (...) {
        return nullptr;
    }
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data)
{
    try {
        if (instance != nullptr)
            PluginOf(instance)->ConnectPort(port, data);
    } catch (...) {
    }
}

void Activate(LV2_Handle instance)
{
    try {
        if (instance != nullptr)
            PluginOf(instance)->Activate();
    } catch (...) {
    }
}

void Run(LV2_Handle instance, uint32_t frames)
{
    try {
        if (instance != nullptr)
            PluginOf(instance)->Run(frames);
    } catch (...) {
    }
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle instance)
{
    try {
        delete PluginOf(instance);
    } catch (...) {
    }
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*)
{
    try {
        return instance != nullptr ? PluginOf(instance)->Save(store, handle) : LV2_STATE_ERR_UNKNOWN;
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         uint32_t, const LV2_Feature* const*)
{
    try {
        return instance != nullptr ? PluginOf(instance)->Restore(retrieve, handle) : LV2_STATE_ERR_UNKNOWN;
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const LV2_State_Interface kStateInterface = {Save, Restore};

const void* ExtensionData(const char* uri)
{
    if (uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0)
        return &kStateInterface;
    return nullptr;
}

const LV2_Descriptor kDescriptor = {MorlentLv2::kPluginUri, Instantiate, ConnectPort, Activate, Run,
                                    Deactivate,              Cleanup,     ExtensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
