// A null ALSA sequencer for hosts on machines without one (no /dev/snd/seq: virtual machines and
// containers without sound drivers). Qtractor opens its MIDI engine on the ALSA sequencer and
// refuses to open any session when that fails, even one that has no MIDI in it; preloaded into
// it (LD_PRELOAD), this library answers the sequencer calls that Qtractor makes with a client
// that has ports but never receives an event, so the audio engine, its tracks and their plug-ins
// run as they would on a machine with sound hardware.
//
// Only the calls that take a sequencer handle are answered here; the ones that fill and read
// structures the caller owns (port, client and queue information, subscriptions) stay those of
// libasound, which never sees one of these handles. The listing calls report no other client, so
// the host offers no MIDI connections.

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace {

struct NullSequencer {
    // Handed out as the poll descriptor: never readable, so an input thread blocks in poll.
    int quietDescriptor = -1;
    int nextPort = 0;
};

// The client number a first application gets from a real sequencer.
constexpr int kClientId = 128;
constexpr int kQueueId = 0;

NullSequencer* From(void* handle)
{
    return static_cast<NullSequencer*>(handle);
}

} // namespace

#define MORLENT_EXPORT extern "C" __attribute__((visibility("default")))

MORLENT_EXPORT int snd_seq_open(void** handle, const char*, int, int)
{
    if (handle == nullptr)
        return -EINVAL;
    auto* sequencer = new (std::nothrow) NullSequencer;
    if (sequencer == nullptr)
        return -ENOMEM;
    sequencer->quietDescriptor = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (sequencer->quietDescriptor < 0) {
        const int error = errno;
        delete sequencer;
        return -error;
    }
    *handle = sequencer;
    return 0;
}

MORLENT_EXPORT int snd_seq_close(void* handle)
{
    NullSequencer* sequencer = From(handle);
    if (sequencer == nullptr)
        return -EINVAL;
    close(sequencer->quietDescriptor);
    delete sequencer;
    return 0;
}

MORLENT_EXPORT int snd_seq_client_id(void* handle)
{
    return handle != nullptr ? kClientId : -EINVAL;
}

MORLENT_EXPORT int snd_seq_set_client_name(void* handle, const char*)
{
    return handle != nullptr ? 0 : -EINVAL;
}

MORLENT_EXPORT int snd_seq_alloc_queue(void* handle)
{
    return handle != nullptr ? kQueueId : -EINVAL;
}

MORLENT_EXPORT int snd_seq_create_simple_port(void* handle, const char*, unsigned int, unsigned int)
{
    NullSequencer* sequencer = From(handle);
    return sequencer != nullptr ? sequencer->nextPort++ : -EINVAL;
}

MORLENT_EXPORT int snd_seq_poll_descriptors_count(void* handle, short)
{
    return handle != nullptr ? 1 : 0;
}

MORLENT_EXPORT int snd_seq_poll_descriptors(void* handle, pollfd* descriptors, unsigned int space, short events)
{
    NullSequencer* sequencer = From(handle);
    if (sequencer == nullptr || descriptors == nullptr || space < 1)
        return 0;
    descriptors[0].fd = sequencer->quietDescriptor;
    descriptors[0].events = events;
    descriptors[0].revents = 0;
    return 1;
}

// Nothing ever arrives.
MORLENT_EXPORT int snd_seq_event_input(void* handle, void** event)
{
    if (event != nullptr)
        *event = nullptr;
    return handle != nullptr ? -EAGAIN : -EINVAL;
}

MORLENT_EXPORT int snd_seq_event_input_pending(void*, int)
{
    return 0;
}

// No other client lists, so there is nothing to connect to.
MORLENT_EXPORT int snd_seq_query_next_client(void*, void*)
{
    return -ENOENT;
}

MORLENT_EXPORT int snd_seq_query_next_port(void*, void*)
{
    return -ENOENT;
}

MORLENT_EXPORT int snd_seq_query_port_subscribers(void*, void*)
{
    return -ENOENT;
}

MORLENT_EXPORT int snd_seq_get_any_client_info(void*, int, void*)
{
    return -ENOENT;
}

MORLENT_EXPORT int snd_seq_get_any_port_info(void*, int, int, void*)
{
    return -ENOENT;
}

// What is sent goes nowhere, and every setting is taken; the caller's structures keep what
// it put in them.
#define MORLENT_ACCEPT(name, ...)                                                                          \
    MORLENT_EXPORT int name(void* handle, ##__VA_ARGS__)                                                  \
    {                                                                                                     \
        return handle != nullptr ? 0 : -EINVAL;                                                           \
    }

MORLENT_ACCEPT(snd_seq_free_queue, int)
MORLENT_ACCEPT(snd_seq_control_queue, int, int, int, void*)
MORLENT_ACCEPT(snd_seq_delete_simple_port, int)
MORLENT_ACCEPT(snd_seq_drain_output)
MORLENT_ACCEPT(snd_seq_drop_input)
MORLENT_ACCEPT(snd_seq_drop_output)
MORLENT_ACCEPT(snd_seq_event_output, void*)
MORLENT_ACCEPT(snd_seq_event_output_direct, void*)
MORLENT_ACCEPT(snd_seq_get_port_info, int, void*)
MORLENT_ACCEPT(snd_seq_set_port_info, int, void*)
MORLENT_ACCEPT(snd_seq_get_queue_status, int, void*)
MORLENT_ACCEPT(snd_seq_get_queue_tempo, int, void*)
MORLENT_ACCEPT(snd_seq_set_queue_tempo, int, void*)
MORLENT_ACCEPT(snd_seq_set_queue_timer, int, void*)
MORLENT_ACCEPT(snd_seq_remove_events, void*)
MORLENT_ACCEPT(snd_seq_subscribe_port, void*)
MORLENT_ACCEPT(snd_seq_unsubscribe_port, void*)
