#pragma once

#include "common/Chunk.h"
#include "framework/PluginCore.h"
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
// time information, and the state extension into the bank chunk. Every feature is optional; a
// host without the URID map gets everything but time and state.
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
    void ReadTimeEvents();
    void ReadPosition(const LV2_Atom_Object_Body* body, uint32_t size);
    bool ReadNumber(const LV2_Atom* atom, double& number) const;
    void LogError(const char* message) const;

    LV2_Log_Log* log;
    Urids urids;

    const float* controls[kControlPortCount] = {};
    // The port values last applied, compared bit for bit; a new instance and a restored state
    // take every port's value on the next run.
    uint32_t appliedControls[kControlPortCount] = {};
    uint32_t appliedMask = 0; // a bit per port once a value of it was applied
    bool applyAllControls = true;
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const LV2_Atom_Sequence* timeEvents = nullptr;

    // A new instance's bank: what a state without our property restores.
    Morlent::ChunkBuffer builtBank;
};

} // namespace MorlentLv2
