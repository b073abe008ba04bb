#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/PluginInstance.h"
#include "host/PresetFile.h"
#include "host/ProgressLine.h"
#include "host/Renderer.h"

#include <cstdio>

namespace MorlentHost {

int RunRender(const CommandLine& command)
{
    std::string error;
    RenderJob job;
    job.blockSize = command.blockSize;
    job.transport.tempo = command.tempo;
    job.transport.playing = command.playing;
    if (!command.midiFile.empty()) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(command.midiFile, bytes, error))
            return Failure(error);
        if (!ParseMidiScript(std::string(bytes.begin(), bytes.end()), job.midi, error))
            return Failure(command.midiFile + ", " + error);
    }

    std::unique_ptr<AudioReader> source;
    if (command.input.empty()) {
        source.reset(new DemoSignal(command.sampleRate));
    } else {
        source = OpenAudioReader(command.input, error);
        if (!source)
            return Failure(error);
    }
    const AudioFormat& inputFormat = source->Format();
    job.tailFrames = static_cast<int64_t>(command.tailSeconds * inputFormat.sampleRate + 0.5);

    auto plugin = PluginInstance::Load(command.module, error);
    if (!plugin)
        return Failure(error);
    if (!ApplyCommandState(*plugin, command, error))
        return Failure(error);
    if (!plugin->CanReplace())
        return Failure("the plug-in cannot process in place of its outputs (no effFlagsCanReplacing)");
    if (inputFormat.channels > plugin->Inputs())
        return Failure(command.input + " has " + std::to_string(inputFormat.channels) +
                       " channels; the plug-in takes at most " + std::to_string(plugin->Inputs()));

    // The output keeps the input's rate and encoding but carries every output of the plug-in:
    // a mono input comes out stereo, since the two channels' echoes differ.
    AudioFormat outputFormat = inputFormat;
    outputFormat.channels = plugin->Outputs();
    if (inputFormat.encoding == SampleEncoding::Other && inputFormat.nativeFormat == 0)
        outputFormat.encoding = SampleEncoding::Float32;
    auto sink = CreateAudioWriter(command.output, outputFormat, error);
    if (!sink)
        return Failure(error);

    plugin->Resume(static_cast<float>(inputFormat.sampleRate), command.blockSize);
    ProgressLine progress(stderr, "rendering");
    job.progress = [&progress](int64_t done, int64_t total) { progress.Update(done, total); };
    RenderResult result;
    const bool rendered = Render(*plugin, *source, *sink, job, result, error);
    progress.Finish();
    plugin->Suspend();
    const bool closed = sink->Close();
    if (!rendered || !closed) {
        std::remove(command.output.c_str());
        return Failure(rendered ? "cannot complete " + command.output : error);
    }
    std::printf("rendered %lld frames (%.3f s at %d Hz, %d channels) to %s\n", static_cast<long long>(result.frames),
                static_cast<double>(result.frames) / inputFormat.sampleRate, inputFormat.sampleRate,
                outputFormat.channels, command.output.c_str());
    if (!job.midi.empty())
        std::printf("MIDI events sent: %d\n", result.eventsSent);
    if (result.eventsLate > 0)
        std::fprintf(stderr, "morlent-host: warning: %d MIDI events lie beyond the end of the render and were not sent\n",
                     result.eventsLate);
    return kExitOk;
}

} // namespace MorlentHost
