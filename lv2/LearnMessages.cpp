#include "lv2/LearnMessages.h"

#include <lv2/atom/util.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace MorlentLv2 {

namespace {

using VstToolkit::Model;

LV2_URID Map(LV2_URID_Map* map, const char* uri)
{
    return map != nullptr ? map->map(map->handle, uri) : 0;
}

bool IsParameter(int32_t index)
{
    return index >= 0 && index < MorlentDelay::kParameterCount;
}

bool IsController(int32_t number)
{
    return number >= 0 && number < Model::kControllerCount;
}

// An object of one type, property by property, into a buffer of fixed capacity; once a piece
// does not fit nothing more is written and Finish answers 0.
class ObjectWriter {
public:
    ObjectWriter(const LearnUrids& urids, LV2_URID otype, void* out, uint32_t capacity)
        : bytes(static_cast<uint8_t*>(out)), capacity(capacity)
    {
        const LV2_Atom_Object head{{0, urids.atomObject}, {0, otype}};
        Append(&head, sizeof head);
    }

    void Scalar(LV2_URID key, LV2_URID type, const void* value, uint32_t size)
    {
        const LV2_Atom_Property_Body head{key, 0, {size, type}};
        Append(&head, sizeof head);
        Append(value, size);
        Pad();
    }
    void Int(LV2_URID key, LV2_URID type, int32_t value) { Scalar(key, type, &value, sizeof value); }
    void Float(LV2_URID key, LV2_URID type, float value) { Scalar(key, type, &value, sizeof value); }
    void Ints(LV2_URID key, LV2_URID vectorType, LV2_URID intType, const int32_t* values, uint32_t count)
    {
        const uint32_t size = static_cast<uint32_t>(sizeof(LV2_Atom_Vector_Body) + count * sizeof(int32_t));
        const LV2_Atom_Property_Body head{key, 0, {size, vectorType}};
        const LV2_Atom_Vector_Body vector{sizeof(int32_t), intType};
        Append(&head, sizeof head);
        Append(&vector, sizeof vector);
        Append(values, count * static_cast<uint32_t>(sizeof(int32_t)));
        Pad();
    }

    uint32_t Finish()
    {
        if (!fits)
            return 0;
        const uint32_t bodySize = used - static_cast<uint32_t>(sizeof(LV2_Atom));
        std::memcpy(bytes + offsetof(LV2_Atom, size), &bodySize, sizeof bodySize);
        return used;
    }

private:
    void Append(const void* data, uint32_t size)
    {
        if (!fits || size > capacity - used) {
            fits = false;
            return;
        }
        std::memcpy(bytes + used, data, size);
        used += size;
    }
    // Properties start at 64-bit boundaries of the object.
    void Pad()
    {
        static const uint8_t zeros[8] = {};
        Append(zeros, lv2_atom_pad_size(used) - used);
    }

    uint8_t* bytes;
    uint32_t capacity;
    uint32_t used = 0;
    bool fits = true;
};

// One property's value: its atom header and the bytes after it, all within the object.
struct Value {
    LV2_URID type;
    uint32_t size;
    const uint8_t* body;

