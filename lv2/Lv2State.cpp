// The state: the VST 2 module's bank chunk as one property, so a preset or session carries
// every program and the controller map as the other formats' chunks do.

#include "lv2/Lv2Plugin.h"

namespace MorlentLv2 {

LV2_State_Status Lv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (store == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    if (urids.bankKey == 0 || urids.bankType == 0)
        return LV2_STATE_ERR_NO_FEATURE;
    // The host may run the audio thread meanwhile: the core reads the values it stores whole.
    Morlent::ChunkBuffer bank;
    GetState(bank, StateScope::kBank);
    return store(handle, urids.bankKey, bank.Data(), bank.Length(), urids.bankType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (retrieve == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    if (urids.bankKey == 0 || urids.bankType == 0)
        return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* value = retrieve(handle, urids.bankKey, &size, &type, &flags);
    if (value == nullptr) {
        // LV2's way to reset an instance: a state without our property.
        SetState(builtBank.Data(), builtBank.Length(), StateScope::kBank);
        applyAllControls = true;
        learnStateMayDiffer = true;
        return LV2_STATE_SUCCESS;
    }
    if (type != urids.bankType) {
        LogError("Morlent Delay: the state holds no Morlent Delay bank; nothing was changed.\n");
        return LV2_STATE_ERR_BAD_TYPE;
    }
    if (size > static_cast<size_t>(kMaxStateSize) ||
        !SetState(value, static_cast<int64_t>(size), StateScope::kBank)) {
        LogError("Morlent Delay: the state's bank is damaged, not ours or from a newer version; nothing was "
                 "changed.\n");
        return LV2_STATE_ERR_UNKNOWN;
    }
    // The ports the host restores beside the state have the last word, as at any other time.
    applyAllControls = true;
    learnStateMayDiffer = true; // the bank brings its controller map
    return LV2_STATE_SUCCESS;
}

} // namespace MorlentLv2
