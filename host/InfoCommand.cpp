#include "host/Commands.h"
#include "host/PluginInstance.h"
#include "host/PresetFile.h"

#include <cstdio>

namespace MorlentHost {

namespace {

const char* CategoryName(long category)
{
    static const char* const names[] = {"unknown",    "effect",     "synth",        "analysis",
                                        "mastering",  "spacializer", "room fx",     "surround fx",
                                        "restoration", "offline",    "shell",       "generator"};
    return category >= 0 && category < 12 ? names[category] : "unknown";
}

std::string FlagNames(VstInt32 flags)
{
    static const struct {
        VstInt32 bit;
        const char* name;
    } known[] = {{effFlagsHasEditor, "HasEditor"},         {effFlagsHasClip, "HasClip"},
                 {effFlagsHasVu, "HasVu"},                 {effFlagsCanMono, "CanMono"},
                 {effFlagsCanReplacing, "CanReplacing"},   {effFlagsProgramChunks, "ProgramChunks"},
                 {effFlagsIsSynth, "IsSynth"},             {effFlagsNoSoundInStop, "NoSoundInStop"},
                 {effFlagsExtIsAsync, "ExtIsAsync"},       {effFlagsExtHasBuffer, "ExtHasBuffer"},
                 {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
    std::string text;
    VstInt32 rest = flags;
    for (const auto& flag : known)
        if ((flags & flag.bit) != 0) {
            text += " effFlags";
            text += flag.name;
            rest &= ~flag.bit;
        }
    if (rest != 0) {
        char unknown[32];
        std::snprintf(unknown, sizeof unknown, " unknown:0x%X", static_cast<unsigned>(rest));
        text += unknown;
    }
    return text.empty() ? " (none)" : text;
}

const char* CanDoAnswer(long answer)
{
    return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know";
}

} // namespace

int RunInfo(const CommandLine& command)
{
    std::string error;
    auto plugin = PluginInstance::Load(command.module, error);
    if (!plugin)
        return Failure(error);

    std::printf("Module:          %s\n", command.module.c_str());
    std::printf("Format:          %s\n", plugin->IsVst3() ? "VST 3" : plugin->IsClap() ? "CLAP" : "VST 2");
    std::printf("Effect name:     %s\n", plugin->EffectName().c_str());
    std::printf("Vendor:          %s\n", plugin->VendorName().c_str());
    std::printf("Product:         %s\n", plugin->ProductName().c_str());
    std::printf("Unique ID:       '%s' (0x%08X)\n", FourCharText(plugin->UniqueId()).c_str(),
                static_cast<unsigned>(plugin->UniqueId()));
    std::printf("Vendor version:  %ld\n", plugin->VendorVersion());
    std::printf("VST version:     %ld\n", plugin->VstVersion());
    const long category = plugin->Category();
    std::printf("Category:        %ld (%s)\n", category, CategoryName(category));
    std::printf("Record version:  %d\n", plugin->RecordVersion());
    std::printf("Flags:           0x%X%s\n", static_cast<unsigned>(plugin->Flags()), FlagNames(plugin->Flags()).c_str());
    std::printf("Inputs:          %d\n", plugin->Inputs());
    std::printf("Outputs:         %d\n", plugin->Outputs());
    std::printf("Initial delay:   %d\n", plugin->InitialDelay());

    std::printf("\nParameters (%d):\n", plugin->ParameterCount());
    std::printf("  %3s  %-12s %-9s %-10s %s\n", "#", "name", "value", "display", "label");
    for (int i = 0; i < plugin->ParameterCount(); ++i)
        std::printf("  %3d  %-12s %-9.6f %-10s %s\n", i, plugin->ParameterName(i).c_str(), plugin->Parameter(i),
                    plugin->ParameterDisplay(i).c_str(), plugin->ParameterLabel(i).c_str());

    const std::vector<std::string> programs = plugin->ProgramNames();
    std::printf("\nPrograms (%d), current %d:\n", plugin->ProgramCount(), plugin->CurrentProgram());
    for (size_t i = 0; i < programs.size(); ++i)
        std::printf("  %3d  %s\n", static_cast<int>(i), programs[i].c_str());

    std::printf("\ncanDo:\n");
    static const char* const questions[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                                            "sendVstEvents",    "sendVstMidiEvent",    "bypass",
                                            "offline",          "noRealTime",          "midiProgramNames",
                                            "1in1out",          "1in2out",             "2in2out",
                                            "plugAsChannelInsert", "plugAsSend",       "mixDryWet"};
    for (const char* question : questions)
        std::printf("  %-20s %s\n", question, CanDoAnswer(plugin->CanDo(question)));
    return kExitOk;
}

} // namespace MorlentHost
