// morlent-host: a command-line VST 2 host for inspecting, rendering and preset files.

#include "host/Commands.h"

#include <cstdio>
#include <exception>

namespace MorlentHost {

int Failure(const std::string& message)
{
    std::fprintf(stderr, "morlent-host: %s\n", message.c_str());
    return kExitFailure;
}

namespace {

int Run(int argc, char** argv)
{
    CommandLine command;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), command, error)) {
        std::fprintf(stderr, "morlent-host: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
    }
    switch (command.command) {
    case CommandLine::Command::Help:
        std::printf("%s", kUsage);
        return kExitOk;
    case CommandLine::Command::Info:
        return RunInfo(command);
    case CommandLine::Command::Render:
        return RunRender(command);
    case CommandLine::Command::Bench:
        return RunBench(command);
    case CommandLine::Command::PresetSave:
        return RunPresetSave(command);
    case CommandLine::Command::PresetLoad:
        return RunPresetLoad(command);
    case CommandLine::Command::PresetDump:
        return RunPresetDump(command);
    case CommandLine::Command::Screenshot:
        return RunScreenshot(command);
    }
    return Failure("command not available in this build");
}

} // namespace

} // namespace MorlentHost

int main(int argc, char** argv)
{
    try {
        return MorlentHost::Run(argc, argv);
    } catch (const std::exception& failure) {
        return MorlentHost::Failure(std::string("unexpected failure: ") + failure.what());
    } catch (...) {
        return MorlentHost::Failure("unexpected failure");
    }
}
