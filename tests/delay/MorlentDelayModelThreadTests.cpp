#include "delay/MorlentDelayModel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

// The host's main thread automates parameters, switches programs and changes the sample rate
// while its audio thread processes; build with -fsanitize=thread to see the handover is clean.
TEST(MorlentDelayModelThreads, AutomationAndProgramChangesWhileProcessing)
{
    MorlentDelayModel model;
    std::atomic<bool> done{false};
    std::atomic<int> blocks{0};
    bool allFinite = true;

    std::thread audio([&] {
        std::vector<float> inL(256), inR(256), outL(256), outR(256);
        for (int n = 0; n < 256; ++n) {
            inL[n] = std::sin(0.05f * static_cast<float>(n));
            inR[n] = std::cos(0.03f * static_cast<float>(n));
        }
        float* inputs[2] = {inL.data(), inR.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        while (!done.load(std::memory_order_acquire) || blocks.load(std::memory_order_relaxed) < 50) {
            model.StoreTempo(90.0 + blocks.load(std::memory_order_relaxed) % 60);
            model.OnTempoChanged(0.0, model.GetTempo());
            if (blocks.load(std::memory_order_relaxed) % 97 == 0)
                model.OnTransportPlayingChanged(true);
            // A learned controller moving a parameter on this thread.
            model.SetParameterValue(MorlentDelay::kWetDryMix, 0.3f);
            model.ProcessBlock(inputs, outputs, 256);
            for (int n = 0; n < 256; ++n)
                if (!std::isfinite(outL[n]) || !std::isfinite(outR[n]))
                    allFinite = false;
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    });

    // Start once audio runs, so the two threads really overlap.
    while (blocks.load(std::memory_order_relaxed) == 0)
        std::this_thread::yield();
    const float rates[] = {44100.0f, 48000.0f, 22050.0f, 96000.0f, 8000.0f};
    for (int round = 0; round < 400; ++round) {
        for (int32_t index = 0; index < MorlentDelayModel::kParameterCount; ++index)
            model.SetParameterValue(index, static_cast<float>((round * 7 + index * 3) % 11) / 10.0f);
        if (round % 10 == 0)
            model.SetSelectedProgramIndex(round / 10 % 4);
        if (round % 25 == 0) {
            model.SetSampleRate(rates[round / 25 % 5]);
            model.SetSampleRate(rates[(round / 25 + 2) % 5]); // often before the first was taken
        }
        model.SetParameterValue(MorlentDelay::kEnabled, 1.0f);
        if (round % 50 == 0)
            std::this_thread::yield();
    }
    done.store(true, std::memory_order_release);
    audio.join();
    EXPECT_TRUE(allFinite);
    EXPECT_GE(blocks.load(), 50);
    float* none[2] = {nullptr, nullptr};
    model.Process(none, none, 0, 0);
    EXPECT_EQ(model.GetEngine().GetSampleRate(), rates[(375 / 25 + 2) % 5]) << "the last rate wins";
    EXPECT_EQ(model.GetEngine().GetLeftLine().GetLength(), DelayEngine::LineLength(rates[(375 / 25 + 2) % 5]));
}

} // namespace
