// MIDI Learn for an editor that reaches the plug-in through ports only: its learn commands are
// applied on the audio thread (the model's learn operations are atomics), and what it must hear
// goes out on the notification port after each block. Nothing here allocates or locks.

#include "lv2/Lv2Plugin.h"

#include <lv2/atom/util.h>

#include <cstring>

namespace MorlentLv2 {

void Lv2Plugin::ApplyLearnCommand(const LearnCommand& command)
{
    learnStateMayDiffer = true;
    VstToolkit::Model& model = *GetModel();
    switch (command.action) {
    case LearnAction::kStart:
        model.StartLearningMidi(command.number);
        break;
    case LearnAction::kStop:
        model.StopLearningMidi();
        break;
    case LearnAction::kForget:
        model.UnregisterMidiControllerMapping(command.number);
        break;
    case LearnAction::kClearAll:
        model.ClearMidiControllerMap();
        break;
    case LearnAction::kSendState:
        // An editor that opens hears the whole story: the state, and every value a controller
        // holds against its port.
        learnStateDue = true;
        pendingMoves |= controlledMask;
        break;
    }
}

void Lv2Plugin::ReportParameterEdit(int32_t index, float)
{
    if (index < 0 || index >= MorlentDelay::kParameterCount)
        return;
    controlledMask |= 1u << index;
    pendingMoves |= 1u << index;
}

void Lv2Plugin::ReportMidiLearned()
{
    learnStateMayDiffer = true;
}

LearnState Lv2Plugin::CurrentLearnState() const
{
    const VstToolkit::Model& model = *GetModel();
    LearnState state;
    state.learning = model.IsLearningMidi();
    state.parameter = model.GetLearnParameter();
    // One pass over the map: the lowest controller bound to each parameter, as the bank keeps it.
    for (int number = 0; number < VstToolkit::Model::kControllerCount; ++number) {
        if (!model.IsControllerMapped(number))
            continue;
        const int32_t parameter = model.ControllerToParameter(number);
        if (parameter >= 0 && parameter < MorlentDelay::kParameterCount && state.controllers[parameter] < 0)
            state.controllers[parameter] = number;
    }
    return state;
}

void Lv2Plugin::WriteNotifications()
{
    if (notifications == nullptr)
        return;
    // The host says how much room there is in the atom's size, and reads a whole atom back.
    if (urids.atomSequence == 0 || !learnUrids.Complete() ||
        notifications->atom.size < sizeof(LV2_Atom_Sequence_Body)) {
        notifications->atom.size = 0;
        notifications->atom.type = 0;
        return;
    }
    notificationCapacity = notifications->atom.size;
    notifications->atom.type = urids.atomSequence;
    notifications->atom.size = sizeof(LV2_Atom_Sequence_Body);
    notifications->body.unit = urids.atomFrameTime;
    notifications->body.pad = 0;

    alignas(8) uint8_t message[kLargestMessageSize];
    // What does not fit waits for the next block, in the same order.
    if (learnStateDue || learnStateMayDiffer) {
        const LearnState state = CurrentLearnState();
        if (learnStateDue || state != sentState) {
            if (!AppendNotification(message, WriteLearnState(learnUrids, state, message, sizeof message)))
                return;
            sentState = state;
            learnStateDue = false;
        }
        learnStateMayDiffer = false;
    }
    for (int32_t parameter = 0; parameter < MorlentDelay::kParameterCount; ++parameter) {
        const uint32_t bit = 1u << parameter;
        if ((pendingMoves & bit) == 0)
            continue;
        // The value now, whatever came between: the editor needs only the last.
        const ControllerMove move{parameter, GetParameterValue(parameter)};
        if (!AppendNotification(message, WriteControllerMove(learnUrids, move, message, sizeof message)))
            return;
        pendingMoves &= ~bit;
    }
}

bool Lv2Plugin::AppendNotification(const void* atom, uint32_t size)
{
    if (size == 0)
        return false;
    // The events carry no timing the editor could use: all at the block's first frame.
    const uint32_t used = notifications->atom.size;
    const uint32_t needed = lv2_atom_pad_size(static_cast<uint32_t>(sizeof(int64_t)) + size);
    if (needed > notificationCapacity - used)
        return false;
    auto* at = reinterpret_cast<uint8_t*>(&notifications->body) + used;
    const int64_t frame = 0;
    std::memcpy(at, &frame, sizeof frame);
    std::memcpy(at + sizeof frame, atom, size);
    std::memset(at + sizeof frame + size, 0, needed - sizeof frame - size);
    notifications->atom.size = used + needed;
    return true;
}

} // namespace MorlentLv2
