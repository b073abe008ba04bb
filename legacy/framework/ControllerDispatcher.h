#pragma once

namespace VovezEdeduvo {
namespace Midi {

// Decodes the standard controller numbers into handlers, empty here: extension points for an
// effect that wants them. Controller numbers without a handler are ignored. Audio thread.
class ControllerDispatcher {
public:
    virtual ~ControllerDispatcher() = default;

    void Dispatch(int channel, int controller, int value);

    virtual void OnModulationWheel(int channel, int value);     // 1
    virtual void OnModulationWheelFine(int channel, int value); // 33
    virtual void OnChannelVolume(int channel, int value);       // 7
    virtual void OnChannelVolumeFine(int channel, int value);   // 39
    virtual void OnExpression(int channel, int value);          // 11
    virtual void OnExpressionFine(int channel, int value);      // 43
    virtual void OnSustain(int channel, bool on);               // 64, on from 64
    virtual void OnAllSoundOff(int channel);                    // 120
    virtual void OnResetAllControllers(int channel);            // 121
    virtual void OnAllNotesOff(int channel);                    // 123
    virtual void OnOmniMode(int channel, bool on);              // 124 off, 125 on
};

} // namespace Midi
} // namespace VovezEdeduvo
