// Hosts that break the rules, or stretch them, against the first-generation module loaded
// through its entry point: natively, and the 32-bit DLL under Wine where the machine runs it.
// It has no limiter, so full feedback may grow; every sample must stay finite and every stored
// value within 0..1.

#include "description/EffectDescription.h"
#include "tests/support/EventList.h"
#include "tests/support/LoadedModuleTest.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

namespace {

using namespace TestSupport;
using namespace MorlentDelay;

class FirstGenerationHostileHost : public LoadedModuleTest {
protected:
    void SetUp() override
    {
        StandInHost::ResetQuiet();
        ASSERT_NO_FATAL_FAILURE(OpenInstance());
    }
    // Renders frames of loud noise in blocks, through separate buffers or in place, each block
    // in buffers exactly its length; answers whether every output sample was finite.
    bool RenderNoise(int frames, int block, bool inPlace = false)
    {
        bool finite = true;
        for (int at = 0; at < frames; at += block) {
            const int count = std::min(block, frames - at);
            std::vector<float> inL(static_cast<size_t>(count)), inR(static_cast<size_t>(count));
            std::vector<float> outL(static_cast<size_t>(count)), outR(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) {
                noise = noise * 1664525u + 1013904223u;
                inL[static_cast<size_t>(i)] = static_cast<float>(static_cast<int32_t>(noise)) / 2.2e9f;
                inR[static_cast<size_t>(i)] = -inL[static_cast<size_t>(i)];
            }
            float* inputs[2] = {inL.data(), inR.data()};
            float* outputs[2] = {outL.data(), outR.data()};
            effect->processReplacing(effect, inputs, inPlace ? inputs : outputs, count);
            for (const std::vector<float>* channel : inPlace ? std::vector<const std::vector<float>*>{&inL, &inR}
                                                             : std::vector<const std::vector<float>*>{&outL, &outR})
                for (float sample : *channel)
                    finite = finite && std::isfinite(sample);
        }
        return finite;
    }
    void FullFeedback()
    {
        SetParameter(kFeedbackLevel, 1.0f);
        SetParameter(kWetDryMix, 1.0f);
        SetParameter(kLeftDelay, 0.01f);
        SetParameter(kRightDelay, 0.02f);
    }

