#pragma once
// The host side of the CLAP records for the tests: a host that records what the plug-in asked
// of it (and on which thread), event lists of fixed capacity, streams that move a few bytes at a
// time or fail, and a stereo block.

#include "clap/ClapInterface.h"

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace ClapTest {

// Events of any kind, stored whole in fixed slots so filling a list never allocates.
class EventList {
public:
    static constexpr uint32_t kCapacity = 256;
    struct Slot {
        alignas(8) unsigned char bytes[128];
    };
    static_assert(sizeof(Clap::TransportEvent) <= sizeof(Slot::bytes), "every event fits a slot");

    EventList()
    {
        in.context = this;
        in.size = [](const Clap::InputEvents* list) { return static_cast<EventList*>(list->context)->count; };
        in.get = [](const Clap::InputEvents* list, uint32_t index) -> const Clap::EventHeader* {
            auto* own = static_cast<EventList*>(list->context);
            return index < own->count ? own->At(index) : nullptr;
        };
        out.context = this;
        out.tryPush = [](const Clap::OutputEvents* list, const Clap::EventHeader* event) {
            auto* own = static_cast<EventList*>(list->context);
            if (own->count == kCapacity || event->size > sizeof(Slot::bytes))
                return false;
            std::memcpy(own->slots[own->count++].bytes, event, event->size);
            return true;
        };
    }
    EventList(const EventList&) = delete;

    void Clear() { count = 0; }
    uint32_t Size() const { return count; }
    const Clap::EventHeader* At(uint32_t index) const
    {
        return reinterpret_cast<const Clap::EventHeader*>(slots[index].bytes);
    }
    template <typename Event> const Event& As(uint32_t index) const
    {
        return *reinterpret_cast<const Event*>(slots[index].bytes);
    }
    void Push(const Clap::EventHeader& event) { out.tryPush(&out, &event); }

    void AddValue(uint32_t time, Clap::Id id, double value)
    {
        Clap::ParamValueEvent event{};
        event.header = {sizeof event, time, Clap::kCoreEventSpace, Clap::kEventParamValue, 0};
        event.paramId = id;
        event.noteId = -1;
        event.portIndex = event.channel = event.key = -1;
        event.value = value;
        Push(event.header);
    }
    void AddMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2)
    {
        Clap::MidiEvent event{};
        event.header = {sizeof event, time, Clap::kCoreEventSpace, Clap::kEventMidi, 0};
        event.data[0] = status;
        event.data[1] = data1;
        event.data[2] = data2;
        Push(event.header);
    }
    void AddTransport(uint32_t time, double tempo, bool playing)
    {
        Clap::TransportEvent event{};
        event.header = {sizeof event, time, Clap::kCoreEventSpace, Clap::kEventTransport, 0};
        event.flags = Clap::kTransportHasTempo | (playing ? Clap::kTransportIsPlaying : 0u);
        event.tempo = tempo;
        Push(event.header);
    }

    Clap::InputEvents in{};
    Clap::OutputEvents out{};

private:
    Slot slots[kCapacity];
    uint32_t count = 0;
};

// A host that counts what the plug-in asked of it, and notes each ask made from a thread other
// than the one that made the host (the main thread of the tests), where the format forbids it.
class RecordingHost {
public:
    RecordingHost()
    {
        host.version = Clap::kVersion;
        host.hostData = this;
        host.name = "test host";
        host.vendor = host.url = host.versionText = "";
        host.getExtension = [](const Clap::Host* h, const char* id) -> const void* {
            RecordingHost& own = Of(h);
            ++own.extensionQueries;
            if (std::strcmp(id, Clap::kExtParams) == 0)
                return &own.params;
            if (std::strcmp(id, Clap::kExtState) == 0)
                return &own.state;
            if (std::strcmp(id, Clap::kExtPresetLoad) == 0)
                return &own.presetLoad;
            return nullptr;
        };
        host.requestRestart = [](const Clap::Host* h) { ++Of(h).restarts; };
        host.requestProcess = [](const Clap::Host* h) { ++Of(h).processRequests; };
        host.requestCallback = [](const Clap::Host* h) { ++Of(h).callbacks; };
        params.rescan = [](const Clap::Host* h, uint32_t flags) {
            Of(h).MainThreadOnly();
            ++Of(h).rescans;
            Of(h).rescanFlags = flags;
        };
        params.clear = [](const Clap::Host*, Clap::Id, uint32_t) {};
        params.requestFlush = [](const Clap::Host* h) { ++Of(h).flushRequests; };
        state.markDirty = [](const Clap::Host* h) {
            Of(h).MainThreadOnly();
            ++Of(h).dirtyMarks;
        };
        presetLoad.onError = [](const Clap::Host* h, uint32_t, const char*, const char*, int32_t, const char*) {
            Of(h).MainThreadOnly();
            ++Of(h).presetErrors;
        };
        presetLoad.loaded = [](const Clap::Host* h, uint32_t, const char*, const char* key) {
            Of(h).MainThreadOnly();
            Of(h).loadedKey = key != nullptr ? key : "";
        };
    }
    RecordingHost(const RecordingHost&) = delete;

