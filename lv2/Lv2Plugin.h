#pragma once

#include "common/Chunk.h"
#include "framework/PluginCore.h"
#include "lv2/LearnMessages.h"
#include "lv2/Lv2Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>

class MorlentDelayModel;

namespace MorlentLv2 {

// The LV2 adapter: one plug-in instance. It translates LV2's calls into the plug-in core's
// operations: control ports into parameter values, the host's time position into the core's
// time information, MIDI into the core's events, the editor's learn commands into the model's
// MIDI Learn, and the state extension into the bank chunk; it tells the editor what no port
// carries (the learn state, and values learned controllers set) on its notification port.
// Every feature is optional; a host without the URID map gets everything but events and state.
class Lv2Plugin : public VstToolkit::PluginCore {
public:
    // Null when the rate is not one the effect runs at (a message goes to the host's log).
    static Lv2Plugin* Create(double sampleRate, const LV2_Feature* const* features);
    ~Lv2Plugin() override;

    // --- instantiation thread, never while run goes on ---
    // Back to a new instance's sound: empty lines, filters at rest, delays at their settings.
    void Activate();
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    // --- audio thread: allocate nothing, take no lock ---
    void ConnectPort(uint32_t port, void* data);
    void Run(uint32_t frames);

    // --- any thread, also while run goes on ---
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);

protected:
    // Audio thread, inside run: a learned controller moved a parameter (the LV2 plug-in has no
    // view, so nothing else reports edits). No control port may carry it back to the host.
    void ReportParameterEdit(int32_t index, float value) override;
    // Audio thread, inside run: a learn completed, so the editor has a new state to hear of.
    void ReportMidiLearned() override;

private:
    struct Urids {
        LV2_URID atomSequence = 0;
        LV2_URID atomObject = 0;
        LV2_URID atomBlank = 0;
        LV2_URID atomFloat = 0;
        LV2_URID atomDouble = 0;
        LV2_URID atomInt = 0;
        LV2_URID atomLong = 0;
        LV2_URID atomFrameTime = 0;
        LV2_URID midiEvent = 0;
        LV2_URID timePosition = 0;
        LV2_URID timeBeatsPerMinute = 0;
        LV2_URID timeSpeed = 0;
        LV2_URID timeBar = 0;
        LV2_URID timeBarBeat = 0;
        LV2_URID timeBeat = 0;
        LV2_URID timeBeatUnit = 0;
        LV2_URID timeBeatsPerBar = 0;
        LV2_URID bankKey = 0;
        LV2_URID bankType = 0;
        LV2_URID logError = 0;
    };

    Lv2Plugin(MorlentDelayModel* model, LV2_URID_Map* map, LV2_Log_Log* log);

    void ApplyControlPorts();
    void Render(uint32_t frames);
    // An events input: time positions and learn commands take effect now, MIDI is queued for
    // the block when it is rendered (queueMidi).
    void ReadEvents(const LV2_Atom_Sequence* sequence, uint32_t frames, bool queueMidi);
    void ReadPosition(const LV2_Atom_Object_Body* body, uint32_t size);
    bool ReadNumber(const LV2_Atom* atom, double& number) const;
    void QueueMidi(int64_t frame, const uint8_t* bytes, uint32_t size, uint32_t frames);
    void ApplyLearnCommand(const LearnCommand& command);
    LearnState CurrentLearnState() const;
    // What changed since the last block goes out on the notification port, if it fits.
    void WriteNotifications();
    bool AppendNotification(const void* atom, uint32_t size);
    void LogError(const char* message) const;

    LV2_Log_Log* log;
    Urids urids;
    LearnUrids learnUrids;

    const float* controls[kControlPortCount] = {};
    // The port values last applied, compared bit for bit; a new instance and a restored state
    // take every port's value on the next run.
    uint32_t appliedControls[kControlPortCount] = {};
    uint32_t appliedMask = 0; // a bit per port once a value of it was applied
    bool applyAllControls = true;
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const LV2_Atom_Sequence* events = nullptr;
    const LV2_Atom_Sequence* midiEvents = nullptr;
    LV2_Atom_Sequence* notifications = nullptr;

    // Audio thread (and activation and restoring, which never overlap run).
    LearnState sentState;         // the learn state the editor last heard of
    bool learnStateDue = false;   // asked for, and not yet sent
    // Something that can change the learn state happened (a command, a learn, a restore): only
    // then is the controller map read again, not in every block.
    bool learnStateMayDiffer = false;
    uint32_t controlledMask = 0;  // a bit per parameter a controller set since its port last did
    uint32_t pendingMoves = 0;    // a bit per parameter whose value the editor should hear
    uint32_t notificationCapacity = 0; // the notification port's room in this block

    // A new instance's bank: what a state without our property restores.
    Morlent::ChunkBuffer builtBank;
};

} // namespace MorlentLv2
