#pragma once
// The subcommands of morlent-host. Each prints its result on stdout, its errors on stderr, and
// answers the process exit code.

#include "host/CommandLine.h"

#include <memory>
#include <string>

namespace MorlentHost {

enum ExitCode : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

int RunInfo(const CommandLine& command);
int RunRender(const CommandLine& command);
int RunBench(const CommandLine& command);
int RunPresetSave(const CommandLine& command);
int RunPresetLoad(const CommandLine& command);
int RunPresetDump(const CommandLine& command);
int RunScreenshot(const CommandLine& command);

// Prints "morlent-host: MESSAGE" on stderr and answers kExitFailure.
int Failure(const std::string& message);

} // namespace MorlentHost

namespace MorlentHost {

class PluginInstance;

// Applies --program, then --preset, then each --param, in that order, so a parameter given on the
// command line wins over the preset. A bank's stored program is selected unless --program is given.
bool ApplyCommandState(PluginInstance& plugin, const CommandLine& command, std::string& error);

// The screenshot's plug-in: loaded, with an editor, in the command's state; null with the reason.
std::unique_ptr<PluginInstance> LoadForScreenshot(const CommandLine& command, std::string& error);

} // namespace MorlentHost
