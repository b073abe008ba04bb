// Hosts that break the rules, or stretch them: odd block sizes, shared buffers, extreme sample
// rates, repeated or early calls, no time information, events out of order. The module must
// stay finite and keep its state whatever they do.

#include "tests/support/EventList.h"
#include "tests/support/LoadedModuleTest.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace TestSupport;

class HostileHost : public LoadedModuleTest {
protected:
    void SetUp() override
    {
        StandInHost::ResetQuiet();
        ASSERT_NO_FATAL_FAILURE(OpenInstance());
    }
    // Renders frames of loud noise through separate buffers and answers whether all was finite
    // and bounded.
    bool RenderNoise(int frames, int block, bool inPlace = false)
    {
        std::vector<float> inL(static_cast<size_t>(frames)), inR(static_cast<size_t>(frames));
        std::vector<float> outL(static_cast<size_t>(frames)), outR(static_cast<size_t>(frames));
        for (int i = 0; i < frames; ++i) {
            noise = noise * 1664525u + 1013904223u;
            inL[static_cast<size_t>(i)] = static_cast<float>(static_cast<int32_t>(noise)) / 1.1e9f;
            inR[static_cast<size_t>(i)] = -inL[static_cast<size_t>(i)];
        }
        for (int at = 0; at < frames; at += block) {
            const int count = std::min(block, frames - at);
            float* inputs[2] = {inL.data() + at, inR.data() + at};
            float* outputs[2] = {outL.data() + at, outR.data() + at};
            effect->processReplacing(effect, inputs, inPlace ? inputs : outputs, count);
        }
        const std::vector<float>& left = inPlace ? inL : outL;
        const std::vector<float>& right = inPlace ? inR : outR;
        for (int i = 0; i < frames; ++i)
            if (!std::isfinite(left[static_cast<size_t>(i)]) || std::fabs(left[static_cast<size_t>(i)]) > 16.0f ||
                !std::isfinite(right[static_cast<size_t>(i)]) || std::fabs(right[static_cast<size_t>(i)]) > 16.0f)
                return false;
        return true;
    }

    uint32_t noise = 1;
};

TEST_F(HostileHost, BlocksFromOneFrameToLargerThanAnnounced)
{
    Start(48000.0f, 256);
    effect->setParameter(effect, 6, 1.0f); // full feedback
    for (int block : {1, 2, 3, 7, 64, 255, 256, 257, 1000, 4096, 65536})
        EXPECT_TRUE(RenderNoise(block == 65536 ? 131072 : 8192, block)) << "block " << block;
}