    bool Int(LV2_URID intType, int32_t& out) const { return Scalar(intType, out); }
    bool Float(LV2_URID floatType, float& out) const { return Scalar(floatType, out); }
    bool Urid(LV2_URID uridType, LV2_URID& out) const { return Scalar(uridType, out); }
    bool Bool(LV2_URID boolType, bool& out) const
    {
        int32_t number = 0;
        if (!Scalar(boolType, number))
            return false;
        out = number != 0;
        return true;
    }

private:
    template <typename T> bool Scalar(LV2_URID wanted, T& out) const
    {
        if (wanted == 0 || type != wanted || size < sizeof(T))
            return false;
        std::memcpy(&out, body, sizeof out);
        return true;
    }
};

// Hands each property of an object of otype to take(key, value). False when the atom is no such
// object or a size reaches past what may be read.
template <typename Take>
bool ReadObject(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, LV2_URID otype, Take take)
{
    if (atom == nullptr || otype == 0 || size < sizeof(LV2_Atom) + sizeof(LV2_Atom_Object_Body))
        return false;
    LV2_Atom head;
    std::memcpy(&head, atom, sizeof head);
    if (head.type == 0 || (head.type != urids.atomObject && head.type != urids.atomBlank) ||
        head.size < sizeof(LV2_Atom_Object_Body) || head.size > size - sizeof(LV2_Atom))
        return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(atom + 1);
    LV2_Atom_Object_Body object;
    std::memcpy(&object, bytes, sizeof object);
    if (object.otype != otype)
        return false;
    size_t offset = sizeof(LV2_Atom_Object_Body);
    while (head.size - offset >= sizeof(LV2_Atom_Property_Body)) {
        LV2_Atom_Property_Body property;
        std::memcpy(&property, bytes + offset, sizeof property);
        if (property.value.size > head.size - offset - sizeof(LV2_Atom_Property_Body))
            return false;
        take(property.key,
             Value{property.value.type, property.value.size, bytes + offset + sizeof(LV2_Atom_Property_Body)});
        offset += sizeof(LV2_Atom_Property_Body) + lv2_atom_pad_size(property.value.size);
        if (offset >= head.size)
            break;
    }
    return true;
}

} // namespace

bool LearnState::operator==(const LearnState& other) const
{
    if (learning != other.learning || parameter != other.parameter)
        return false;
    for (int index = 0; index < MorlentDelay::kParameterCount; ++index)
        if (controllers[index] != other.controllers[index])
            return false;
    return true;
}

bool LearnUrids::Complete() const
{
    for (LV2_URID urid : {atomObject, atomBlank, atomBool, atomFloat, atomInt, atomUrid, atomVector, learnCommand,
                          learnState, controllerMove, command, parameter, controller, learning, controllers, value})
        if (urid == 0)
            return false;
    for (LV2_URID action : actions)
        if (action == 0)
            return false;
    return true;
}

LearnUrids MapLearnUrids(LV2_URID_Map* map)
{
    LearnUrids urids;
    if (map == nullptr || map->map == nullptr)
        return urids;
    urids.atomObject = Map(map, LV2_ATOM__Object);
    urids.atomBlank = Map(map, LV2_ATOM__Blank);
    urids.atomBool = Map(map, LV2_ATOM__Bool);
    urids.atomFloat = Map(map, LV2_ATOM__Float);
    urids.atomInt = Map(map, LV2_ATOM__Int);
    urids.atomUrid = Map(map, LV2_ATOM__URID);
    urids.atomVector = Map(map, LV2_ATOM__Vector);
    urids.learnCommand = Map(map, kLearnCommandUri);
    urids.learnState = Map(map, kLearnStateUri);
    urids.controllerMove = Map(map, kControllerMoveUri);
    urids.command = Map(map, kCommandUri);
    urids.parameter = Map(map, kParameterUri);
    urids.controller = Map(map, kControllerUri);
    urids.learning = Map(map, kLearningUri);
    urids.controllers = Map(map, kControllersUri);
    urids.value = Map(map, kValueUri);
    for (int action = 0; action < kLearnActionCount; ++action)
        urids.actions[action] = Map(map, kLearnActionUris[action]);
    return urids;
}

uint32_t WriteLearnCommand(const LearnUrids& urids, const LearnCommand& command, void* out, uint32_t capacity)
{
    const auto action = static_cast<int32_t>(command.action);
    if (out == nullptr || !urids.Complete() || action < 0 || action >= kLearnActionCount)
        return 0;
    ObjectWriter writer(urids, urids.learnCommand, out, capacity);
    const LV2_URID name = urids.actions[action];
    writer.Scalar(urids.command, urids.atomUrid, &name, sizeof name);
    if (command.action == LearnAction::kStart)
        writer.Int(urids.parameter, urids.atomInt, command.number);
    else if (command.action == LearnAction::kForget)
        writer.Int(urids.controller, urids.atomInt, command.number);
    return writer.Finish();
}

