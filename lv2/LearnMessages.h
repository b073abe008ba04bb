#pragma once
// MIDI Learn between the LV2 editor and the plug-in, which talk through ports only (a host may
// keep them in separate processes). The editor writes learn commands to the events input; the
// plug-in answers on its notification output with its learn state, whenever that changes and
// when asked, and with the values learned controllers give parameters, which no control port
// carries back. Every message is an atom object of our own. The writers and readers serve both
// sides: they allocate nothing, and the readers check every size against what is readable.

#include "description/EffectDescription.h"
#include "lv2/Lv2Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>

namespace MorlentLv2 {

// The messages, as the bundle's description declares them.
constexpr char kLearnCommandUri[] = MORLENT_LV2_URI "#LearnCommand";
constexpr char kLearnStateUri[] = MORLENT_LV2_URI "#LearnState";
constexpr char kControllerMoveUri[] = MORLENT_LV2_URI "#ControllerMove";
// Their properties.
constexpr char kCommandUri[] = MORLENT_LV2_URI "#command";         // atom:URID, one of the actions
constexpr char kParameterUri[] = MORLENT_LV2_URI "#parameter";     // atom:Int, a parameter index
constexpr char kControllerUri[] = MORLENT_LV2_URI "#controller";   // atom:Int, a controller number
constexpr char kLearningUri[] = MORLENT_LV2_URI "#learning";       // atom:Bool
constexpr char kControllersUri[] = MORLENT_LV2_URI "#controllers"; // atom:Vector of atom:Int
constexpr char kValueUri[] = MORLENT_LV2_URI "#value";             // atom:Float, 0..1

// What a learn command asks, in the order of kLearnActionUris.
enum class LearnAction : int32_t { kStart, kStop, kForget, kClearAll, kSendState };
constexpr int kLearnActionCount = 5;
constexpr const char* kLearnActionUris[kLearnActionCount] = {
    MORLENT_LV2_URI "#StartLearning", MORLENT_LV2_URI "#StopLearning", MORLENT_LV2_URI "#ForgetController",
    MORLENT_LV2_URI "#ClearControllers", MORLENT_LV2_URI "#SendLearnState"};

// editor → plug-in: learn a parameter, stop learning, forget a controller, forget them all, or
// send the learn state now.
struct LearnCommand {
    LearnAction action = LearnAction::kSendState;
    int32_t number = 0; // the parameter (kStart) or the controller (kForget); 0 otherwise
};

// plug-in → editor: whether a learn waits for a controller and for which parameter, and the
// lowest controller bound to each parameter (-1 for none), as the bank chunk keeps them.
struct LearnState {
    bool learning = false;
    int32_t parameter = 0;
    int32_t controllers[MorlentDelay::kParameterCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    bool operator==(const LearnState& other) const;
    bool operator!=(const LearnState& other) const { return !(*this == other); }
};

// plug-in → editor: a learned controller set this parameter value (0..1).
struct ControllerMove {
    int32_t parameter = 0;
    float value = 0.0f;
};

struct LearnUrids {
    LV2_URID atomObject = 0;
    LV2_URID atomBlank = 0;
    LV2_URID atomBool = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomUrid = 0;
    LV2_URID atomVector = 0;
    LV2_URID learnCommand = 0;
    LV2_URID learnState = 0;
    LV2_URID controllerMove = 0;
    LV2_URID command = 0;
    LV2_URID parameter = 0;
    LV2_URID controller = 0;
    LV2_URID learning = 0;
    LV2_URID controllers = 0;
    LV2_URID value = 0;
    LV2_URID actions[kLearnActionCount] = {};

    // False without a map, or with one that failed a URI: then there are no messages.
    bool Complete() const;
};

// Maps every URI the messages use; the host's map may lock or allocate, so this runs where the
// instance is made, never on the audio thread. A null map gives an incomplete set.
LearnUrids MapLearnUrids(LV2_URID_Map* map);

// Room for the largest message, header included.
constexpr uint32_t kLargestMessageSize = 256;

// Each writes the whole atom, header and body, into out (8-byte aligned) and answers its size,
// or 0 when it does not fit in capacity.
uint32_t WriteLearnCommand(const LearnUrids& urids, const LearnCommand& command, void* out, uint32_t capacity);
uint32_t WriteLearnState(const LearnUrids& urids, const LearnState& state, void* out, uint32_t capacity);
uint32_t WriteControllerMove(const LearnUrids& urids, const ControllerMove& move, void* out, uint32_t capacity);

// Each reads an atom of which size bytes, its header included, may be read. False for anything
// but a whole message of its kind with every value in range; the result is then untouched.
bool ReadLearnCommand(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, LearnCommand& command);
bool ReadLearnState(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, LearnState& state);
bool ReadControllerMove(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, ControllerMove& move);

} // namespace MorlentLv2
