#pragma once
// Reading a host's feature list, which the plug-in and its editor are both given.

#include <lv2/core/lv2.h>

#include <cstring>

namespace MorlentLv2 {

// A host's feature list may hold nulls anywhere; the list itself may be null.
inline const LV2_Feature* FindFeature(const LV2_Feature* const* features, const char* uri)
{
    if (features == nullptr)
        return nullptr;
    for (const LV2_Feature* const* feature = features; *feature != nullptr; ++feature)
        if ((*feature)->URI != nullptr && std::strcmp((*feature)->URI, uri) == 0)
            return *feature;
    return nullptr;
}

inline void* FeatureData(const LV2_Feature* const* features, const char* uri)
{
    const LV2_Feature* feature = FindFeature(features, uri);
    return feature != nullptr ? feature->data : nullptr;
}

} // namespace MorlentLv2
