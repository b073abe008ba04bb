#include "legacy/framework/MessageDispatcher.h"

namespace VovezEdeduvo {
namespace Midi {

void MessageDispatcher::Dispatch(uint8_t status, uint8_t data1, uint8_t data2)
{
    if (status < 0x80 || status > 0xEF)
        return;
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        OnNoteOff(channel, data1, data2);
        break;
    case 0x90:
        // A note-on of velocity 0 is a note-off by convention.
        if (data2 == 0)
            OnNoteOff(channel, data1, 0);
        else
            OnNoteOn(channel, data1, data2);
        break;
    case 0xA0:
        OnPolyPressure(channel, data1, data2);
        break;
    case 0xB0:
        // A byte above 127 is a status byte, not data: the message is malformed, and would name a
        // controller no message can address or a value beyond full scale.
        if (data1 > 0x7F || data2 > 0x7F)
            return;
        OnControlChange(channel, data1, data2);
        break;
    case 0xC0:
        OnProgramChange(channel, data1);
        break;
    case 0xD0:
        OnChannelPressure(channel, data1);
        break;
    default: // 0xE0
        OnPitchBend(channel, data2 * 128 + data1);
        break;
    }
}

void MessageDispatcher::OnNoteOn(int, int, int) {}
void MessageDispatcher::OnNoteOff(int, int, int) {}
void MessageDispatcher::OnPolyPressure(int, int, int) {}
void MessageDispatcher::OnControlChange(int, int, int) {}
void MessageDispatcher::OnProgramChange(int, int) {}
void MessageDispatcher::OnChannelPressure(int, int) {}
void MessageDispatcher::OnPitchBend(int, int) {}

} // namespace Midi
} // namespace VovezEdeduvo
