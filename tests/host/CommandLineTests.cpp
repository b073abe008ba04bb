#include "host/CommandLine.h"

#include <gtest/gtest.h>

namespace MorlentHost {
namespace {

CommandLine Parse(std::vector<std::string> arguments)
{
    CommandLine parsed;
    std::string error;
    EXPECT_TRUE(ParseCommandLine(arguments, parsed, error)) << error;
    return parsed;
}

TEST(CommandLine, RenderTakesEveryOption)
{
    const CommandLine render = Parse({"render", "m.so", "in.wav", "out.wav", "--param", "11=0.25", "--param", "2=1",
                                      "--program", "3", "--preset", "p.fxb", "--tempo", "97.5", "--stopped",
                                      "--block", "100", "--midi", "notes.txt", "--tail", "1.5"});
    EXPECT_EQ(CommandLine::Command::Render, render.command);
    EXPECT_EQ("m.so", render.module);
    EXPECT_EQ("in.wav", render.input);
    EXPECT_EQ("out.wav", render.output);
    ASSERT_EQ(2u, render.parameters.size());
    EXPECT_EQ(11, render.parameters[0].index);
    EXPECT_EQ(0.25f, render.parameters[0].value);
    EXPECT_EQ(2, render.parameters[1].index);
    EXPECT_EQ(3, render.program);
    EXPECT_EQ("p.fxb", render.presetFile);
    EXPECT_EQ(97.5, render.tempo);
    EXPECT_FALSE(render.playing);
    EXPECT_EQ(100, render.blockSize);
    EXPECT_EQ("notes.txt", render.midiFile);
    EXPECT_EQ(1.5, render.tailSeconds);

    // Without an input the demo plays, at the rate asked for; options may come first.
    const CommandLine demo = Parse({"render", "--rate", "44100", "m.so", "out.wav"});
    EXPECT_TRUE(demo.input.empty());
    EXPECT_EQ("out.wav", demo.output);
    EXPECT_EQ(44100, demo.sampleRate);
    EXPECT_TRUE(demo.playing);
}

TEST(CommandLine, BenchTakesTheStateAndProcessOptionsOfRender)
{
    const CommandLine bench = Parse({"bench", "--block", "64", "m.so", "--rate", "44100", "--param", "11=1",
                                     "--program", "2", "--preset", "p.fxp", "--tempo", "90", "--stopped",
                                     "--seconds", "2.5"});
    EXPECT_EQ(CommandLine::Command::Bench, bench.command);
    EXPECT_EQ("m.so", bench.module);
    EXPECT_EQ(64, bench.blockSize);
    EXPECT_EQ(44100, bench.sampleRate);
    ASSERT_EQ(1u, bench.parameters.size());
    EXPECT_EQ(11, bench.parameters[0].index);
    EXPECT_EQ(2, bench.program);
    EXPECT_EQ("p.fxp", bench.presetFile);
    EXPECT_EQ(90.0, bench.tempo);
    EXPECT_FALSE(bench.playing);
    EXPECT_EQ(2.5, bench.benchSeconds);

    const CommandLine plain = Parse({"bench", "m.so"});
    EXPECT_EQ(512, plain.blockSize);
    EXPECT_EQ(48000, plain.sampleRate);
    EXPECT_GT(plain.benchSeconds, 0.0);
}

TEST(CommandLine, PresetCommandsAndHelp)
{
    const CommandLine save = Parse({"preset", "save", "m.so", "bank.FXB", "--program", "4", "--param", "0=0"});
    EXPECT_EQ(CommandLine::Command::PresetSave, save.command);
    EXPECT_EQ("bank.FXB", save.output);
    EXPECT_EQ(4, save.program);
    EXPECT_EQ(CommandLine::Command::PresetLoad, Parse({"preset", "load", "m.so", "a.fxp"}).command);
    EXPECT_EQ("a.fxp", Parse({"preset", "dump", "a.fxp"}).presetFile);
    const CommandLine shot = Parse({"screenshot", "m.dll", "o.png", "--preset", "p.fxp", "--param", "7=1"});
    EXPECT_EQ(CommandLine::Command::Screenshot, shot.command);
    EXPECT_EQ("p.fxp", shot.presetFile);
    ASSERT_EQ(1u, shot.parameters.size());
    EXPECT_EQ(7, shot.parameters[0].index);
    EXPECT_EQ(CommandLine::Command::Help, Parse({}).command);
    EXPECT_EQ(CommandLine::Command::Help, Parse({"--help"}).command);
}

TEST(CommandLine, RejectsWhatCannotRun)
{
    const struct {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"play", "m.so"}, "unknown command 'play'"},
        {{"info"}, "exactly one MODULE"},
        {{"info", "a.so", "b.so"}, "exactly one MODULE"},
        {{"render", "m.so"}, "MODULE [IN.wav] OUT.wav"},
        {{"render", "m.so", "a", "b", "c"}, "MODULE [IN.wav] OUT.wav"},
        {{"render", "m.so", "o.wav", "--param", "3"}, "INDEX=VALUE"},
        {{"render", "m.so", "o.wav", "--param", "x=0.5"}, "INDEX=VALUE"},
        {{"render", "m.so", "o.wav", "--param", "3=1.5"}, "must be 0 to 1"},
        {{"render", "m.so", "o.wav", "--param", "3=nan"}, "must be 0 to 1"},
        {{"render", "m.so", "o.wav", "--param"}, "--param needs a value"},
        {{"render", "m.so", "o.wav", "--program", "-1"}, "not a program number"},
        {{"render", "m.so", "o.wav", "--block", "0"}, "block size"},
        {{"render", "m.so", "o.wav", "--block", "64k"}, "block size"},
        {{"render", "m.so", "o.wav", "--tempo", "fast"}, "tempo"},
        {{"render", "m.so", "o.wav", "--rate", "100"}, "sample rate"},
        {{"render", "m.so", "in.wav", "o.wav", "--rate", "44100"}, "demo signal only"},
        {{"render", "m.so", "o.wav", "--playing", "--stopped"}, "only one of"},
        {{"render", "m.so", "o.wav", "--loud"}, "unknown option --loud"},
        {{"bench"}, "exactly one MODULE"},
        {{"bench", "m.so", "o.wav"}, "exactly one MODULE"},
        {{"bench", "m.so", "--seconds", "0"}, "number of seconds"},
        {{"bench", "m.so", "--seconds", "inf"}, "number of seconds"},
        {{"bench", "m.so", "--block", "0"}, "block size"},
        {{"bench", "m.so", "--playing", "--stopped"}, "only one of"},
        {{"bench", "m.so", "--midi", "notes.txt"}, "unknown option --midi"},
        {{"bench", "m.so", "--tail", "1"}, "unknown option --tail"},
        // The options render and bench share stay theirs, and each one's own stay its own.
        {{"render", "m.so", "o.wav", "--seconds", "2"}, "unknown option --seconds"},
        {{"bench", "m.so", "--rate", "100"}, "sample rate"},
        {{"preset", "save", "m.so", "o.fxp", "--block", "64"}, "unknown option --block"},
        {{"preset", "save", "m.so", "o.fxp", "--stopped"}, "unknown option --stopped"},
        {{"preset", "save", "m.so", "o.fxp", "--preset", "p.fxp"}, "unknown option --preset"},
        {{"preset"}, "save, load or dump"},
        {{"preset", "copy"}, "not 'copy'"},
        {{"preset", "save", "m.so", "out.txt"}, ".fxp"},
        {{"preset", "load", "m.so"}, "MODULE FILE"},
        {{"preset", "dump", "a.fxp", "--program", "1"}, "unknown option --program"},
        {{"screenshot", "m.dll", "o.png", "--tempo", "90"}, "unknown option --tempo"},
    };
    for (const auto& c : cases) {
        CommandLine parsed;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(c.arguments, parsed, error)) << c.arguments[0];
        EXPECT_NE(std::string::npos, error.find(c.reason)) << "got: " << error;
    }
}

} // namespace
} // namespace MorlentHost