    uint32_t noise = 1;
};

TEST_F(FirstGenerationHostileHost, BlocksFromOneFrameToBeyondTheAnnouncedSizeAndThePieces)
{
    Start(48000.0f, 256);
    FullFeedback();
    for (int block : {1, 2, 3, 7, 255, 256, 257, 4096, 16383, 16384, 16385, 40000, 65536, 100000})
        EXPECT_TRUE(RenderNoise(block < 1024 ? 4096 : block * 2, block)) << "block " << block;
    // Empty and negative blocks render nothing and touch nothing.
    float left[4] = {1.0f, 2.0f, 3.0f, 4.0f}, right[4] = {5.0f, 6.0f, 7.0f, 8.0f};
    float* channels[2] = {left, right};
    for (int block : {0, -1, -64})
        effect->processReplacing(effect, channels, channels, block);
    EXPECT_EQ(4.0f, left[3]);
    EXPECT_EQ(5.0f, right[0]);
    EXPECT_TRUE(RenderNoise(1024, 64));
}

TEST_F(FirstGenerationHostileHost, SharedInputAndOutputGiveTheSameAudioAsSeparateBuffers)
{
    Start(44100.0f, 512);
    AEffect* twin = module->Open();
    ASSERT_NE(nullptr, twin);
    for (AEffect* instance : {effect, twin}) {
        TestSupport::Start(instance, 44100.0f, 512);
        instance->setParameter(instance, kFeedbackLevel, 0.7f);
        instance->setParameter(instance, kLeftDelay, 0.01f);
        instance->setParameter(instance, kRightDelay, 0.02f);
        instance->setParameter(instance, kFilter, 1.0f);
        instance->setParameter(instance, kPan, 1.0f);
    }
    // Longer than a piece, so the pieces' offsets are checked too.
    const size_t frames = 40000;
    std::vector<float> left(frames), right(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = std::sin(static_cast<float>(i) * 0.013f);
        right[i] = std::cos(static_cast<float>(i) * 0.007f);
    }
    std::vector<float> sharedL = left, sharedR = right, outL(frames), outR(frames);
    for (size_t at = 0; at < frames; at += 20000) {
        float* shared[2] = {sharedL.data() + at, sharedR.data() + at};
        effect->processReplacing(effect, shared, shared, 20000);
        float* inputs[2] = {left.data() + at, right.data() + at};
        float* outputs[2] = {outL.data() + at, outR.data() + at};
        twin->processReplacing(twin, inputs, outputs, 20000);
    }
    EXPECT_EQ(outL, sharedL);
    EXPECT_EQ(outR, sharedR);
    twin->dispatcher(twin, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(FirstGenerationHostileHost, SampleRatesFromEightToThreeHundredEightyFourKilohertz)
{
    Start(44100.0f, 512);
    FullFeedback();
    SetParameter(kFilter, 1.0f);
    SetParameter(kCutoffFrequency, 1.0f);
    for (float rate : {8000.0f, 11025.0f, 16000.0f, 22050.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f}) {
        Dispatch(effMainsChanged, 0, 0);
        Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(effMainsChanged, 0, 1);
        SetParameter(kFilterType, rate < 50000.0f ? 0.0f : 1.0f);
        EXPECT_TRUE(RenderNoise(static_cast<int>(rate / 4), 512)) << rate;
    }
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_TRUE(RenderNoise(2048, 512)) << rate;
    }
}

TEST_F(FirstGenerationHostileHost, ProcessingBeforeSetUpWhileSuspendedAndAfterOpeningTwice)
{
    EXPECT_TRUE(RenderNoise(1024, 128));
    Dispatch(effOpen);
    Dispatch(effOpen);
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(RenderNoise(1024, 128));
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(RenderNoise(1024, 128)); // some hosts keep processing while suspended
    Dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(RenderNoise(1024, 128));
}

TEST_F(FirstGenerationHostileHost, HostsWithoutTimeInformationOrWithUnusableTempos)
{
    Start(48000.0f, 256);
    SetParameter(kSync, 1.0f); // the delays follow the host's tempo
    SetParameter(kFeedbackLevel, 0.9f);
    StandInHost& host = StandInHost::Instance();
    host.answerTime = false;
    EXPECT_TRUE(RenderNoise(4096, 256));
    host.answerTime = true;
    host.time.flags = kVstTransportPlaying; // no tempo given
    EXPECT_TRUE(RenderNoise(4096, 256));
    for (double tempo : {0.0, -120.0, 1e-9, 1e12, std::nan(""), HUGE_VAL, -HUGE_VAL, 120.0}) {
        host.time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
        host.time.tempo = tempo;
        host.time.ppqPos = tempo;
        EXPECT_TRUE(RenderNoise(4096, 256)) << tempo;
        char text[64];
        Dispatch(effGetParamDisplay, kLeftDelay, 0, text);
    }
}

TEST_F(FirstGenerationHostileHost, EventsOutOfOrderBeyondTheBlockOrInGreatNumbers)
{
    Start(44100.0f, 256);
    // A controller bound to the feedback, so late and early events change the sound.
    const int bindings[kParameterCount] = {-1, -1, -1, -1, -1, -1, 7, -1, -1, -1, -1, -1};
    ASSERT_EQ(1, SetChunk(BankWithBindings(Chunk(false), bindings), false));
    EventList midi(6000);
    for (int round = 0; round < 20; ++round) {
        midi.Clear();
        midi.Add(200, 0x90, 60, 100);
        midi.Add(10, 0xB0, 7, 64);
        midi.Add(-50, 0x80, 60, 0);
        midi.Add(100000, 0xB0, 7, 127);
        midi.Add(256, 0xE0, 0, 64);
        midi.Add(std::numeric_limits<VstInt32>::min(), 0xB0, 7, 1);
        midi.Add(std::numeric_limits<VstInt32>::max(), 0xB0, 7, 2);
        Dispatch(effProcessEvents, 0, 0, midi.Events());
        EXPECT_TRUE(RenderNoise(256, 256));
    }
    // Events with no block after them wait for the next block, however short.
    Dispatch(effProcessEvents, 0, 0, midi.Events());
    EXPECT_TRUE(RenderNoise(3, 3));
    EXPECT_EQ(2.0f / 127.0f, GetParameter(kFeedbackLevel)) << "the last controller event, not one lost";
    // More than the queue keeps room for, then a block: none lost, all played.
    midi.Clear();
    for (int i = 0; i < 5999; ++i)
        midi.Add(i % 300, 0xB0, 7, static_cast<uint8_t>(i % 128));
    midi.Add(299, 0xB0, 7, 99);
    Dispatch(effProcessEvents, 0, 0, midi.Events());
    EXPECT_TRUE(RenderNoise(300, 300));
    EXPECT_FLOAT_EQ(99.0f / 127.0f, GetParameter(kFeedbackLevel));
}

// A byte of 0x80 or more is a status byte: a control change carrying one as data is malformed.
TEST_F(FirstGenerationHostileHost, ControlChangesWithAByteAbove127MoveNothingAndTellTheHostNothing)
{
    Start(44100.0f, 256);
    const int bindings[kParameterCount] = {-1, -1, -1, -1, -1, -1, 7, -1, -1, -1, -1, -1};
    ASSERT_EQ(1, SetChunk(BankWithBindings(Chunk(false), bindings), false));
    SetParameter(kFeedbackLevel, 0.25f);
    const long automated = StandInHost::Instance().Count(audioMasterAutomate);
    SendMidi({MidiEvent(0, 0xB0, 7, 200), MidiEvent(1, 0xB0, 7, 128), MidiEvent(2, 0xBF, 7, 255),
              MidiEvent(3, 0xB0, 135, 127), MidiEvent(4, 0xB0, 255, 0), MidiEvent(5, 0xB0, 128, 64)});
    EXPECT_TRUE(RenderNoise(256, 256));
    EXPECT_EQ(0.25f, GetParameter(kFeedbackLevel));
    EXPECT_EQ(automated, StandInHost::Instance().Count(audioMasterAutomate));

    // The binding itself still answers a well-formed message.
    SendMidi({MidiEvent(0, 0xB0, 7, 127)});
    EXPECT_TRUE(RenderNoise(256, 256));
    EXPECT_EQ(1.0f, GetParameter(kFeedbackLevel));
    EXPECT_EQ(automated + 1, StandInHost::Instance().Count(audioMasterAutomate));
}

// No message can address a controller above 127: such a binding is dropped, the rest of the bank
// loads, with its versions' rules.
TEST_F(FirstGenerationHostileHost, BankBindingsToControllersAbove127AreDroppedAndTheRestLoads)
{
    std::vector<uint8_t> bank = Chunk(false);
    const float feedback = 0.75f;
    // The first program's feedback value.
    std::memcpy(bank.data() + kChunkHeaderSize + kProgramNameSize + 4 * kFeedbackLevel, &feedback, 4);
    const int hostile[kParameterCount] = {-1, -1, -1, -1, -1, 127, 200, -1, -1, 128, 0, 255};
    const int kept[kParameterCount] = {-1, -1, -1, -1, -1, 127, -1, -1, -1, -1, 0, -1};
    for (int32_t version : {kLastVersionWithoutControllerMap + 1, kFirstGenerationVendorVersion}) {
        std::vector<uint8_t> chunk = BankWithBindings(bank, hostile);
        SetChunkVersion(chunk, version);
        ASSERT_EQ(1, SetChunk(chunk, false)) << version;
        const std::vector<uint8_t> expected = BankWithBindings(bank, kept), written = Chunk(false);
        ASSERT_GE(written.size(), static_cast<size_t>(kBankProgramsSize)) << version;
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + kBankProgramsSize, written.begin())) << version;
        // Written back as a bank of ours: the controller map after the programs.
        EXPECT_EQ(std::vector<uint8_t>(expected.begin() + kBankProgramsSize, expected.end()),
                  std::vector<uint8_t>(written.begin() + kBankProgramsSize, written.end()))
            << version;
        EXPECT_EQ(feedback, GetParameter(kFeedbackLevel)) << version;
        SetParameter(kFeedbackLevel, 0.0f);
    }
}

