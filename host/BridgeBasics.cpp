#include "host/BridgeBasics.h"

#include "common/FixedString.h"

#include <cstdio>

namespace MorlentHost {

void CopyOut(void* destination, const std::string& text, int width)
{
    Morlent::CopyFixedString(static_cast<char*>(destination), text.c_str(), width);
}

bool AnswerBasicOpcode(BridgeBasics& basics, VstInt32 opcode, VstIntPtr value, void* ptr, float opt,
                        VstIntPtr& result)
{
    result = 1;
    switch (opcode) {
    case effSetSampleRate:
        basics.sampleRate = opt;
        return true;
    case effSetBlockSize:
        basics.blockSize = static_cast<int32_t>(value);
        return true;
    case effGetEffectName:
        CopyOut(ptr, basics.name, kVstMaxEffectNameLen);
        return true;
    case effGetProductString:
        CopyOut(ptr, basics.name, kVstMaxProductStrLen);
        return true;
    case effGetVendorString:
        CopyOut(ptr, basics.vendor, kVstMaxVendorStrLen);
        return true;
    case effGetVendorVersion: {
        int major = 0, minor = 0, patch = 0;
        std::sscanf(basics.version.c_str(), "%d.%d.%d", &major, &minor, &patch);
        result = major * 1000 + minor * 100 + patch;
        return true;
    }
    case effGetPlugCategory:
        return true; // an effect
    default:
        result = 0;
        return false;
    }
}

} // namespace MorlentHost
