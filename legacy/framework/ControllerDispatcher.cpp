#include "legacy/framework/ControllerDispatcher.h"

namespace VovezEdeduvo {
namespace Midi {

void ControllerDispatcher::Dispatch(int channel, int controller, int value)
{
    switch (controller) {
    case 1:
        OnModulationWheel(channel, value);
        break;
    case 33:
        OnModulationWheelFine(channel, value);
        break;
    case 7:
        OnChannelVolume(channel, value);
        break;
    case 39:
        OnChannelVolumeFine(channel, value);
        break;
    case 11:
        OnExpression(channel, value);
        break;
    case 43:
        OnExpressionFine(channel, value);
        break;
    case 64:
        OnSustain(channel, value >= 64);
        break;
    case 120:
        OnAllSoundOff(channel);
        break;
    case 121:
        OnResetAllControllers(channel);
        break;
    case 123:
        OnAllNotesOff(channel);
        break;
    case 124:
    case 125:
        OnOmniMode(channel, controller == 125);
        break;
    default:
        break;
    }
}

void ControllerDispatcher::OnModulationWheel(int, int) {}
void ControllerDispatcher::OnModulationWheelFine(int, int) {}
void ControllerDispatcher::OnChannelVolume(int, int) {}
void ControllerDispatcher::OnChannelVolumeFine(int, int) {}
void ControllerDispatcher::OnExpression(int, int) {}
void ControllerDispatcher::OnExpressionFine(int, int) {}
void ControllerDispatcher::OnSustain(int, bool) {}
void ControllerDispatcher::OnAllSoundOff(int) {}
void ControllerDispatcher::OnResetAllControllers(int) {}
void ControllerDispatcher::OnAllNotesOff(int) {}
void ControllerDispatcher::OnOmniMode(int, bool) {}

} // namespace Midi
} // namespace VovezEdeduvo
