#pragma once
// The process loop of a render: reads the source block by block, hands each block's MIDI events
// to processEvents with offsets inside the block, keeps the transport the effect asks for in step,
// calls processReplacing and writes the outputs. Buffers are allocated once, before the first block.

#include "host/AudioFile.h"
#include "host/MidiScript.h"
#include "host/PluginInstance.h"

#include <functional>
#include <string>
#include <vector>

namespace MorlentHost {

struct Transport {
    double tempo = 120.0;
    bool playing = true;
};

// The time information of the block starting at `frame`. A stopped transport stays at its start.
void FillTimeInfo(VstTimeInfo& time, int64_t frame, double sampleRate, const Transport& transport, bool first);

struct RenderJob {
    int blockSize = 512;
    Transport transport;
    int64_t tailFrames = 0; // silence fed after the source ends, so echoes can ring out
    std::vector<TimedMidi> midi;
    // Called after each block with the frames done and the expected total (-1 when unknown).
    std::function<void(int64_t done, int64_t total)> progress;
};

struct RenderResult {
    int64_t frames = 0;
    int eventsSent = 0;
    int eventsLate = 0; // events beyond the end of the render, never sent
};

// The plug-in must be resumed at the source's rate with job.blockSize. Source channels feed the
// plug-in's inputs in order; a mono source feeds every input. The sink takes the plug-in's
// outputs. Each block's time information is set in the plug-in's host state before the block.
bool Render(PluginInstance& plugin, AudioReader& source, AudioWriter& sink, const RenderJob& job,
            RenderResult& result, std::string& error);

} // namespace MorlentHost
