#pragma once

#include <cstdint>

namespace VovezEdeduvo {
namespace Midi {

// Decodes a MIDI channel message into one of seven handlers. The handlers do nothing here; a
// model overrides those it cares about. Audio thread, at the message's place in the block.
class MessageDispatcher {
public:
    virtual ~MessageDispatcher() = default;

    // Status bytes outside 0x80..0xEF (data bytes, system messages) are ignored, and so is a
    // control change with a byte above 127 in either data byte. Other messages' data bytes are
    // passed on as they come.
    void Dispatch(uint8_t status, uint8_t data1, uint8_t data2);

    virtual void OnNoteOn(int channel, int note, int velocity);
    virtual void OnNoteOff(int channel, int note, int velocity);
    virtual void OnPolyPressure(int channel, int note, int pressure);
    virtual void OnControlChange(int channel, int controller, int value);
    virtual void OnProgramChange(int channel, int program);
    virtual void OnChannelPressure(int channel, int pressure);
    // value = data2 × 128 + data1: 8192 is the centre.
    virtual void OnPitchBend(int channel, int value);
};

} // namespace Midi
} // namespace VovezEdeduvo
