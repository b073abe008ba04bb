#pragma once
// The command line of morlent-host, parsed into plain options before anything is loaded.

#include <string>
#include <vector>

namespace MorlentHost {

struct ParameterSetting {
    int index;
    float value; // normalised, 0 to 1
};

struct CommandLine {
    enum class Command { Help, Info, Render, Bench, PresetSave, PresetLoad, PresetDump, Screenshot };

    Command command = Command::Help;
    std::string module;
    std::string input;  // render: empty for the demo signal
    std::string output; // render, preset save, screenshot
    std::string presetFile; // render --preset, preset load, preset dump
    std::string midiFile;
    std::vector<ParameterSetting> parameters;
    int program = -1;
    double tempo = 120.0;
    bool playing = true;
    int blockSize = 512;
    int sampleRate = 48000;
    bool sampleRateGiven = false;
    double tailSeconds = 0.0;
    double benchSeconds = 10.0; // bench: the length of the noise timed, in seconds of audio
};

extern const char* const kUsage;

// False with a one-line reason in `error` for anything the program cannot run.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& parsed, std::string& error);

} // namespace MorlentHost