// Hosts show the buffer whatever the answer: a program outside the bank reads as no name.
TEST_F(FirstGenerationHostileHost, ProgramNamesOutsideTheBankAreEmptyTexts)
{
    const VstInt32 outside[] = {32, 33, -1, -32, std::numeric_limits<VstInt32>::min(),
                                std::numeric_limits<VstInt32>::max()};
    for (VstInt32 program : outside) {
        for (VstIntPtr category : {0, -1}) {
            char text[64];
            std::fill(std::begin(text), std::end(text), 'x');
            text[sizeof text - 1] = 0;
            EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, program, category, text)) << program;
            EXPECT_STREQ("", text) << program << " " << category;
            EXPECT_EQ('x', text[kVstMaxProgNameLen]) << "beyond the longest name a host makes room for";
        }
        EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, program, 0, nullptr)) << program;
    }
    char text[64] = {};
    EXPECT_EQ(1, Dispatch(effGetProgramNameIndexed, 31, 0, text));
    EXPECT_STREQ("Blank", text);
}

TEST_F(FirstGenerationHostileHost, ParameterValuesOutsideTheRangeAreKeptInIt)
{
    Start(44100.0f, 256);
    const float inf = std::numeric_limits<float>::infinity();
    for (float value : {-1.0f, 2.0f, 1e30f, -1e30f, inf, -inf, std::nanf(""), -std::nanf("")}) {
        for (VstInt32 index = 0; index < kParameterCount; ++index) {
            SetParameter(index, value);
            const float stored = GetParameter(index);
            EXPECT_TRUE(stored >= 0.0f && stored <= 1.0f) << index << " " << value;
        }
        EXPECT_TRUE(RenderNoise(2048, 256)) << value;
        char text[64];
        for (VstInt32 index = 0; index < kParameterCount; ++index)
            Dispatch(effGetParamDisplay, index, 0, text);
    }
    SetParameter(-1, 0.5f);
    SetParameter(kParameterCount, 0.5f);
    EXPECT_EQ(0.0f, GetParameter(kParameterCount));
}

} // namespace