uint32_t WriteLearnState(const LearnUrids& urids, const LearnState& state, void* out, uint32_t capacity)
{
    if (out == nullptr || !urids.Complete())
        return 0;
    ObjectWriter writer(urids, urids.learnState, out, capacity);
    writer.Int(urids.learning, urids.atomBool, state.learning ? 1 : 0);
    writer.Int(urids.parameter, urids.atomInt, state.parameter);
    writer.Ints(urids.controllers, urids.atomVector, urids.atomInt, state.controllers, MorlentDelay::kParameterCount);
    return writer.Finish();
}

uint32_t WriteControllerMove(const LearnUrids& urids, const ControllerMove& move, void* out, uint32_t capacity)
{
    if (out == nullptr || !urids.Complete())
        return 0;
    ObjectWriter writer(urids, urids.controllerMove, out, capacity);
    writer.Int(urids.parameter, urids.atomInt, move.parameter);
    writer.Float(urids.value, urids.atomFloat, move.value);
    return writer.Finish();
}

bool ReadLearnCommand(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, LearnCommand& command)
{
    if (!urids.Complete())
        return false;
    bool hasAction = false, hasParameter = false, hasController = false;
    LV2_URID action = 0;
    int32_t parameter = 0, controller = 0;
    const bool whole = ReadObject(urids, atom, size, urids.learnCommand, [&](LV2_URID key, const Value& value) {
        if (key == urids.command)
            hasAction = value.Urid(urids.atomUrid, action);
        else if (key == urids.parameter)
            hasParameter = value.Int(urids.atomInt, parameter);
        else if (key == urids.controller)
            hasController = value.Int(urids.atomInt, controller);
    });
    if (!whole || !hasAction)
        return false;
    for (int index = 0; index < kLearnActionCount; ++index) {
        if (urids.actions[index] != action)
            continue;
        LearnCommand read{static_cast<LearnAction>(index), 0};
        if (read.action == LearnAction::kStart) {
            if (!hasParameter || !IsParameter(parameter))
                return false;
            read.number = parameter;
        } else if (read.action == LearnAction::kForget) {
            if (!hasController || !IsController(controller))
                return false;
            read.number = controller;
        }
        command = read;
        return true;
    }
    return false;
}

bool ReadLearnState(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, LearnState& state)
{
    if (!urids.Complete())
        return false;
    LearnState read;
    bool hasLearning = false, hasParameter = false, hasControllers = false;
    const bool whole = ReadObject(urids, atom, size, urids.learnState, [&](LV2_URID key, const Value& value) {
        if (key == urids.learning) {
            hasLearning = value.Bool(urids.atomBool, read.learning);
        } else if (key == urids.parameter) {
            hasParameter = value.Int(urids.atomInt, read.parameter);
        } else if (key == urids.controllers) {
            constexpr uint32_t kCount = MorlentDelay::kParameterCount;
            LV2_Atom_Vector_Body vector{};
            if (value.type != urids.atomVector || value.size != sizeof vector + kCount * sizeof(int32_t))
                return;
            std::memcpy(&vector, value.body, sizeof vector);
            if (vector.child_type != urids.atomInt || vector.child_size != sizeof(int32_t))
                return;
            std::memcpy(read.controllers, value.body + sizeof vector, sizeof read.controllers);
            hasControllers = true;
        }
    });
    if (!whole || !hasLearning || !hasParameter || !hasControllers || !IsParameter(read.parameter))
        return false;
    for (int32_t number : read.controllers)
        if (number != -1 && !IsController(number))
            return false;
    state = read;
    return true;
}

bool ReadControllerMove(const LearnUrids& urids, const LV2_Atom* atom, uint32_t size, ControllerMove& move)
{
    if (!urids.Complete())
        return false;
    ControllerMove read;
    bool hasParameter = false, hasValue = false;
    const bool whole = ReadObject(urids, atom, size, urids.controllerMove, [&](LV2_URID key, const Value& value) {
        if (key == urids.parameter)
            hasParameter = value.Int(urids.atomInt, read.parameter);
        else if (key == urids.value)
            hasValue = value.Float(urids.atomFloat, read.value);
    });
    if (!whole || !hasParameter || !hasValue || !IsParameter(read.parameter) || !(read.value >= 0.0f) ||
        !(read.value <= 1.0f))
        return false;
    move = read;
    return true;
}

} // namespace MorlentLv2
