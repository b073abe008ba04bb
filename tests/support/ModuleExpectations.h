#pragma once
// Where the two generations of the module answer a host differently, as data, so one set of
// module tests can check either: the 64-bit module on VstToolkit, or the first-generation
// 32-bit module.

#include "description/EffectDescription.h"
#include "effect_base/VstInterface.h"

#include <cstddef>
#include <string>
#include <vector>

namespace TestSupport {

struct ModuleExpectations {
    VstInt32 vendorVersion;           // effGetVendorVersion, and the version in every chunk
    std::vector<std::string> canDo;   // the texts canDo answers 1 for; every other text is -1
    VstInt32 timeInfoFilter;          // the flags each processing call asks the host's time for
    size_t recordSize;                // the AEffect record's bytes in the module's layout
    VstInt32 flags;                   // the record's flags, the editor's flag aside

    static ModuleExpectations SixtyFourBit()
    {
        return {MorlentDelay::kVendorVersion,
                {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent"},
                kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid,
                192,
                effFlagsCanReplacing | effFlagsProgramChunks};
    }
    static ModuleExpectations FirstGeneration()
    {
        return {MorlentDelay::kFirstGenerationVendorVersion,
                {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"},
                kVstPpqPosValid | kVstTempoValid,
                144,
                effFlagsCanReplacing | effFlagsProgramChunks};
    }
    // Capabilities the other generation claims, or that differ only in case: all answer -1 here.
    std::vector<std::string> Refused() const
    {
        std::vector<std::string> refused = {"ReceiveVstTimeInfo", "receiveVstMidiEvents", "bypass", ""};
        for (const std::string& text : SixtyFourBit().canDo) {
            bool claimed = false;
            for (const std::string& own : canDo)
                claimed = claimed || own == text;
            if (!claimed)
                refused.push_back(text);
        }
        return refused;
    }
};

} // namespace TestSupport
