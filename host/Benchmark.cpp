#include "host/Benchmark.h"

#include <algorithm>
#include <chrono>

namespace MorlentHost {

std::vector<float> Noise(size_t frames, uint32_t seed)
{
    std::vector<float> samples(frames);
    uint32_t state = seed * 2654435761u + 1u;
    for (float& sample : samples) {
        // A 32-bit linear congruential step (Numerical Recipes' constants); the top 24 bits are
        // exactly representable in a float.
        state = state * 1664525u + 1013904223u;
        sample = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
    }
    return samples;
}

bool Benchmark(PluginInstance& plugin, const BenchJob& job, BenchResult& result, std::string& error)
{
    const size_t block = static_cast<size_t>(job.blockSize);
    const size_t inputs = static_cast<size_t>(plugin.Inputs());
    const size_t outputs = static_cast<size_t>(plugin.Outputs());
    if (outputs == 0) {
        error = "the plug-in has no outputs";
        return false;
    }
    if (job.frames <= 0) {
        error = "nothing to time: the length is under one frame";
        return false;
    }

    // A block starting anywhere in the period reads on past its end into the copy of its start.
    const size_t period = std::max(static_cast<size_t>(job.sampleRate), block);
    std::vector<std::vector<float>> noise;
    for (size_t c = 0; c < inputs; ++c) {
        noise.push_back(Noise(period, static_cast<uint32_t>(c + 1)));
        noise.back().insert(noise.back().end(), noise.back().begin(), noise.back().begin() + static_cast<std::ptrdiff_t>(block));
    }
    std::vector<std::vector<float>> outputBuffers(outputs, std::vector<float>(block));
    std::vector<float*> inputPointers(inputs + 1), outputPointers(outputs + 1);
    for (size_t c = 0; c < outputs; ++c)
        outputPointers[c] = outputBuffers[c].data();

    size_t offset = 0;
    int64_t frame = 0;
    const auto run = [&](int64_t count, bool timed) {
        for (int64_t done = 0; done < count;) {
            const size_t frames = static_cast<size_t>(std::min<int64_t>(count - done, static_cast<int64_t>(block)));
            for (size_t c = 0; c < inputs; ++c)
                inputPointers[c] = noise[c].data() + offset;
            FillTimeInfo(plugin.Host().time, frame, job.sampleRate, job.transport, frame == 0);
            plugin.Process(inputPointers.data(), outputPointers.data(), static_cast<int>(frames));
            offset += frames;
            if (offset >= period)
                offset -= period;
            frame += static_cast<int64_t>(frames);
            done += static_cast<int64_t>(frames);
            if (timed && job.progress)
                job.progress(done, count);
        }
    };

    run(job.warmUpFrames, false);
    const auto start = std::chrono::steady_clock::now();
    run(job.frames, true);
    const auto stop = std::chrono::steady_clock::now();
    result.frames = job.frames;
    result.seconds = std::chrono::duration<double>(stop - start).count();
    if (!(result.seconds > 0.0)) {
        error = "the clock did not advance while timing; give a longer --seconds";
        return false;
    }
    return true;
}

} // namespace MorlentHost
