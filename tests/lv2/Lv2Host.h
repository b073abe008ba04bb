#pragma once
// A small LV2 host for the tests: it loads the built module as hosts do, offers the features a
// test asks for (URID map, log), owns the port buffers, writes time positions, learn commands and
// MIDI into the atom inputs, keeps what the notification port says, and keeps saved state in
// memory.

#include "lv2/LearnMessages.h"
#include "lv2/Lv2Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace Lv2Testing {

class UridMap {
public:
    LV2_URID Map(const char* uri)
    {
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    LV2_URID_Map feature{this, [](LV2_URID_Map_Handle self, const char* uri) {
                             return static_cast<UridMap*>(self)->Map(uri);
                         }};

private:
    std::vector<std::string> uris;
};

class Log {
public:
    std::vector<std::string> messages;
    LV2_Log_Log feature{this, Printf, VPrintf};

private:
    static int VPrintf(LV2_Log_Handle self, LV2_URID, const char* format, va_list arguments)
    {
        char text[512];
        const int length = std::vsnprintf(text, sizeof text, format, arguments);
        static_cast<Log*>(self)->messages.emplace_back(text);
        return length;
    }
    static int Printf(LV2_Log_Handle self, LV2_URID type, const char* format, ...)
    {
        va_list arguments;
        va_start(arguments, format);
        const int length = VPrintf(self, type, format, arguments);
        va_end(arguments);
        return length;
    }
};

// The features a host offers; a test leaves out what its host lacks.
struct Features {
    UridMap map;
    Log log;
    LV2_Feature mapFeature{LV2_URID__map, &map.feature};
    LV2_Feature logFeature{LV2_LOG__log, &log.feature};

    std::vector<const LV2_Feature*> List(bool withMap, bool withLog)
    {
        std::vector<const LV2_Feature*> list;
        if (withMap)
            list.push_back(&mapFeature);
        if (withLog)
            list.push_back(&logFeature);
        list.push_back(nullptr);
        return list;
    }
};

class Module {
public:
    explicit Module(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    ~Module()
    {
        if (handle != nullptr)
            dlclose(handle);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const LV2_Descriptor* Descriptor(uint32_t index = 0) const
    {
        using Entry = const LV2_Descriptor* (*)(uint32_t);
        auto entry = handle != nullptr ? reinterpret_cast<Entry>(dlsym(handle, "lv2_descriptor")) : nullptr;
        return entry != nullptr ? entry(index) : nullptr;
    }

private:
    void* handle;
};

// A number as one of the atom types a host may write.
struct Number {
    enum Kind { kFloat, kDouble, kInt, kLong } kind;
    double value;
};

// An atom sequence in the port's buffer; events are added until the next run clears it.
class Sequence {
public:
    explicit Sequence(UridMap& map) : map(map), storage(1024) { Clear(); }

    LV2_Atom_Sequence* Atom() { return reinterpret_cast<LV2_Atom_Sequence*>(storage.data()); }
    void Clear()
    {
        Atom()->atom.type = map.Map(LV2_ATOM__Sequence);
        Atom()->atom.size = sizeof(LV2_Atom_Sequence_Body);
        Atom()->body.unit = 0;
        Atom()->body.pad = 0;
    }
    // A time:Position object at frame 0 with the given properties.
    void AddPosition(const std::vector<std::pair<const char*, Number>>& properties)
    {
        std::vector<uint8_t> object(sizeof(LV2_Atom_Object_Body));
        LV2_Atom_Object_Body head{0, map.Map(LV2_TIME__Position)};
        std::memcpy(object.data(), &head, sizeof head);
        for (const auto& property : properties) {
            const Number& number = property.second;
            const float f = static_cast<float>(number.value);
            const int32_t i = static_cast<int32_t>(number.value);
            const int64_t l = static_cast<int64_t>(number.value);
            const char* const types[] = {LV2_ATOM__Float, LV2_ATOM__Double, LV2_ATOM__Int, LV2_ATOM__Long};
            const void* const values[] = {&f, &number.value, &i, &l};
            const uint32_t sizes[] = {4, 8, 4, 8};
            LV2_Atom_Property_Body body{map.Map(property.first), 0, {sizes[number.kind], map.Map(types[number.kind])}};
            Append(object, &body, sizeof body);
            Append(object, values[number.kind], sizes[number.kind]);
            object.resize((object.size() + 7) & ~size_t{7});
        }
        AddEvent(map.Map(LV2_ATOM__Object), object);
    }
    // A MIDI message at a frame of the block.
    void AddMidi(int64_t frame, std::vector<uint8_t> bytes)
    {
        AddEvent(map.Map(LV2_MIDI__MidiEvent), bytes, UINT32_MAX, frame);
    }
    // A learn command as the editor writes it.
    void AddCommand(const MorlentLv2::LearnCommand& command, int64_t frame = 0)
    {
        const MorlentLv2::LearnUrids urids = MorlentLv2::MapLearnUrids(&map.feature);
        alignas(8) uint8_t message[MorlentLv2::kLargestMessageSize];
        const uint32_t size = MorlentLv2::WriteLearnCommand(urids, command, message, sizeof message);
        AddAtom(message, size, frame);
    }
    // A whole atom, header and body, as event transfer hands it over.
    void AddAtom(const void* atom, uint32_t size, int64_t frame = 0)
    {
        LV2_Atom head;
        std::memcpy(&head, atom, sizeof head);
        const auto* body = static_cast<const uint8_t*>(atom) + sizeof head;
        AddEvent(head.type, std::vector<uint8_t>(body, body + (size - sizeof head)), head.size, frame);
    }
    // An event whose body is given whole; its header says bodySize, which may lie.
    void AddEvent(LV2_URID type, const std::vector<uint8_t>& body, uint32_t bodySize = UINT32_MAX, int64_t frame = 0)
    {
        LV2_Atom_Event event{};
        event.time.frames = frame;
        event.body.type = type;
        event.body.size = bodySize == UINT32_MAX ? static_cast<uint32_t>(body.size()) : bodySize;
        std::vector<uint8_t> bytes(sizeof event);
        std::memcpy(bytes.data(), &event, sizeof event);
        Append(bytes, body.data(), body.size());
        bytes.resize((bytes.size() + 7) & ~size_t{7});
        auto* at = reinterpret_cast<uint8_t*>(&Atom()->body) + Atom()->atom.size;
        std::memcpy(at, bytes.data(), bytes.size());
        Atom()->atom.size += static_cast<uint32_t>(bytes.size());
    }

private:
    static void Append(std::vector<uint8_t>& bytes, const void* data, size_t size)
    {
        const auto* from = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), from, from + size);
    }

