#include "host/Commands.h"
#include "host/PluginInstance.h"
#include "host/PresetFile.h"

#include <cctype>
#include <cstdio>

namespace MorlentHost {

namespace {

bool LoadPresetInto(PluginInstance& plugin, const std::string& path, bool selectStoredProgram, std::string& error)
{
    std::vector<uint8_t> bytes;
    PresetFile preset;
    if (!ReadWholeFile(path, bytes, error))
        return false;
    if (!PresetFile::Parse(bytes, preset, error)) {
        error = path + ": " + error;
        return false;
    }
    const int32_t id = plugin.UniqueId();
    if (preset.pluginId != id) {
        error = path + " belongs to plug-in '" + FourCharText(preset.pluginId) + "', this module is '" +
                FourCharText(id) + "'";
        return false;
    }
    const bool program = preset.kind == PresetFile::Kind::Program;
    if (!plugin.SetChunk(program, preset.chunk, error)) {
        error = path + ": " + error;
        return false;
    }
    if (!program && selectStoredProgram && preset.currentProgram >= 0)
        return plugin.SelectProgram(preset.currentProgram, error);
    return true;
}

void PrintParameters(PluginInstance& plugin)
{
    std::printf("program %d: %s\n", plugin.CurrentProgram(), plugin.CurrentProgramName().c_str());
    for (int i = 0; i < plugin.ParameterCount(); ++i)
        std::printf("  %3d  %-12s %-10s %s\n", i, plugin.ParameterName(i).c_str(), plugin.ParameterDisplay(i).c_str(),
                    plugin.ParameterLabel(i).c_str());
}

bool EndsWithFxb(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".fxb";
}

} // namespace

std::unique_ptr<PluginInstance> LoadForScreenshot(const CommandLine& command, std::string& error)
{
    auto plugin = PluginInstance::Load(command.module, error);
    if (!plugin)
        return nullptr;
    if (!plugin->HasFlag(effFlagsHasEditor)) {
        error = command.module + ": the plug-in has no editor (effFlagsHasEditor is not set)";
        return nullptr;
    }
    if (!ApplyCommandState(*plugin, command, error))
        return nullptr;
    return plugin;
}

bool ApplyCommandState(PluginInstance& plugin, const CommandLine& command, std::string& error)
{
    if (command.program >= 0 && !plugin.SelectProgram(command.program, error))
        return false;
    if (!command.presetFile.empty() && !LoadPresetInto(plugin, command.presetFile, command.program < 0, error))
        return false;
    std::vector<std::pair<int, float>> settings;
    for (const ParameterSetting& setting : command.parameters)
        settings.emplace_back(setting.index, setting.value);
    return plugin.SetParameters(settings, error);
}

int RunPresetSave(const CommandLine& command)
{
    std::string error;
    auto plugin = PluginInstance::Load(command.module, error);
    if (!plugin)
        return Failure(error);
    if (!ApplyCommandState(*plugin, command, error))
        return Failure(error);
    PresetFile preset;
    const bool bank = EndsWithFxb(command.output);
    preset.kind = bank ? PresetFile::Kind::Bank : PresetFile::Kind::Program;
    preset.pluginId = plugin->UniqueId();
    preset.pluginVersion = static_cast<int32_t>(plugin->VendorVersion());
    if (bank) {
        // Version 2 banks remember the selected program.
        preset.formatVersion = 2;
        preset.count = plugin->ProgramCount();
        preset.currentProgram = plugin->CurrentProgram();
    } else {
        preset.count = plugin->ParameterCount();
        preset.programName = plugin->CurrentProgramName().substr(0, 27);
    }
    if (!plugin->GetChunk(!bank, preset.chunk, error) || !WriteWholeFile(command.output, preset.Serialize(), error))
        return Failure(error);
    std::printf("saved %s (%s chunk of %d bytes) to %s\n", bank ? "bank" : "program", bank ? "bank" : "program",
                static_cast<int>(preset.chunk.size()), command.output.c_str());
    return kExitOk;
}

int RunPresetLoad(const CommandLine& command)
{
    std::string error;
    auto plugin = PluginInstance::Load(command.module, error);
    if (!plugin)
        return Failure(error);
    if (!LoadPresetInto(*plugin, command.presetFile, true, error))
        return Failure(error);
    std::printf("loaded %s\n", command.presetFile.c_str());
    PrintParameters(*plugin);
    return kExitOk;
}

int RunPresetDump(const CommandLine& command)
{
    std::string error;
    std::vector<uint8_t> bytes;
    PresetFile preset;
    if (!ReadWholeFile(command.presetFile, bytes, error))
        return Failure(error);
    if (!PresetFile::Parse(bytes, preset, error))
        return Failure(command.presetFile + ": " + error);
    const bool program = preset.kind == PresetFile::Kind::Program;
    const unsigned byteSize = static_cast<unsigned>(bytes[4]) << 24 | static_cast<unsigned>(bytes[5]) << 16 |
                              static_cast<unsigned>(bytes[6]) << 8 | bytes[7];
    std::printf("file:         %s (%d bytes)\n", command.presetFile.c_str(), static_cast<int>(bytes.size()));
    std::printf("chunkMagic:   CcnK\n");
    std::printf("byteSize:     %u\n", byteSize);
    std::printf("fxMagic:      %s (%s)\n", program ? "FPCh" : "FBCh", program ? "program chunk" : "bank chunk");
    std::printf("version:      %d\n", preset.formatVersion);
    std::printf("fxID:         '%s' (0x%08X)\n", FourCharText(preset.pluginId).c_str(),
                static_cast<unsigned>(preset.pluginId));
    std::printf("fxVersion:    %d\n", preset.pluginVersion);
    if (program) {
        std::printf("numParams:    %d\n", preset.count);
        std::printf("prgName:      %s\n", preset.programName.c_str());
    } else {
        std::printf("numPrograms:  %d\n", preset.count);
        if (preset.currentProgram >= 0)
            std::printf("currentProgram: %d\n", preset.currentProgram);
    }
    std::printf("chunkSize:    %d\n", static_cast<int>(preset.chunk.size()));
    const size_t shown = preset.chunk.size() < 64 ? preset.chunk.size() : 64;
    for (size_t row = 0; row < shown; row += 16) {
        std::printf("  %04x ", static_cast<unsigned>(row));
        std::string text;
        for (size_t i = row; i < row + 16; ++i) {
            if (i < shown) {
                std::printf(" %02x", preset.chunk[i]);
                text += std::isprint(preset.chunk[i]) ? static_cast<char>(preset.chunk[i]) : '.';
            } else {
                std::printf("   ");
            }
        }
        std::printf("  %s\n", text.c_str());
    }
    if (preset.chunk.size() > shown)
        std::printf("  ... %d more bytes\n", static_cast<int>(preset.chunk.size() - shown));
    return kExitOk;
}

} // namespace MorlentHost
