#include "host/Benchmark.h"
#include "host/Commands.h"
#include "host/PluginInstance.h"
#include "host/ProgressLine.h"

#include <algorithm>
#include <cstdio>

namespace MorlentHost {

namespace {

// At least three significant figures, without an exponent.
std::string Figure(double value)
{
    char text[64];
    const char* format = value >= 100.0 ? "%.0f" : value >= 10.0 ? "%.1f" : value >= 1.0 ? "%.2f" : "%.3g";
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

int RunBench(const CommandLine& command)
{
    std::string error;
    auto plugin = PluginInstance::Load(command.module, error);
    if (!plugin)
        return Failure(error);
    if (!ApplyCommandState(*plugin, command, error))
        return Failure(error);
    if (!plugin->CanReplace())
        return Failure("the plug-in cannot process in place of its outputs (no effFlagsCanReplacing)");

    BenchJob job;
    job.blockSize = command.blockSize;
    job.sampleRate = command.sampleRate;
    job.frames = static_cast<int64_t>(command.benchSeconds * command.sampleRate + 0.5);
    // A tenth of the length, at most half a second, settles the caches before the clock starts.
    job.warmUpFrames = std::min<int64_t>(job.frames / 10, command.sampleRate / 2);
    job.transport.tempo = command.tempo;
    job.transport.playing = command.playing;

    plugin->Resume(static_cast<float>(command.sampleRate), command.blockSize);
    BenchResult result;
    bool timed;
    {
        // The figures go to stdout, so the progress line shows only when a person reads it there.
        ProgressLine progress(stdout, "timing");
        job.progress = [&progress](int64_t done, int64_t total) { progress.Update(done, total); };
        timed = Benchmark(*plugin, job, result, error);
    }
    plugin->Suspend();
    if (!timed)
        return Failure(error);
    const std::string frame = plugin->Outputs() == 2 ? "stereo frame" : std::to_string(plugin->Outputs()) + "-channel frame";
    std::printf("block %d, %d Hz: %s ns per %s, %sx real time\n", command.blockSize, command.sampleRate,
                Figure(result.NanosecondsPerFrame()).c_str(), frame.c_str(),
                Figure(result.TimesRealTime(command.sampleRate)).c_str());
    return kExitOk;
}

} // namespace MorlentHost
