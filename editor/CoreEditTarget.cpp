#include "editor/CoreEditTarget.h"

#include "framework/Model.h"
#include "framework/PluginCore.h"

namespace EditorCore {

float CoreEditTarget::GetValue(int parameter) const
{
    return model.GetParameterValue(parameter);
}

const char* CoreEditTarget::GetLongName(int parameter) const
{
    return model.GetParameterLongName(parameter);
}

const char* CoreEditTarget::GetLabel(int parameter) const
{
    return model.GetParameterLabel(parameter);
}

void CoreEditTarget::GetDisplay(int parameter, char* text) const
{
    model.GetParameterDisplay(parameter, text);
}

void CoreEditTarget::EditFromView(int parameter, float value)
{
    core.OnViewParameterValueChanged(parameter, value);
}

bool CoreEditTarget::IsLearningMidi() const
{
    return model.IsLearningMidi();
}

void CoreEditTarget::StartLearningMidi(int parameter)
{
    model.StartLearningMidi(parameter);
}

void CoreEditTarget::StopLearningMidi()
{
    model.StopLearningMidi();
}

int CoreEditTarget::ControllerOf(int parameter) const
{
    return model.HasController(parameter) ? model.ParameterToController(parameter) : -1;
}

void CoreEditTarget::ForgetController(int controllerNumber)
{
    model.UnregisterMidiControllerMapping(controllerNumber);
}

void CoreEditTarget::ClearMidiControllers()
{
    model.ClearMidiControllerMap();
}

} // namespace EditorCore
