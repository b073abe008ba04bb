// The null ALSA sequencer loaded as Qtractor loads it (its functions in place of libasound's):
// a client that opens and closes, numbers its ports, hands out a descriptor that never becomes
// readable (so a MIDI input thread blocks instead of spinning), receives nothing, lists no other
// client, and refuses a null handle instead of crashing.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <poll.h>

#include <cerrno>

namespace {

struct NullSequencer {
    void* library = dlopen(MORLENT_NULL_ALSA_SEQUENCER, RTLD_NOW | RTLD_LOCAL);

    template <typename Function> Function* Get(const char* name) const
    {
        return reinterpret_cast<Function*>(dlsym(library, name));
    }
    ~NullSequencer()
    {
        if (library != nullptr)
            dlclose(library);
    }
};

using Open = int(void**, const char*, int, int);
using HandleOnly = int(void*);
using CreatePort = int(void*, const char*, unsigned int, unsigned int);
using DescriptorCount = int(void*, short);
using Descriptors = int(void*, pollfd*, unsigned int, short);
using EventInput = int(void*, void**);
using Query = int(void*, void*);
using SetName = int(void*, const char*);

TEST(NullAlsaSequencerTest, AClientOpensNumbersItsPortsAndCloses)
{
    NullSequencer sequencer;
    ASSERT_NE(sequencer.library, nullptr) << dlerror();
    void* handle = nullptr;
    ASSERT_EQ(sequencer.Get<Open>("snd_seq_open")(&handle, "default", 3, 1), 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(sequencer.Get<SetName>("snd_seq_set_client_name")(handle, "Qtractor"), 0);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_client_id")(handle), 128);
    EXPECT_GE(sequencer.Get<HandleOnly>("snd_seq_alloc_queue")(handle), 0);
    auto* createPort = sequencer.Get<CreatePort>("snd_seq_create_simple_port");
    EXPECT_EQ(createPort(handle, "Master", 0, 0), 0);
    EXPECT_EQ(createPort(handle, "Control", 0, 0), 1);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_drain_output")(handle), 0);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_close")(handle), 0);
}

TEST(NullAlsaSequencerTest, ItsDescriptorNeverBecomesReadableAndNothingArrives)
{
    NullSequencer sequencer;
    ASSERT_NE(sequencer.library, nullptr) << dlerror();
    void* handle = nullptr;
    ASSERT_EQ(sequencer.Get<Open>("snd_seq_open")(&handle, "default", 3, 1), 0);
    ASSERT_EQ(sequencer.Get<DescriptorCount>("snd_seq_poll_descriptors_count")(handle, POLLIN), 1);
    pollfd descriptors[2] = {{-1, 0, 0}, {-1, 0, 0}};
    ASSERT_EQ(sequencer.Get<Descriptors>("snd_seq_poll_descriptors")(handle, descriptors, 2, POLLIN), 1);
    EXPECT_GE(descriptors[0].fd, 0);
    EXPECT_EQ(descriptors[0].events, POLLIN);
    EXPECT_EQ(descriptors[1].fd, -1) << "one descriptor only";
    EXPECT_EQ(poll(descriptors, 1, 0), 0);
    void* event = &handle;
    EXPECT_EQ(sequencer.Get<EventInput>("snd_seq_event_input")(handle, &event), -EAGAIN);
    EXPECT_EQ(event, nullptr);
    char info[512] = {};
    EXPECT_EQ(sequencer.Get<Query>("snd_seq_query_next_client")(handle, info), -ENOENT);
    EXPECT_EQ(sequencer.Get<Query>("snd_seq_query_next_port")(handle, info), -ENOENT);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_close")(handle), 0);
}

TEST(NullAlsaSequencerTest, ANullHandleIsRefused)
{
    NullSequencer sequencer;
    ASSERT_NE(sequencer.library, nullptr) << dlerror();
    EXPECT_EQ(sequencer.Get<Open>("snd_seq_open")(nullptr, "default", 3, 1), -EINVAL);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_close")(nullptr), -EINVAL);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_client_id")(nullptr), -EINVAL);
    EXPECT_EQ(sequencer.Get<CreatePort>("snd_seq_create_simple_port")(nullptr, "x", 0, 0), -EINVAL);
    EXPECT_EQ(sequencer.Get<HandleOnly>("snd_seq_drain_output")(nullptr), -EINVAL);
    pollfd descriptor{-1, 0, 0};
    EXPECT_EQ(sequencer.Get<Descriptors>("snd_seq_poll_descriptors")(nullptr, &descriptor, 1, POLLIN), 0);
    EXPECT_EQ(descriptor.fd, -1);
}

} // namespace
