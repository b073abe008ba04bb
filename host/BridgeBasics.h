#pragma once
// What the bridges that present another format's plug-in as a VST 2 record keep and answer alike:
// the names the record reports, and the rate and block size a host sets before resuming it.

#include "effect_base/VstInterface.h"

#include <cstdint>
#include <string>

namespace MorlentHost {

struct BridgeBasics {
    std::string name, vendor, version;
    float sampleRate = 44100.0f;
    int32_t blockSize = 512;
};

// Copies text into one of the record's string fields of that width, cut short and terminated.
void CopyOut(void* destination, const std::string& text, int width);

// Answers the opcodes that the names, the rate and the block size answer; false for the others,
// which are the bridge's own.
bool AnswerBasicOpcode(BridgeBasics& basics, VstInt32 opcode, VstIntPtr value, void* ptr, float opt,
                        VstIntPtr& result);

} // namespace MorlentHost
