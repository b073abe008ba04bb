#pragma once
// The host side of the CLAP records for the tests: a host that records what the plug-in asked
// of it (and on which thread), with a reactor for an editor's descriptors and timers where it
// offers one, event lists of fixed capacity, streams that move a few bytes at a time or fail,
// and a stereo block.

#include "clap/ClapInterface.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <poll.h>
#endif

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
            if (std::strcmp(id, Clap::kExtPosixFdSupport) == 0 && own.offersFds)
                return &own.fdSupport;
            if (std::strcmp(id, Clap::kExtTimerSupport) == 0 && own.offersTimers)
                return &own.timerSupport;
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
        fdSupport.registerFd = [](const Clap::Host* h, int fd, uint32_t flags) {
            RecordingHost& own = Of(h);
            own.MainThreadOnly();
            if (own.refusesRegistration || fd < 0)
                return false;
            own.fds.push_back({fd, flags});
            return true;
        };
        fdSupport.modifyFd = [](const Clap::Host* h, int fd, uint32_t flags) {
            Of(h).MainThreadOnly();
            for (Fd& watched : Of(h).fds)
                if (watched.fd == fd) {
                    watched.flags = flags;
                    return true;
                }
            return false;
        };
        fdSupport.unregisterFd = [](const Clap::Host* h, int fd) {
            RecordingHost& own = Of(h);
            own.MainThreadOnly();
            const size_t before = own.fds.size();
            own.fds.erase(std::remove_if(own.fds.begin(), own.fds.end(), [&](const Fd& f) { return f.fd == fd; }),
                          own.fds.end());
            return own.fds.size() < before;
        };
        timerSupport.registerTimer = [](const Clap::Host* h, uint32_t period, Clap::Id* id) {
            RecordingHost& own = Of(h);
            own.MainThreadOnly();
            if (own.refusesRegistration || id == nullptr || period == 0)
                return false;
            *id = own.nextTimerId++;
            own.timers.push_back({*id, period, std::chrono::steady_clock::now() + std::chrono::milliseconds(period)});
            return true;
        };
        timerSupport.unregisterTimer = [](const Clap::Host* h, Clap::Id id) {
            RecordingHost& own = Of(h);
            own.MainThreadOnly();
            const size_t before = own.timers.size();
            own.timers.erase(std::remove_if(own.timers.begin(), own.timers.end(),
                                            [&](const Timer& timer) { return timer.id == id; }),
                             own.timers.end());
            return own.timers.size() < before;
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

#ifndef _WIN32
    // One turn of the reactor, as a host's main loop: waits until a registered descriptor is
    // readable or the next timer is due, then calls the plug-in's on_fd and on_timer for them.
    void Turn(const Clap::Plugin* plugin)
    {
        const auto* onFd = static_cast<const Clap::PluginPosixFdSupport*>(
            plugin->getExtension(plugin, Clap::kExtPosixFdSupport));
        const auto* onTimer =
            static_cast<const Clap::PluginTimerSupport*>(plugin->getExtension(plugin, Clap::kExtTimerSupport));
        const auto now = std::chrono::steady_clock::now();
        auto wait = std::chrono::milliseconds(100);
        for (const Timer& timer : timers)
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(timer.due - now));
        std::vector<pollfd> waiting;
        for (const Fd& watched : fds)
            waiting.push_back({watched.fd, POLLIN, 0});
        poll(waiting.data(), waiting.size(), static_cast<int>(std::max<long long>(wait.count(), 0)));
        for (const pollfd& ready : waiting)
            if ((ready.revents & POLLIN) != 0 && onFd != nullptr) {
                ++fdCalls;
                onFd->onFd(plugin, ready.fd, Clap::kPosixFdRead);
            }
        const auto later = std::chrono::steady_clock::now();
        const std::vector<Timer> due = timers;
        for (const Timer& timer : due)
            if (later >= timer.due && onTimer != nullptr) {
                for (Timer& kept : timers)
                    if (kept.id == timer.id)
                        kept.due = later + std::chrono::milliseconds(kept.period);
                ++timerCalls;
                onTimer->onTimer(plugin, timer.id);
            }
    }
#endif

    Clap::Host host{};
    Clap::HostParams params{};
    Clap::HostState state{};
    Clap::HostPresetLoad presetLoad{};
    // The reactor: what the host offers, and what the plug-in registered with it.
    struct Fd {
        int fd;
        uint32_t flags;
    };
    struct Timer {
        Clap::Id id;
        uint32_t period;
        std::chrono::steady_clock::time_point due;
    };
    bool offersFds = false, offersTimers = false, refusesRegistration = false;
    Clap::HostPosixFdSupport fdSupport{};
    Clap::HostTimerSupport timerSupport{};
    std::vector<Fd> fds;
    std::vector<Timer> timers;
    Clap::Id nextTimerId = 7;
    int fdCalls = 0, timerCalls = 0;
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
