#pragma once
// The standard .fxp (one program) and .fxb (a bank) preset containers holding an opaque chunk:
// a "CcnK" header and big-endian fields, then the plug-in's own bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace MorlentHost {

struct PresetFile {
    enum class Kind { Program, Bank };

    Kind kind = Kind::Program;
    int32_t formatVersion = 1;
    int32_t pluginId = 0;
    int32_t pluginVersion = 0;
    // A program file stores the plug-in's parameter count here; a bank its program count.
    int32_t count = 0;
    std::string programName; // program files only, at most 27 characters
    int32_t currentProgram = -1; // bank files of format version 2 only
    std::vector<uint8_t> chunk;

    std::vector<uint8_t> Serialize() const;
    // False with the reason in `error` when the bytes are not a preset with an opaque chunk.
    static bool Parse(const std::vector<uint8_t>& bytes, PresetFile& preset, std::string& error);
};

std::string FourCharText(int32_t code);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

} // namespace MorlentHost