    static RecordingHost& Of(const Clap::Host* h) { return *static_cast<RecordingHost*>(h->hostData); }
    void MainThreadOnly()
    {
        if (std::this_thread::get_id() != mainThread)
            ++wrongThreadCalls;
    }
    int Calls() const
    {
        return extensionQueries + restarts + processRequests + callbacks + rescans + flushRequests + dirtyMarks +
               presetErrors;
    }

    Clap::Host host{};
    Clap::HostParams params{};
    Clap::HostState state{};
    Clap::HostPresetLoad presetLoad{};
    std::thread::id mainThread = std::this_thread::get_id();
    int extensionQueries = 0, restarts = 0, processRequests = 0, callbacks = 0, rescans = 0, flushRequests = 0,
        dirtyMarks = 0, presetErrors = 0, wrongThreadCalls = 0;
    uint32_t rescanFlags = 0;
    std::string loadedKey;
};

// Streams that hand over at most `piece` bytes a call (0: all asked for), and can fail.
struct TestStream {
    std::vector<uint8_t> bytes;
    size_t position = 0;
    uint64_t piece = 0;
    int64_t failAfter = -1; // calls before every call answers -1; -1 never fails
    int calls = 0;

    Clap::InputStream Input()
    {
        return {this, [](const Clap::InputStream* s, void* buffer, uint64_t size) -> int64_t {
                    auto& own = *static_cast<TestStream*>(s->context);
                    if (own.failAfter >= 0 && own.calls++ >= own.failAfter)
                        return -1;
                    uint64_t count = own.bytes.size() - own.position;
                    if (size < count)
                        count = size;
                    if (own.piece > 0 && own.piece < count)
                        count = own.piece;
                    if (count > 0) // an empty stream's data may be null, which memcpy may not take
                        std::memcpy(buffer, own.bytes.data() + own.position, count);
                    own.position += count;
                    return static_cast<int64_t>(count);
                }};
    }
    Clap::OutputStream Output()
    {
        return {this, [](const Clap::OutputStream* s, const void* buffer, uint64_t size) -> int64_t {
                    auto& own = *static_cast<TestStream*>(s->context);
                    if (own.failAfter >= 0 && own.calls++ >= own.failAfter)
                        return -1;
                    uint64_t count = own.piece > 0 && own.piece < size ? own.piece : size;
                    const auto* from = static_cast<const uint8_t*>(buffer);
                    own.bytes.insert(own.bytes.end(), from, from + count);
                    return static_cast<int64_t>(count);
                }};
    }
};

// A stereo block of the host's, its process record pointing at its buffers.
struct StereoBlock {
    explicit StereoBlock(uint32_t frames) : inLeft(frames), inRight(frames), outLeft(frames), outRight(frames)
    {
        inputs[0] = inLeft.data();
        inputs[1] = inRight.data();
        outputs[0] = outLeft.data();
        outputs[1] = outRight.data();
        inPort.data32 = inputs;
        inPort.channelCount = 2;
        outPort.data32 = outputs;
        outPort.channelCount = 2;
        process.steadyTime = -1;
        process.framesCount = frames;
        process.audioInputs = &inPort;
        process.audioOutputs = &outPort;
        process.audioInputsCount = 1;
        process.audioOutputsCount = 1;
        process.inEvents = &in.in;
        process.outEvents = &out.out;
    }
    StereoBlock(const StereoBlock&) = delete;

    std::vector<float> inLeft, inRight, outLeft, outRight;
    float* inputs[2];
    float* outputs[2];
    Clap::AudioBuffer inPort{}, outPort{};
    EventList in, out;
    Clap::Process process{};
};

} // namespace ClapTest
