// Proves the LV2 module's run never allocates, never takes a mutex and never traces: this program
// replaces the allocator and the mutex lock for the whole process (the loaded module included)
// and counts the calls made while the audio thread is inside run, and reads what the module
// writes to stderr with tracing on.

#include "tests/lv2/Lv2Host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "tests/support/AudioThreadCounters.h"

namespace {

using namespace Lv2Testing;

TEST(Lv2Realtime, CountersReachIntoTheLoadedModule)
{
    // Instantiating allocates the model and its lines inside the module: the counters see it.
    const Module module(MORLENT_LV2_MODULE_PATH);
    const LV2_Descriptor* descriptor = module.Descriptor();
    ASSERT_NE(nullptr, descriptor);
    const LV2_Feature* const none[] = {nullptr};
    audioAllocations.store(0);
    insideAudioCall = true;
    LV2_Handle instance = descriptor->instantiate(descriptor, 48000.0, "", none);
    insideAudioCall = false;
    ASSERT_NE(nullptr, instance);
    EXPECT_GT(audioAllocations.exchange(0), 0);
    descriptor->cleanup(instance);
}

// The commands the editor sends, in turn, and controllers that learn and move what they learned.
void AddEditorAndMidi(Instance& instance, long block)
{
    using MorlentLv2::LearnAction;
    const auto parameter = static_cast<int32_t>(block % MorlentDelay::kParameterCount);
    switch (block % 7) {
    case 0:
        instance.sequence.AddCommand({LearnAction::kStart, parameter});
        break;
    case 2:
        instance.sequence.AddCommand({LearnAction::kSendState, 0});
        break;
    case 4:
        instance.sequence.AddCommand({block % 14 == 4 ? LearnAction::kForget : LearnAction::kStop,
                                      static_cast<int32_t>(block % 128)});
        break;
    case 6:
        if (block % 70 == 6)
            instance.sequence.AddCommand({LearnAction::kClearAll, 0});
        break;
    default:
        break;
    }
    for (int event = 0; event < 3; ++event)
        instance.midi.AddMidi(event * 80, {0xB0, static_cast<uint8_t>((block + event) % 128),
                                           static_cast<uint8_t>((block * 5 + event) % 128)});
}

TEST(Lv2Realtime, RunNeverAllocatesOrLocksWhilePortsTimeStateMidiAndLearnChange)
{
    const Module module(MORLENT_LV2_MODULE_PATH);
    Features features;
    Instance instance(module.Descriptor(), 48000.0, features);
    ASSERT_TRUE(instance.Valid());
    instance.keepNotices = false;
    instance.Activate();
    // Every URI the events use is mapped before the audio thread starts.
    for (const char* uri : {LV2_TIME__beatsPerMinute, LV2_TIME__speed, LV2_TIME__bar, LV2_TIME__barBeat,
                            LV2_TIME__beatsPerBar, LV2_TIME__beatUnit, LV2_ATOM__Float, LV2_ATOM__Long,
                            LV2_ATOM__Int, LV2_ATOM__Object, LV2_TIME__Position, LV2_MIDI__MidiEvent})
        features.map.Map(uri);
    MorlentLv2::MapLearnUrids(&features.map.feature);
    std::atomic<long> notified{0};

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        std::vector<std::pair<const char*, Number>> position;
        position.reserve(8);
        long block = 0;
        while (!stop.load(std::memory_order_relaxed)) {
            for (int i = 0; i < 256; ++i) {
                left[static_cast<size_t>(i)] = std::sin(0.01f * static_cast<float>(block * 256 + i));
                right[static_cast<size_t>(i)] = left[static_cast<size_t>(i)] * 0.5f;
            }
            // Every control moves now and then, in and out of range; the transport and the tempo
            // change, as a host's automation and transport make them.
            const auto port = static_cast<uint32_t>(block % MorlentLv2::kControlPortCount);
            instance.controls[port] = static_cast<float>(block % 23) * 0.37f - 1.0f;
            instance.controls[MorlentLv2::kControlPortCount - 1] = static_cast<float>(block % 201) - 100.0f;
            if (block % 10 == 0) {
                position.clear();
                position.push_back({LV2_TIME__beatsPerMinute, {Number::kFloat, block % 20 == 0 ? 90.0 : 140.0}});
                position.push_back({LV2_TIME__speed, {Number::kFloat, block % 70 < 35 ? 1.0 : 0.0}});
                position.push_back({LV2_TIME__bar, {Number::kLong, static_cast<double>(block / 8)}});
                position.push_back({LV2_TIME__barBeat, {Number::kFloat, static_cast<double>(block % 4)}});
                position.push_back({LV2_TIME__beatsPerBar, {Number::kFloat, 4.0}});
                position.push_back({LV2_TIME__beatUnit, {Number::kInt, 4.0}});
                instance.sequence.AddPosition(position);
            }
            AddEditorAndMidi(instance, block);
            insideAudioCall = true;
            instance.Render(left, right, 256);
            insideAudioCall = false;
            if (instance.notifications.Atom()->atom.size > sizeof(LV2_Atom_Sequence_Body))
                notified.fetch_add(1, std::memory_order_relaxed);
            if (!std::isfinite(left[0]) || !std::isfinite(right[255]))
                finite.store(false);
            ++block;
            blocks.store(block, std::memory_order_relaxed);
        }
    });

    // Meanwhile another thread saves the state, as a host may while the audio runs.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (std::chrono::steady_clock::now() < until || blocks.load() < 200) {
        State state;
        EXPECT_EQ(LV2_STATE_SUCCESS, instance.Save(state));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop.store(true);
    audio.join();

    EXPECT_EQ(0, audioAllocations.load()) << "allocations in run over " << blocks.load() << " blocks";
    EXPECT_EQ(0, audioLocks.load()) << "mutex locks in run";
    EXPECT_TRUE(finite.load());
    // The notification port had its say now and then: learn states and controller moves.
    EXPECT_GT(notified.load(), blocks.load() / 10);
}

// Writes on stderr (where the Linux build traces) reach a file while it lives.
class StderrCapture {
public:
    StderrCapture() : file(std::tmpfile())
    {
        std::fflush(stderr);
        saved = dup(2);
        dup2(fileno(file), 2);
    }
    // Ends the capture and answers what was written.
    std::string Take()
    {
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        std::string text;
        std::rewind(file);
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
            text += static_cast<char>(c);
        std::fclose(file);
        return text;
    }

private:
    FILE* file;
    int saved;
};

TEST(Lv2Realtime, TheAudioThreadNeverTracesWhatTheEditorsCommandsDo)
{
    // The module reads the setting once, as it loads.
    setenv("MORLENT_TRACE", "1", 1);
    const Module module(MORLENT_LV2_MODULE_PATH);
    unsetenv("MORLENT_TRACE");
    Features features;
    StderrCapture made;
    auto plugin = std::make_unique<Instance>(module.Descriptor(), 48000.0, features);
    Instance& instance = *plugin;
    instance.Activate();
    ASSERT_NE(std::string::npos, made.Take().find("Model::Model")) << "tracing is on in this module";
    ASSERT_TRUE(instance.Valid());

    std::string traced;
    std::thread audio([&] {
        StderrCapture capture;
        for (long block = 0; block < 200; ++block) {
            AddEditorAndMidi(instance, block);
            instance.RunSilence(256);
        }
        traced = capture.Take();
    });
    audio.join();
    EXPECT_EQ("", traced);
    StderrCapture closing;
    plugin.reset();
    closing.Take();
}

} // namespace
