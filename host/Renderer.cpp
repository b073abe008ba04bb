#include "host/Renderer.h"

#include <algorithm>
#include <cmath>

namespace MorlentHost {

void FillTimeInfo(VstTimeInfo& time, int64_t frame, double sampleRate, const Transport& transport, bool first)
{
    const int64_t position = transport.playing ? frame : 0;
    time = VstTimeInfo{};
    time.samplePos = static_cast<double>(position);
    time.sampleRate = sampleRate;
    time.ppqPos = static_cast<double>(position) / sampleRate * transport.tempo / 60.0;
    time.tempo = transport.tempo;
    time.barStartPos = std::floor(time.ppqPos / 4.0) * 4.0;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    time.flags = kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid | kVstBarsValid;
    if (transport.playing)
        time.flags |= kVstTransportPlaying;
    if (first)
        time.flags |= kVstTransportChanged;
}

bool Render(PluginInstance& plugin, AudioReader& source, AudioWriter& sink, const RenderJob& job,
            RenderResult& result, std::string& error)
{
    const size_t block = static_cast<size_t>(job.blockSize);
    const size_t sourceChannels = static_cast<size_t>(source.Format().channels);
    const size_t inputs = static_cast<size_t>(plugin.Inputs());
    const size_t outputs = static_cast<size_t>(plugin.Outputs());
    if (outputs == 0) {
        error = "the plug-in has no outputs";
        return false;
    }
    if (sourceChannels > inputs) {
        error = "the input has " + std::to_string(sourceChannels) + " channels; the plug-in takes " +
                std::to_string(inputs);
        return false;
    }
    const double sampleRate = source.Format().sampleRate;
    const int64_t sourceFrames = source.Frames();
    const int64_t total = sourceFrames < 0 ? -1 : sourceFrames + job.tailFrames;

    std::vector<float> interleavedIn(block * sourceChannels);
    std::vector<float> interleavedOut(block * outputs);
    std::vector<std::vector<float>> inputBuffers(inputs, std::vector<float>(block));
    std::vector<std::vector<float>> outputBuffers(outputs, std::vector<float>(block));
    std::vector<float*> inputPointers(inputs + 1), outputPointers(outputs + 1);
    for (size_t c = 0; c < inputs; ++c)
        inputPointers[c] = inputBuffers[c].data();
    for (size_t c = 0; c < outputs; ++c)
        outputPointers[c] = outputBuffers[c].data();

    // The most events any one block carries, so their storage is reserved before the first block.
    size_t mostEvents = 0;
    for (size_t i = 0, first = 0; i < job.midi.size(); ++i) {
        while (job.midi[i].frame / job.blockSize != job.midi[first].frame / job.blockSize)
            ++first;
        mostEvents = std::max(mostEvents, i - first + 1);
    }
    EventBlock events(mostEvents);
    size_t nextEvent = 0;

    bool sourceDone = false;
    int64_t tailLeft = job.tailFrames;
    int64_t frame = 0;
    for (;;) {
        size_t frames = sourceDone ? 0 : source.Read(interleavedIn.data(), block);
        if (frames < block) {
            sourceDone = true;
            const size_t silence = static_cast<size_t>(std::min<int64_t>(tailLeft, static_cast<int64_t>(block - frames)));
            std::fill(interleavedIn.begin() + static_cast<std::ptrdiff_t>(frames * sourceChannels),
                      interleavedIn.begin() + static_cast<std::ptrdiff_t>((frames + silence) * sourceChannels), 0.0f);
            tailLeft -= static_cast<int64_t>(silence);
            frames += silence;
        }
        if (frames == 0)
            break;

        for (size_t c = 0; c < inputs; ++c) {
            float* in = inputBuffers[c].data();
            const size_t from = sourceChannels == 1 ? 0 : c;
            for (size_t i = 0; i < frames; ++i)
                in[i] = from < sourceChannels ? interleavedIn[i * sourceChannels + from] : 0.0f;
        }

        events.Clear();
        while (nextEvent < job.midi.size() && job.midi[nextEvent].frame < frame + static_cast<int64_t>(frames)) {
            const TimedMidi& timed = job.midi[nextEvent++];
            events.Add(static_cast<int>(timed.frame - frame), timed.bytes);
        }
        plugin.ProcessEvents(events);
        result.eventsSent += static_cast<int>(events.Size());

        FillTimeInfo(plugin.Host().time, frame, sampleRate, job.transport, frame == 0);
        plugin.Process(inputPointers.data(), outputPointers.data(), static_cast<int>(frames));

        for (size_t c = 0; c < outputs; ++c)
            for (size_t i = 0; i < frames; ++i)
                interleavedOut[i * outputs + c] = outputBuffers[c][i];
        if (!sink.Write(interleavedOut.data(), frames)) {
            error = "writing the output failed (disk full, or the file grew past its format's limit)";
            return false;
        }
        frame += static_cast<int64_t>(frames);
        if (job.progress)
            job.progress(frame, total);
    }
    result.frames = frame;
    result.eventsLate = static_cast<int>(job.midi.size() - nextEvent);
    return true;
}

} // namespace MorlentHost
