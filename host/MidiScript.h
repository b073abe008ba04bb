#pragma once
// A text file of timed MIDI messages for a render: one "frame status data1 [data2]" per line,
// frames counted from the start of the render, numbers decimal or 0x hex, '#' starts a comment.

#include <cstdint>
#include <string>
#include <vector>

namespace MorlentHost {

struct TimedMidi {
    int64_t frame;
    uint8_t bytes[3];
};

// Events come back ordered by frame, events on the same frame in file order. False with the
// line number and reason in `error` on the first bad line.
bool ParseMidiScript(const std::string& text, std::vector<TimedMidi>& events, std::string& error);

} // namespace MorlentHost
