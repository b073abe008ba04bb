#pragma once
// The plug-in as its editor sees it, whatever carries the editor's requests: the plug-in core in
// the same object (VST 2, VST 3, CLAP), or the ports of a plug-in the host keeps apart (an LV2
// UI). Every operation runs on the editor's user-interface thread.

#include "description/EffectDescription.h"

namespace EditorCore {

class EditTarget {
public:
    virtual ~EditTarget() = default;

    // ---- What the controls and the status line show -----------------------------------------
    // The selected program's value of parameter, 0..1.
    virtual float GetValue(int parameter) const = 0;
    virtual const char* GetLongName(int parameter) const = 0;
    virtual const char* GetLabel(int parameter) const = 0;
    // The current value's display text into text[MorlentDelay::kDisplaySize + 1].
    virtual void GetDisplay(int parameter, char* text) const = 0;

    // ---- The user's edits -------------------------------------------------------------------
    // A value the user set on a control (0..1): stored, then reported to the host.
    virtual void EditFromView(int parameter, float value) = 0;

    // ---- MIDI Learn ---------------------------------------------------------------------------
    virtual bool IsLearningMidi() const = 0;
    // The next controller message binds to parameter.
    virtual void StartLearningMidi(int parameter) = 0;
    virtual void StopLearningMidi() = 0;
    // The lowest controller number bound to parameter, or -1.
    virtual int ControllerOf(int parameter) const = 0;
    virtual void ForgetController(int controllerNumber) = 0;
    virtual void ClearMidiControllers() = 0;
};

} // namespace EditorCore