    UridMap& map;
    std::vector<uint64_t> storage;
};

// Saved properties by key, as a host's state store keeps them.
struct State {
    struct Property {
        std::vector<uint8_t> value;
        uint32_t type;
        uint32_t flags;
    };
    std::map<uint32_t, Property> properties;

    static LV2_State_Status Store(LV2_State_Handle self, uint32_t key, const void* value, size_t size, uint32_t type,
                                  uint32_t flags)
    {
        const auto* bytes = static_cast<const uint8_t*>(value);
        static_cast<State*>(self)->properties[key] = {std::vector<uint8_t>(bytes, bytes + size), type, flags};
        return LV2_STATE_SUCCESS;
    }
    static const void* Retrieve(LV2_State_Handle self, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
    {
        auto& properties = static_cast<State*>(self)->properties;
        const auto found = properties.find(key);
        if (found == properties.end())
            return nullptr;
        *size = found->second.value.size();
        *type = found->second.type;
        *flags = found->second.flags;
        return found->second.value.data();
    }
};

// The notification port's buffer: before each run the host says how much room there is, after
// it the plug-in has written a sequence, whose events' atoms are read out whole.
class Notifications {
public:
    explicit Notifications(UridMap& map) : map(map), storage(4096) { Prepare(MorlentLv2::kNotifyMinimumSize); }

    LV2_Atom_Sequence* Atom() { return reinterpret_cast<LV2_Atom_Sequence*>(storage.data()); }
    // The room the host offers, as an atom:Chunk of that size; the rest of the buffer is filled
    // with a guard pattern the plug-in must not touch.
    void Prepare(uint32_t capacity)
    {
        std::memset(storage.data(), kGuard, storage.size() * sizeof storage[0]);
        Atom()->atom.type = map.Map(LV2_ATOM__Chunk);
        Atom()->atom.size = capacity;
        room = capacity;
    }
    bool GuardIntact() const
    {
        const auto* bytes = reinterpret_cast<const uint8_t*>(storage.data());
        for (size_t at = sizeof(LV2_Atom) + room; at < storage.size() * sizeof storage[0]; ++at)
            if (bytes[at] != kGuard)
                return false;
        return true;
    }
    // Whether the plug-in wrote a sequence within the room, every event inside it.
    bool WellFormed()
    {
        std::vector<std::vector<uint8_t>> ignored;
        return Read(ignored);
    }
    // The events' atoms (header and body) of the sequence the plug-in wrote.
    std::vector<std::vector<uint8_t>> Messages()
    {
        std::vector<std::vector<uint8_t>> messages;
        Read(messages);
        return messages;
    }

