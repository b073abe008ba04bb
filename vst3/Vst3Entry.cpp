// The module's factory and the entry and exit functions each platform's hosts call.

#include "description/EffectDescription.h"
#include "vst3/Vst3Effect.h"

#include <cstring>
#include <new>
#include <type_traits>

#ifdef _WIN32
#include <windows.h>
#endif

namespace MorlentVst3 {
namespace {

constexpr char kAudioEffectCategory[] = "Audio Module Class";
constexpr char kSubCategories[] = "Fx|Delay";
constexpr char kFormatVersion[] = "VST 3.7.0";

template <typename Char, size_t N> void CopyText(Char (&out)[N], const char* text)
{
    size_t i = 0;
    for (; i + 1 < N && text[i] != '\0'; ++i)
        out[i] = static_cast<Char>(static_cast<unsigned char>(text[i]));
    for (; i < N; ++i)
        out[i] = 0;
}

// The one class as each of the three records describes it; the later two add the same details,
// in narrow or wide text.
template <typename Info> tresult DescribeClass(int32 index, Info* info)
{
    if (info == nullptr || index != 0)
        return kInvalidArgument;
    std::memcpy(info->cid, EffectClassId().bytes, sizeof info->cid);
    info->cardinality = kManyInstances;
    CopyText(info->category, kAudioEffectCategory);
    CopyText(info->name, MorlentDelay::kEffectName);
    if constexpr (!std::is_same_v<Info, PClassInfo>) {
        info->classFlags = 0;
        CopyText(info->subCategories, kSubCategories);
        CopyText(info->vendor, MorlentDelay::kVendorName);
        CopyText(info->version, MORLENT_VERSION_TEXT);
        CopyText(info->sdkVersion, kFormatVersion);
    }
    return kResultOk;
}

// One factory for the module's lifetime; hosts' references to it count nothing.
class Factory final : public IPluginFactory3 {
public:
    tresult VST3_API queryInterface(const TUID iid, void** object) override
    {
        if (object == nullptr)
            return kInvalidArgument;
        *object = nullptr;
        if (iid == nullptr)
            return kInvalidArgument;
        if (kFUnknownIid.Matches(iid) || kIPluginFactoryIid.Matches(iid) || kIPluginFactory2Iid.Matches(iid) ||
            kIPluginFactory3Iid.Matches(iid)) {
            *object = static_cast<IPluginFactory3*>(this);
            return kResultOk;
        }
        return kNoInterface;
    }
    uint32 VST3_API addRef() override { return 1; }
    uint32 VST3_API release() override { return 1; }

    tresult VST3_API getFactoryInfo(PFactoryInfo* info) override
    {
        if (info == nullptr)
            return kInvalidArgument;
        CopyText(info->vendor, MorlentDelay::kVendorName);
        CopyText(info->url, MorlentDelay::kWebSiteAddress);
        CopyText(info->email, "");
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }
    int32 VST3_API countClasses() override { return 1; }
    tresult VST3_API getClassInfo(int32 index, PClassInfo* info) override { return DescribeClass(index, info); }
    tresult VST3_API createInstance(FIDString cid, FIDString iid, void** object) override
    {
        if (object == nullptr)
            return kInvalidArgument;
        *object = nullptr;
        if (cid == nullptr || iid == nullptr)
            return kInvalidArgument;
        if (!EffectClassId().Matches(cid))
            return kNoInterface;
        try {
            Vst3Effect* effect = new (std::nothrow) Vst3Effect;
            if (effect == nullptr)
                return kOutOfMemory;
            const tresult result = effect->queryInterface(iid, object);
            effect->release(); // the host holds the only reference now, or none
            return result;
        } catch (...) {
            return kOutOfMemory;
        }
    }

    tresult VST3_API getClassInfo2(int32 index, PClassInfo2* info) override { return DescribeClass(index, info); }

    tresult VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) override
    {
        return DescribeClass(index, info);
    }
    tresult VST3_API setHostContext(FUnknown*) override { return kResultOk; }
};

Factory factory;

} // namespace
} // namespace MorlentVst3

#ifdef _WIN32
#define MORLENT_VST3_EXPORT extern "C"
#else
#define MORLENT_VST3_EXPORT extern "C" __attribute__((visibility("default")))
#endif

MORLENT_VST3_EXPORT Vst3::IPluginFactory* VST3_API GetPluginFactory()
{
    return &MorlentVst3::factory;
}

#ifdef _WIN32
MORLENT_VST3_EXPORT bool VST3_API InitDll()
{
    return true;
}

MORLENT_VST3_EXPORT bool VST3_API ExitDll()
{
    return true;
}
#else
MORLENT_VST3_EXPORT bool ModuleEntry(void*)
{
    return true;
}

MORLENT_VST3_EXPORT bool ModuleExit()
{
    return true;
}
#endif
