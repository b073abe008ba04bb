#include "host/CommandLine.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace MorlentHost {

const char* const kUsage =
    "usage:\n"
    "  morlent-host info MODULE\n"
    "  morlent-host render MODULE [IN.wav] OUT.wav [--param I=V]... [--program N]\n"
    "               [--preset FILE.fxp|FILE.fxb] [--tempo BPM] [--playing|--stopped]\n"
    "               [--block N] [--rate HZ] [--midi FILE] [--tail SECONDS]\n"
    "  morlent-host bench MODULE [--param I=V]... [--program N] [--preset FILE]\n"
    "               [--tempo BPM] [--playing|--stopped] [--block N] [--rate HZ] [--seconds S]\n"
    "  morlent-host preset save MODULE OUT.fxp|OUT.fxb [--program N] [--param I=V]...\n"
    "  morlent-host preset load MODULE FILE\n"
    "  morlent-host preset dump FILE\n"
    "  morlent-host screenshot MODULE OUT.png [--program N] [--preset FILE] [--param I=V]...\n"
    "Without IN.wav, render plays a built-in demo phrase. Parameter values V are normalised (0 to 1).\n"
    "bench times the plug-in on noise and prints nanoseconds per frame and times real time.\n";

namespace {

bool ToInteger(const std::string& text, long long low, long long high, long long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ToNumber(const std::string& text, double low, double high, double& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value) && value >= low && value <= high;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

class Parser {
public:
    Parser(const std::vector<std::string>& arguments, CommandLine& parsed, std::string& error)
        : args_(arguments), parsed_(parsed), error_(error)
    {
    }

    bool Run()
    {
        if (args_.empty() || args_[0] == "help" || args_[0] == "--help" || args_[0] == "-h") {
            parsed_.command = CommandLine::Command::Help;
            return true;
        }
        const std::string& command = args_[next_++];
        if (command == "info")
            return Info();
        if (command == "render")
            return Render();
        if (command == "bench")
            return Bench();
        if (command == "preset")
            return Preset();
        if (command == "screenshot")
            return Screenshot();
        return Fail("unknown command '" + command + "'");
    }

private:
    bool Fail(const std::string& reason)
    {
        error_ = reason;
        return false;
    }

    // Splits what is left into positional words and options; each option is handed to `option`.
    template <typename OptionHandler>
    bool Rest(std::vector<std::string>& positional, OptionHandler option)
    {
        while (next_ < args_.size()) {
            const std::string& word = args_[next_++];
            if (word.size() > 1 && word[0] == '-' && word[1] == '-') {
                bool known = true;
                if (!option(word, known))
                    return false;
                if (!known)
                    return Fail("unknown option " + word + " for this command");
            } else {
                positional.push_back(word);
            }
        }
        return true;
    }

    bool Value(const std::string& option, std::string& value)
    {
        if (next_ >= args_.size())
            return Fail(option + " needs a value");
        value = args_[next_++];
        return true;
    }

    // The option's value as a number within low..high; what it should be names it in the error.
    bool Number(const std::string& option, double low, double high, const char* what, double& out)
    {
        std::string text;
        if (!Value(option, text))
            return false;
        if (!ToNumber(text, low, high, out))
            return Fail(option + ": '" + text + "' is not " + what);
        return true;
    }
    bool Integer(const std::string& option, long long low, long long high, const char* what, int& out)
    {
        std::string text;
        long long value;
        if (!Value(option, text))
            return false;
        if (!ToInteger(text, low, high, value))
            return Fail(option + ": '" + text + "' is not " + what);
        out = static_cast<int>(value);
        return true;
    }

    bool Program(const std::string& option)
    {
        std::string text;
        long long value;
        if (!Value(option, text))
            return false;
        if (!ToInteger(text, 0, 1 << 20, value))
            return Fail(option + ": '" + text + "' is not a program number (0 or more)");
        parsed_.program = static_cast<int>(value);
        return true;
    }

    bool Parameter(const std::string& option)
    {
        std::string text;
        if (!Value(option, text))
            return false;
        const size_t equals = text.find('=');
        long long index;
        double value;
        if (equals == std::string::npos || !ToInteger(text.substr(0, equals), 0, 1 << 20, index))
            return Fail(option + ": '" + text + "' is not INDEX=VALUE");
        if (!ToNumber(text.substr(equals + 1), 0.0, 1.0, value))
            return Fail(option + ": value of parameter " + std::to_string(index) + " must be 0 to 1");
        parsed_.parameters.push_back({static_cast<int>(index), static_cast<float>(value)});
        return true;
    }

    // The options that set the plug-in's state before a command runs. Answers whether option is
    // one of them; result then holds whether its value parsed.
    bool StateOption(const std::string& option, bool withPreset, bool& result)
    {
        if (option == "--param")
            result = Parameter(option);
        else if (option == "--program")
            result = Program(option);
        else if (withPreset && option == "--preset")
            result = Value(option, parsed_.presetFile);
        else
            return false;
        return true;
    }

    // The options of how audio runs through the plug-in. Answers whether option is one of them;
    // result then holds whether its value parsed.
    bool ProcessOption(const std::string& option, bool& transportGiven, bool& result)
    {
        if (option == "--playing" || option == "--stopped") {
            if (transportGiven)
                result = Fail("give only one of --playing and --stopped");
            else
                result = true;
            transportGiven = true;
            parsed_.playing = option == "--playing";
        } else if (option == "--tempo") {
            result = Number(option, 1.0, 999.0, "a tempo from 1 to 999 BPM", parsed_.tempo);
        } else if (option == "--block") {
            result = Integer(option, 1, 65536, "a block size from 1 to 65536", parsed_.blockSize);
        } else if (option == "--rate") {
            parsed_.sampleRateGiven = true;
            result = Integer(option, 8000, 768000, "a sample rate from 8000 to 768000 Hz", parsed_.sampleRate);
        } else {
            return false;
        }
        return true;
    }

    // Render's and bench's words: the state and process options they share, then the command's
    // own options through own, which answers as Rest's handlers do.
    template <typename OwnOption>
    bool PlaybackRest(std::vector<std::string>& positional, OwnOption own)
    {
        bool transportGiven = false;
        return Rest(positional, [&](const std::string& option, bool& known) {
            bool result;
            if (StateOption(option, true, result) || ProcessOption(option, transportGiven, result))
                return result;
            return own(option, known);
        });
    }

    bool Info()
    {
        parsed_.command = CommandLine::Command::Info;
        std::vector<std::string> positional;
        if (!Rest(positional, [](const std::string&, bool& known) { return known = false, true; }))
            return false;
        if (positional.size() != 1)
            return Fail("info takes exactly one MODULE");
        parsed_.module = positional[0];
        return true;
    }

    bool Render()
    {
        parsed_.command = CommandLine::Command::Render;
        std::vector<std::string> positional;
        const bool ok = PlaybackRest(positional, [&](const std::string& option, bool& known) {
            if (option == "--midi")
                return Value(option, parsed_.midiFile);
            if (option == "--tail")
                return Number(option, 0.0, 3600.0, "a number of seconds from 0 to 3600", parsed_.tailSeconds);
            known = false;
            return true;
        });
        if (!ok)
            return false;
        if (positional.size() < 2 || positional.size() > 3)
            return Fail("render takes MODULE [IN.wav] OUT.wav");
        parsed_.module = positional[0];
        if (positional.size() == 3)
            parsed_.input = positional[1];
        parsed_.output = positional.back();
        if (!parsed_.input.empty() && parsed_.sampleRateGiven)
            return Fail("--rate applies to the demo signal only; an input file brings its own rate");
        return true;
    }

    bool Bench()
    {
        parsed_.command = CommandLine::Command::Bench;
        std::vector<std::string> positional;
        const bool ok = PlaybackRest(positional, [&](const std::string& option, bool& known) {
            if (option == "--seconds")
                return Number(option, 0.001, 3600.0, "a number of seconds from 0.001 to 3600", parsed_.benchSeconds);
            known = false;
            return true;
        });
        if (!ok)
            return false;
        if (positional.size() != 1)
            return Fail("bench takes exactly one MODULE");
        parsed_.module = positional[0];
        return true;
    }

    bool Preset()
    {
        if (next_ >= args_.size())
            return Fail("preset needs save, load or dump");
        const std::string action = args_[next_++];
        std::vector<std::string> positional;
        if (action == "save") {
            parsed_.command = CommandLine::Command::PresetSave;
            const bool ok = Rest(positional, [&](const std::string& option, bool& known) {
                bool result;
                if (StateOption(option, false, result))
                    return result;
                known = false;
                return true;
            });
            if (!ok)
                return false;
            if (positional.size() != 2)
                return Fail("preset save takes MODULE OUT.fxp|OUT.fxb");
            parsed_.module = positional[0];
            parsed_.output = positional[1];
            if (!EndsWith(parsed_.output, ".fxp") && !EndsWith(parsed_.output, ".fxb"))
                return Fail("preset save: the file name must end in .fxp (one program) or .fxb (bank)");
            return true;
        }
        const auto none = [](const std::string&, bool& known) { return known = false, true; };
        if (action == "load") {
            parsed_.command = CommandLine::Command::PresetLoad;
            if (!Rest(positional, none))
                return false;
            if (positional.size() != 2)
                return Fail("preset load takes MODULE FILE");
            parsed_.module = positional[0];
            parsed_.presetFile = positional[1];
            return true;
        }
        if (action == "dump") {
            parsed_.command = CommandLine::Command::PresetDump;
            if (!Rest(positional, none))
                return false;
            if (positional.size() != 1)
                return Fail("preset dump takes FILE");
            parsed_.presetFile = positional[0];
            return true;
        }
        return Fail("preset needs save, load or dump, not '" + action + "'");
    }

    bool Screenshot()
    {
        parsed_.command = CommandLine::Command::Screenshot;
        std::vector<std::string> positional;
        const bool ok = Rest(positional, [&](const std::string& option, bool& known) {
            bool result;
            if (StateOption(option, true, result))
                return result;
            known = false;
            return true;
        });
        if (!ok)
            return false;
        if (positional.size() != 2)
            return Fail("screenshot takes MODULE OUT.png");
        parsed_.module = positional[0];
        parsed_.output = positional[1];
        return true;
    }

    const std::vector<std::string>& args_;
    CommandLine& parsed_;
    std::string& error_;
    size_t next_ = 0;
};

} // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& parsed, std::string& error)
{
    parsed = CommandLine();
    return Parser(arguments, parsed, error).Run();
}

} // namespace MorlentHost