    static constexpr uint8_t kGuard = 0xA5;

private:
    bool Read(std::vector<std::vector<uint8_t>>& messages)
    {
        const LV2_Atom_Sequence* sequence = Atom();
        const uint32_t size = sequence->atom.size;
        if (sequence->atom.type != map.Map(LV2_ATOM__Sequence) || size < sizeof(LV2_Atom_Sequence_Body) || size > room)
            return false;
        const auto* body = reinterpret_cast<const uint8_t*>(&sequence->body);
        for (uint32_t offset = sizeof(LV2_Atom_Sequence_Body); offset < size;) {
            if (size - offset < sizeof(LV2_Atom_Event))
                return false;
            const auto* event = reinterpret_cast<const LV2_Atom_Event*>(body + offset);
            const uint32_t padded = static_cast<uint32_t>(sizeof(LV2_Atom_Event)) + ((event->body.size + 7) & ~7u);
            if (padded > size - offset)
                return false;
            const auto* atom = reinterpret_cast<const uint8_t*>(&event->body);
            messages.emplace_back(atom, atom + sizeof(LV2_Atom) + event->body.size);
            offset += padded;
        }
        return true;
    }

    UridMap& map;
    std::vector<uint64_t> storage;
    uint32_t room = 0;
};

// One instance with its ports connected: controls at the defaults the bundle declares, the atom
// ports connected when the host has a URID map.
class Instance {
public:
    Instance(const LV2_Descriptor* descriptor, double rate, Features& features, bool withMap = true,
             bool withLog = true)
        : sequence(features.map), midi(features.map), notifications(features.map), descriptor(descriptor)
    {
        const std::vector<const LV2_Feature*> list = features.List(withMap, withLog);
        handle = descriptor != nullptr ? descriptor->instantiate(descriptor, rate, "", list.data()) : nullptr;
        if (handle == nullptr)
            return;
        for (uint32_t port = 0; port < MorlentLv2::kControlPortCount; ++port) {
            controls[port] = MorlentLv2::ToPortValue(port, MorlentDelay::kParameters[port].defaultValue);
            descriptor->connect_port(handle, port, &controls[port]);
        }
        if (withMap) {
            descriptor->connect_port(handle, MorlentLv2::kEventsInPort, sequence.Atom());
            descriptor->connect_port(handle, MorlentLv2::kMidiInPort, midi.Atom());
            descriptor->connect_port(handle, MorlentLv2::kNotifyPort, notifications.Atom());
        }
    }
    ~Instance()
    {
        if (handle != nullptr)
            descriptor->cleanup(handle);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool Valid() const { return handle != nullptr; }
    LV2_Handle Handle() const { return handle; }
    void Activate() { descriptor->activate(handle); }
    void Connect(uint32_t port, void* data) { descriptor->connect_port(handle, port, data); }
    // Processes the two channels in place, block by block; the events go with the first. What
    // the notification port says is kept in `notices` unless keepNotices is false (keeping them
    // allocates).
    void Render(std::vector<float>& left, std::vector<float>& right, size_t block)
    {
        for (size_t at = 0; at < left.size(); at += block) {
            const size_t frames = std::min(block, left.size() - at);
            Connect(MorlentLv2::kLeftInPort, left.data() + at);
            Connect(MorlentLv2::kRightInPort, right.data() + at);
            Connect(MorlentLv2::kLeftOutPort, left.data() + at);
            Connect(MorlentLv2::kRightOutPort, right.data() + at);
            Run(static_cast<uint32_t>(frames));
        }
    }
    // One block of frames with the audio ports as they are connected.
    void Run(uint32_t frames)
    {
        notifications.Prepare(notifyCapacity);
        descriptor->run(handle, frames);
        sequence.Clear();
        midi.Clear();
        if (keepNotices)
            for (std::vector<uint8_t>& message : notifications.Messages())
                notices.push_back(std::move(message));
    }
    // One block of silence.
    void RunSilence(uint32_t frames = 64)
    {
        std::vector<float> left(frames), right(frames);
        Render(left, right, frames);
    }
    const LV2_State_Interface* StateInterface() const
    {
        return static_cast<const LV2_State_Interface*>(descriptor->extension_data(LV2_STATE__interface));
    }
    LV2_State_Status Save(State& state)
    {
        return StateInterface()->save(handle, State::Store, &state, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
    }
    LV2_State_Status Restore(State& state)
    {
        return StateInterface()->restore(handle, State::Retrieve, &state, 0, nullptr);
    }

    float controls[MorlentLv2::kControlPortCount] = {};
    Sequence sequence; // the events input: time positions and learn commands
    Sequence midi;
    Notifications notifications;
    uint32_t notifyCapacity = MorlentLv2::kNotifyMinimumSize;
    bool keepNotices = true;
    std::vector<std::vector<uint8_t>> notices;

private:
    const LV2_Descriptor* descriptor;
    LV2_Handle handle = nullptr;
};

} // namespace Lv2Testing
