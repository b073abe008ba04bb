#include "host/PresetFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace MorlentHost {

namespace {

constexpr size_t kCommonHeader = 28; // CcnK, byteSize, fxMagic, version, fxID, fxVersion, count
constexpr size_t kProgramNameBytes = 28;
constexpr size_t kBankReserved = 128;

void PutBe32(std::vector<uint8_t>& out, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(bits >> shift));
}
int32_t Be32(const uint8_t* p)
{
    return static_cast<int32_t>((static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
                                (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]));
}
bool HasTag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

} // namespace

std::vector<uint8_t> PresetFile::Serialize() const
{
    const bool program = kind == Kind::Program;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'C', 'c', 'n', 'K'});
    PutBe32(out, 0); // byteSize, filled in below
    if (program)
        out.insert(out.end(), {'F', 'P', 'C', 'h'});
    else
        out.insert(out.end(), {'F', 'B', 'C', 'h'});
    PutBe32(out, formatVersion);
    PutBe32(out, pluginId);
    PutBe32(out, pluginVersion);
    PutBe32(out, count);
    if (program) {
        char name[kProgramNameBytes] = {};
        std::strncpy(name, programName.c_str(), kProgramNameBytes - 1);
        out.insert(out.end(), name, name + kProgramNameBytes);
    } else {
        std::vector<uint8_t> reserved;
        if (formatVersion >= 2)
            PutBe32(reserved, currentProgram < 0 ? 0 : currentProgram);
        reserved.resize(kBankReserved, 0);
        out.insert(out.end(), reserved.begin(), reserved.end());
    }
    PutBe32(out, static_cast<int32_t>(chunk.size()));
    out.insert(out.end(), chunk.begin(), chunk.end());
    const std::vector<uint8_t> size = [&] {
        std::vector<uint8_t> bytes;
        PutBe32(bytes, static_cast<int32_t>(out.size() - 8));
        return bytes;
    }();
    std::copy(size.begin(), size.end(), out.begin() + 4);
    return out;
}

bool PresetFile::Parse(const std::vector<uint8_t>& bytes, PresetFile& preset, std::string& error)
{
    if (bytes.size() < kCommonHeader || !HasTag(bytes.data(), "CcnK")) {
        error = "not an .fxp/.fxb preset (no CcnK header)";
        return false;
    }
    const uint8_t* p = bytes.data();
    PresetFile parsed;
    if (HasTag(p + 8, "FPCh"))
        parsed.kind = Kind::Program;
    else if (HasTag(p + 8, "FBCh"))
        parsed.kind = Kind::Bank;
    else if (HasTag(p + 8, "FxCk") || HasTag(p + 8, "FxBk")) {
        error = "preset holds a parameter list (" + std::string(reinterpret_cast<const char*>(p + 8), 4) +
                "), not an opaque chunk; only chunk presets are supported";
        return false;
    } else {
        error = "unknown preset type '" + FourCharText(Be32(p + 8)) + "'";
        return false;
    }
    const int64_t byteSize = Be32(p + 4);
    if (byteSize < 0 || static_cast<uint64_t>(byteSize) + 8 > bytes.size()) {
        error = "preset is truncated: header says " + std::to_string(byteSize + 8) + " bytes, file has " +
                std::to_string(bytes.size());
        return false;
    }
    parsed.formatVersion = Be32(p + 12);
    parsed.pluginId = Be32(p + 16);
    parsed.pluginVersion = Be32(p + 20);
    parsed.count = Be32(p + 24);
    size_t at = kCommonHeader;
    const size_t end = static_cast<size_t>(byteSize) + 8;
    if (parsed.kind == Kind::Program) {
        if (end < at + kProgramNameBytes + 4) {
            error = "program preset is too short for its header";
            return false;
        }
        const char* name = reinterpret_cast<const char*>(p + at);
        parsed.programName.assign(name, strnlen(name, kProgramNameBytes));
        at += kProgramNameBytes;
    } else {
        if (end < at + kBankReserved + 4) {
            error = "bank preset is too short for its header";
            return false;
        }
        if (parsed.formatVersion >= 2)
            parsed.currentProgram = Be32(p + at);
        at += kBankReserved;
    }
    const int64_t chunkSize = Be32(p + at);
    at += 4;
    if (chunkSize < 0 || static_cast<uint64_t>(chunkSize) > end - at) {
        error = "preset chunk size " + std::to_string(chunkSize) + " runs past the end of the preset";
        return false;
    }
    parsed.chunk.assign(p + at, p + at + chunkSize);
    preset = std::move(parsed);
    return true;
}

std::string FourCharText(int32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(static_cast<uint32_t>(code) >> shift);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open " + path;
        return false;
    }
    bytes.clear();
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (!ok)
        error = "cannot read " + path;
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + path;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}

} // namespace MorlentHost
