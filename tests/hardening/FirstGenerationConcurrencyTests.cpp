// The first-generation plug-in under a host's two threads and a view's edits (see
// FirstGenerationHost.h). Run natively and under ThreadSanitizer, whose lock-order checks would
// report the view's lock taken before the model's; MORLENT_STRESS_SECONDS makes the run longer.

#include "tests/hardening/FirstGenerationHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using namespace FirstGenerationHost;

std::chrono::milliseconds RunTime()
{
    const char* seconds = std::getenv("MORLENT_STRESS_SECONDS");
    return std::chrono::milliseconds(seconds != nullptr ? static_cast<long>(std::atof(seconds) * 1000.0) : 1500);
}

TEST(FirstGenerationConcurrency, EverythingAtOnceEndsInTheStateLastAskedFor)
{
    TestSupport::StandInHost::ResetQuiet();
    TestSupport::FirstGenerationPlugin instance;
    ViewStandIn view;
    ASSERT_TRUE(instance.model->AddObserver(&view));
    LockOrder::modelLock = FindModelLock(*instance.model);
    ASSERT_NE(nullptr, LockOrder::modelLock);
    LockOrder::violations.store(0);
    Platform::SetLockHook(TrackLockOrder);
    TestSupport::Start(instance.record, 44100.0f, 4096);
    instance.record->setParameter(instance.record, MorlentDelay::kFeedbackLevel, 1.0f);

    Audio audio;
    Interface ui(instance, view);
    std::thread audioThread([&] { audio.Run(instance.record); });
    const auto until = std::chrono::steady_clock::now() + RunTime();
    int round = 0;
    while (std::chrono::steady_clock::now() < until || audio.blocks.load() < 200 || round < 200)
        ui.Round(round++);
    // Learning may still be armed: the audio thread's MIDI stops first, and is played out.
    audio.quiet.store(true, std::memory_order_release);
    while (audio.quietBlocks.load(std::memory_order_acquire) < 2)
        std::this_thread::yield();
    ui.LastRound(round);
    const long blocksAtEnd = audio.blocks.load();
    while (audio.blocks.load() < blocksAtEnd + 2)
        std::this_thread::yield();
    audio.stop.store(true);
    audioThread.join();
    Platform::SetLockHook(nullptr);

    EXPECT_EQ(0, audio.badSamples.load());
    EXPECT_EQ(0, LockOrder::violations.load()) << "the view's lock was taken before the model's";
    AEffect* record = instance.record;
    EXPECT_EQ(ui.program, TestSupport::Dispatch(record, effGetProgram));
    char name[32] = {};
    TestSupport::Dispatch(record, effGetProgramName, 0, 0, name);
    EXPECT_EQ(std::string(ui.name), std::string(name));
    for (int index = 0; index < MorlentDelay::kParameterCount; ++index)
        EXPECT_EQ(ui.values[index], record->getParameter(record, index)) << index;
    for (int32_t parameter = 0; parameter < MorlentDelay::kParameterCount; ++parameter) {
        const bool driven = parameter == kDrivenParameters[0] || parameter == kDrivenParameters[1];
        EXPECT_EQ(driven, instance.model->IsMapped(parameter)) << parameter;
        if (driven) {
            EXPECT_EQ(kLearnedController, instance.model->GetController(parameter));
        }
    }
    EXPECT_FALSE(instance.model->IsLearning());
    instance.model->RemoveObserver(&view);
}

TEST(FirstGenerationConcurrency, OneLearnedControllerDrivesBothOfItsParametersWhileTheInterfaceEdits)
{
    // The interface's chunks may bring back older values of the two; the next controller value
    // reaches both again, and no other binding was lost on the way.
    TestSupport::StandInHost::ResetQuiet();
    TestSupport::FirstGenerationPlugin instance;
    TestSupport::Start(instance.record, 48000.0f, 512);
    {
        const Platform::ScopedLock<Model> held(*instance.model);
        for (int32_t parameter : kDrivenParameters)
            instance.model->Map(kLearnedController, parameter);
    }
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        for (int round = 0; !stop.load(); ++round) {
            instance.record->setParameter(instance.record, MorlentDelay::kWetDryMix, (round % 10) / 10.0f);
            TestSupport::SetChunk(instance.record, TestSupport::Chunk(instance.record, true), true);
            const Platform::ScopedLock<Model> held(*instance.model);
            instance.model->Unmap(MorlentDelay::kFeedbackLevel);
        }
    });
    TestSupport::EventList midi;
    std::vector<float> left(300), right(300);
    for (int block = 0; block < 2000; ++block) {
        midi.Clear();
        midi.Add(block % 300, 0xB0, kLearnedController, static_cast<uint8_t>(block % 128));
        TestSupport::Dispatch(instance.record, effProcessEvents, 0, 0, midi.Events());
        float* channels[2] = {left.data(), right.data()};
        instance.record->processReplacing(instance.record, channels, channels, 1 + block % 300);
    }
    stop.store(true);
    ui.join();
    midi.Clear();
    midi.Add(10, 0xB0, kLearnedController, 127);
    TestSupport::Dispatch(instance.record, effProcessEvents, 0, 0, midi.Events());
    float* channels[2] = {left.data(), right.data()};
    instance.record->processReplacing(instance.record, channels, channels, 64);
    const float expected = 1.0f;
    EXPECT_EQ(expected, instance.record->getParameter(instance.record, kDrivenParameters[0]));
    EXPECT_EQ(expected, instance.record->getParameter(instance.record, kDrivenParameters[1]));
}

} // namespace
