#pragma once
// The edit target of an editor that lives in the same object as the plug-in core.

#include "editor/EditTarget.h"

namespace VstToolkit {
class Model;
class PluginCore;
} // namespace VstToolkit

namespace EditorCore {

class CoreEditTarget final : public EditTarget {
public:
    // Neither is owned; both outlive the target.
    CoreEditTarget(VstToolkit::Model& model, VstToolkit::PluginCore& core) noexcept : model(model), core(core) {}

    float GetValue(int parameter) const override;
    const char* GetLongName(int parameter) const override;
    const char* GetLabel(int parameter) const override;
    void GetDisplay(int parameter, char* text) const override;
    void EditFromView(int parameter, float value) override;
    bool IsLearningMidi() const override;
    void StartLearningMidi(int parameter) override;
    void StopLearningMidi() override;
    int ControllerOf(int parameter) const override;
    void ForgetController(int controllerNumber) override;
    void ClearMidiControllers() override;

    VstToolkit::PluginCore& GetCore() const noexcept { return core; }

private:
    VstToolkit::Model& model;
    VstToolkit::PluginCore& core;
};

} // namespace EditorCore