TEST_F(HostileHost, SharedInputAndOutputGiveTheSameAudioAsSeparateBuffers)
{
    Start(44100.0f, 512);
    AEffect* twin = module->Open();
    ASSERT_NE(nullptr, twin);
    for (AEffect* instance : {effect, twin}) {
        instance->dispatcher(instance, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        instance->dispatcher(instance, effMainsChanged, 0, 1, nullptr, 0.0f);
        instance->setParameter(instance, 6, 0.7f);
        instance->setParameter(instance, 1, 0.01f);
        instance->setParameter(instance, 2, 0.02f);
        instance->setParameter(instance, 7, 1.0f);
        instance->setParameter(instance, 10, 1.0f);
    }
    std::vector<float> left(20000), right(20000);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = std::sin(static_cast<float>(i) * 0.013f);
        right[i] = std::cos(static_cast<float>(i) * 0.007f);
    }
    std::vector<float> sharedL = left, sharedR = right, outL(left.size()), outR(left.size());
    for (size_t at = 0; at < left.size(); at += 500) {
        float* shared[2] = {sharedL.data() + at, sharedR.data() + at};
        effect->processReplacing(effect, shared, shared, 500);
        float* inputs[2] = {left.data() + at, right.data() + at};
        float* outputs[2] = {outL.data() + at, outR.data() + at};
        twin->processReplacing(twin, inputs, outputs, 500);
    }
    EXPECT_EQ(outL, sharedL);
    EXPECT_EQ(outR, sharedR);
    twin->dispatcher(twin, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(HostileHost, SampleRatesFromEightToThreeHundredEightyFourKilohertz)
{
    Start(44100.0f, 512);
    effect->setParameter(effect, 6, 1.0f);
    effect->setParameter(effect, 7, 1.0f);
    effect->setParameter(effect, 8, 1.0f); // 10 kHz: above half of the lowest rates
    for (float rate : {8000.0f, 11025.0f, 16000.0f, 22050.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f}) {
        Dispatch(effMainsChanged, 0, 0);
        Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(effMainsChanged, 0, 1);
        effect->setParameter(effect, 9, rate < 50000.0f ? 0.0f : 1.0f);
        EXPECT_TRUE(RenderNoise(static_cast<int>(rate / 2), 512)) << rate;
    }
}

TEST_F(HostileHost, RepeatedAndEarlyCallsAreHarmless)
{
    // Processing before any set-up, opening twice, resuming twice, closing an editor that was
    // never opened, asking for its rectangle first.
    EXPECT_TRUE(RenderNoise(1024, 128));
    Dispatch(effOpen);
    Dispatch(effOpen);
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effMainsChanged, 0, 1);
    ERect* rect = nullptr;
    Dispatch(effEditGetRect, 0, 0, &rect);
    Dispatch(effEditClose);
    Dispatch(effEditClose);
    Dispatch(effEditIdle);
    EXPECT_TRUE(RenderNoise(1024, 128));
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(RenderNoise(1024, 128)); // some hosts keep processing while suspended
}

TEST_F(HostileHost, HostsWithoutTimeInformationOrTempo)
{
    Start(48000.0f, 256);
    effect->setParameter(effect, 3, 1.0f); // sync to the host tempo
    StandInHost& host = StandInHost::Instance();
    host.answerTime = false;
    EXPECT_TRUE(RenderNoise(4096, 256));
    host.answerTime = true;
    host.time.flags = kVstTransportPlaying; // no tempo given
    EXPECT_TRUE(RenderNoise(4096, 256));
    for (double tempo : {0.0, -120.0, 1e-9, 1e12, std::nan(""), HUGE_VAL}) {
        host.time.flags = kVstTransportPlaying | kVstTempoValid;
        host.time.tempo = tempo;
        EXPECT_TRUE(RenderNoise(4096, 256)) << tempo;
    }
}

TEST_F(HostileHost, EventsOutOfOrderOrBeyondTheBlock)
{
    Start(44100.0f, 256);
    EventList midi;
    for (int round = 0; round < 20; ++round) {
        midi.Clear();
        midi.Add(200, 0x90, 60, 100);
        midi.Add(10, 0xB0, 7, 64);
        midi.Add(-50, 0x80, 60, 0);
        midi.Add(100000, 0xB0, 7, 127);
        midi.Add(256, 0xE0, 0, 64);
        Dispatch(effProcessEvents, 0, 0, midi.Events());
        EXPECT_TRUE(RenderNoise(256, 256));
    }
    // Events sent with no processing call after them stay queued, and are not lost or doubled
    // into out-of-range frames when a shorter block comes.
    Dispatch(effProcessEvents, 0, 0, midi.Events());
    EXPECT_TRUE(RenderNoise(3, 3));
}

TEST_F(HostileHost, ParameterValuesOutsideTheRangeAreKeptInIt)
{
    Start(44100.0f, 256);
    for (float value : {-1.0f, 2.0f, 1e30f, -1e30f, HUGE_VALF, std::nanf("")}) {
        for (VstInt32 index = 0; index < 12; ++index) {
            effect->setParameter(effect, index, value);
            const float stored = effect->getParameter(effect, index);
            EXPECT_TRUE(stored >= 0.0f && stored <= 1.0f) << index << " " << value;
        }
        EXPECT_TRUE(RenderNoise(2048, 256)) << value;
    }
}

} // namespace
