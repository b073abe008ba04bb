#pragma once
// Times a plug-in as a host drives it: block after block of noise through processReplacing, the
// time information of each block set first. Everything is allocated and the noise made before the
// clock starts, so the figure is the plug-in's work plus the host's bare minimum per block.

#include "host/PluginInstance.h"
#include "host/Renderer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace MorlentHost {

struct BenchJob {
    int blockSize = 512;
    double sampleRate = 48000.0;
    int64_t frames = 0;        // timed
    int64_t warmUpFrames = 0;  // run first, untimed, so caches and the plug-in's lazy set-up settle
    Transport transport;
    // Called after each timed block with the frames done and the total.
    std::function<void(int64_t done, int64_t total)> progress;
};

struct BenchResult {
    int64_t frames = 0;
    double seconds = 0.0; // wall-clock time of the timed frames

    double NanosecondsPerFrame() const { return seconds * 1e9 / static_cast<double>(frames); }
    // Seconds of audio per second of processing at `sampleRate`.
    double TimesRealTime(double sampleRate) const { return static_cast<double>(frames) / sampleRate / seconds; }
};

// White noise from a fixed seed, uniform in -0.5 to 0.5: the same samples in every build.
std::vector<float> Noise(size_t frames, uint32_t seed);

// The plug-in must be resumed at job.sampleRate with job.blockSize. Each input gets noise of its
// own; the noise repeats after one second (or one block, if longer), which changes nothing in
// the work a block costs but keeps memory small whatever the length.
bool Benchmark(PluginInstance& plugin, const BenchJob& job, BenchResult& result, std::string& error);

} // namespace MorlentHost
