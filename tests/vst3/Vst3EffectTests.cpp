// The VST 3 adapter through its interfaces, as a host drives it.

#include "delay/MorlentDelayModel.h"
#include "description/EffectDescription.h"
#include "framework/PluginCore.h"
#include "tests/support/EffectCalls.h"
#include "vst3/Vst3Effect.h"
#include "tests/vst3/Vst3TestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace Vst3;
using namespace Vst3Test;
using MorlentVst3::Vst3Effect;

namespace {

// The VST 2 module's core with the same model, for comparing what both formats produce.
class ReferenceCore : public VstToolkit::PluginCore {
public:
    ReferenceCore() : PluginCore(new MorlentDelayModel) { AttachToModel(); }
};

std::string Text(const char16* text)
{
    std::string out;
    for (; *text != 0; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

std::vector<char16> Wide(const char* text)
{
    std::vector<char16> out;
    for (; *text != '\0'; ++text)
        out.push_back(static_cast<char16>(*text));
    out.push_back(0);
    return out;
}

class Vst3EffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        effect = new Vst3Effect;
        component = effect;
        processor = effect;
        controller = effect;
        ASSERT_EQ(component->initialize(nullptr), kResultOk);
    }
    void TearDown() override
    {
        component->terminate();
        component->release();
    }

    void Activate(int32 maxBlock = 512, double rate = 44100.0)
    {
        ProcessSetup setup{kRealtime, kSample32, maxBlock, rate};
        ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
        ASSERT_EQ(component->setActive(1), kResultOk);
        ASSERT_EQ(processor->setProcessing(1), kResultOk);
    }

    std::vector<uint8_t> State()
    {
        MemoryStream stream;
        EXPECT_EQ(component->getState(&stream), kResultOk);
        return stream.data;
    }

    Vst3Effect* effect = nullptr;
    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
};

void FillNoise(std::vector<float>& samples, uint32_t seed)
{
    for (float& sample : samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) - 0.5f;
    }
}

} // namespace

TEST(Vst3ClassIdTest, IsMadeFromTheVst2UniqueIdAndTheLowerCaseName)
{
    // "VST", 'MDly', then "morlent d".
    const Uid expected = Uid::Make(0x5653544D, 0x446C796D, 0x6F726C65, 0x6E742064);
    EXPECT_EQ(std::memcmp(MorlentVst3::EffectClassId().bytes, expected.bytes, 16), 0);
    // A short name is padded with zeros.
    const Uid shortName = MorlentVst3::MakeVst2CompatibleClassId(0x41424344, "Ab");
    EXPECT_EQ(std::memcmp(shortName.bytes, Uid::Make(0x56535441, 0x42434461, 0x62000000, 0).bytes, 16), 0);
}

TEST_F(Vst3EffectTest, AnswersForEachInterfaceItImplementsAndNoOther)
{
    const Uid* known[] = {&kFUnknownIid,        &kIPluginBaseIid, &kIComponentIid,
                          &kIAudioProcessorIid, &kIProcessContextRequirementsIid,
                          &kIEditControllerIid, &kIUnitInfoIid, &kIMidiMappingIid};
    for (const Uid* iid : known) {
        void* object = nullptr;
        ASSERT_EQ(component->queryInterface(iid->bytes, &object), kResultOk);
        ASSERT_NE(object, nullptr);
        static_cast<FUnknown*>(object)->release();
    }
    void* object = &object;
    EXPECT_EQ(component->queryInterface(kIPluginFactoryIid.bytes, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(component->queryInterface(kIComponentIid.bytes, nullptr), kInvalidArgument);
    void* audio = nullptr;
    ASSERT_EQ(controller->queryInterface(kIAudioProcessorIid.bytes, &audio), kResultOk);
    EXPECT_EQ(audio, static_cast<void*>(processor));
    processor->release();
}

TEST_F(Vst3EffectTest, HasOneStereoBusEachWayAndRefusesEveryOtherArrangement)
{
    EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 1); // controllers for MIDI Learn
    EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);
    BusInfo bus{};
    ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(bus.busType, kMain);
    EXPECT_EQ(component->getBusInfo(kAudio, kOutput, 1, bus), kInvalidArgument);

    SpeakerArrangement stereo = SpeakerArr::kStereo;
    SpeakerArrangement mono = SpeakerArr::kSpeakerL;
    SpeakerArrangement two[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
    EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(two, 2, &stereo, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 1, &stereo, 1), kInvalidArgument);
    SpeakerArrangement arrangement = 0;
    ASSERT_EQ(processor->getBusArrangement(kInput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
    EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultFalse);
}

TEST_F(Vst3EffectTest, CallsOutOfOrderAnswerWithTheFormatsErrorsAndChangeNothing)
{
    StereoBlock block(64);
    EXPECT_EQ(processor->process(block.data), kNotInitialized); // before set-up and activation
    EXPECT_EQ(processor->setProcessing(1), kNotInitialized);
    EXPECT_EQ(component->setActive(1), kNotInitialized); // activation before set-up
    ProcessSetup doubles{kRealtime, kSample64, 512, 44100.0};
    EXPECT_EQ(processor->setupProcessing(doubles), kInvalidArgument);
    ProcessSetup badRate{kRealtime, kSample32, 512, 10.0};
    EXPECT_EQ(processor->setupProcessing(badRate), kInvalidArgument);
    Activate();
    ProcessSetup again{kRealtime, kSample32, 512, 48000.0};
    EXPECT_EQ(processor->setupProcessing(again), kResultFalse); // while active
    SpeakerArrangement stereo = SpeakerArr::kStereo;
    EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultFalse);

    block.data.numSamples = -1;
    EXPECT_EQ(processor->process(block.data), kInvalidArgument);
    block.data.numSamples = 64;
    block.data.symbolicSampleSize = kSample64;
    EXPECT_EQ(processor->process(block.data), kInvalidArgument);
    block.data.symbolicSampleSize = kSample32;
    block.outBus.numChannels = 1;
    EXPECT_EQ(processor->process(block.data), kInvalidArgument);
    block.outBus.numChannels = 2;
    EXPECT_EQ(processor->process(block.data), kResultOk);

    // Terminating while active deactivates first; processing after that is refused.
    EXPECT_EQ(component->terminate(), kResultOk);
    EXPECT_EQ(processor->process(block.data), kNotInitialized);
}

TEST_F(Vst3EffectTest, StateIsTheVst2ModulesBankChunkAndBadStreamsChangeNothing)
{
    ReferenceCore reference;
    Morlent::ChunkBuffer bank;
    reference.GetState(bank, VstToolkit::PluginCore::StateScope::kBank);
    const std::vector<uint8_t> vst2Bank(bank.Data(), bank.Data() + bank.Length());
    EXPECT_EQ(State(), vst2Bank);

    // A bank the VST 2 module saved with other settings loads with them.
    reference.SelectProgram(3);
    reference.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.25f);
    reference.GetState(bank, VstToolkit::PluginCore::StateScope::kBank);
    const std::vector<uint8_t> saved(bank.Data(), bank.Data() + bank.Length());
    MemoryStream stream(saved);
    ASSERT_EQ(component->setState(&stream), kResultOk);
    EXPECT_EQ(State(), saved);
    // The bank carries every program but not which one is selected, as in the VST 2 module.
    ASSERT_EQ(controller->setParamNormalized(MorlentVst3::kProgramParamId, 3.0 / 31.0), kResultOk);
    EXPECT_FLOAT_EQ(static_cast<float>(controller->getParamNormalized(MorlentDelay::kFeedbackLevel)), 0.25f);
    EXPECT_EQ(State(), saved);

    std::vector<uint8_t> newer = saved;
    TestSupport::SetChunkVersion(newer, MorlentDelay::kVendorVersion + 1);
    std::vector<uint8_t> notOurs = saved;
    notOurs[0] ^= 0x5A;
    const std::vector<std::vector<uint8_t>> refused = {
        {}, std::vector<uint8_t>(saved.begin(), saved.begin() + 40),
        std::vector<uint8_t>(saved.begin(), saved.end() - 30), newer, notOurs};
    for (const std::vector<uint8_t>& bytes : refused) {
        MemoryStream bad(bytes);
        EXPECT_EQ(component->setState(&bad), kResultFalse) << bytes.size() << " bytes";
        EXPECT_EQ(State(), saved);
    }
    EXPECT_EQ(component->setState(nullptr), kInvalidArgument);
    // A stream longer than any state of ours is refused before it is read whole.
    MemoryStream huge(std::vector<uint8_t>(VstToolkit::PluginCore::kMaxStateSize + 1, 0));
    EXPECT_EQ(component->setState(&huge), kResultFalse);
    EXPECT_EQ(State(), saved);
}

TEST_F(Vst3EffectTest, ParameterTableMatchesTheVst2Module)
{
    ReferenceCore reference;
    ASSERT_EQ(controller->getParameterCount(),
              MorlentDelay::kParameterCount + 2 + MorlentVst3::kControllerParamCount);
    for (int32 index = 0; index < MorlentDelay::kParameterCount; ++index) {
        Vst3::ParameterInfo info{};
        ASSERT_EQ(controller->getParameterInfo(index, info), kResultOk);
        const VstToolkit::ParameterInfo* facts = reference.GetParameterInfo(index);
        EXPECT_EQ(info.id, static_cast<ParamID>(index)) << "parameter IDs are the VST 2 indices";
        EXPECT_EQ(Text(info.title), facts->longName);
        EXPECT_EQ(Text(info.shortTitle), facts->shortName);
        EXPECT_EQ(Text(info.units), facts->label);
        EXPECT_EQ(info.stepCount, facts->entryCount > 0 ? facts->entryCount - 1 : 0);
        EXPECT_FLOAT_EQ(static_cast<float>(info.defaultNormalizedValue), facts->defaultValue);
        EXPECT_TRUE(info.flags & Vst3::ParameterInfo::kCanAutomate);
        // Every step of a switch or choice shows its entry.
        for (int32 step = 0; step <= info.stepCount && info.stepCount > 0; ++step) {
            String128 text{};
            ASSERT_EQ(controller->getParamStringByValue(info.id, static_cast<double>(step) / info.stepCount, text),
                      kResultOk);
            EXPECT_EQ(Text(text), facts->entries[step]) << facts->longName << " step " << step;
            ParamValue parsed = -1.0;
            std::vector<char16> wide = Wide(facts->entries[step]);
            ASSERT_EQ(controller->getParamValueByString(info.id, wide.data(), parsed), kResultOk);
            EXPECT_DOUBLE_EQ(parsed, static_cast<double>(step) / info.stepCount);
        }
    }
    Vst3::ParameterInfo bypass{}, program{};
    ASSERT_EQ(controller->getParameterInfo(MorlentDelay::kParameterCount, bypass), kResultOk);
    EXPECT_EQ(bypass.id, MorlentVst3::kBypassParamId);
    EXPECT_TRUE(bypass.flags & Vst3::ParameterInfo::kIsBypass);
    EXPECT_EQ(bypass.stepCount, 1);
    ASSERT_EQ(controller->getParameterInfo(MorlentDelay::kParameterCount + 1, program), kResultOk);
    EXPECT_EQ(program.id, MorlentVst3::kProgramParamId);
    EXPECT_TRUE(program.flags & Vst3::ParameterInfo::kIsProgramChange);
    EXPECT_EQ(program.stepCount, MorlentDelay::kProgramCount - 1);
    Vst3::ParameterInfo controllerInfo{};
    ASSERT_EQ(controller->getParameterInfo(MorlentDelay::kParameterCount + 2 + 7, controllerInfo), kResultOk);
    EXPECT_EQ(controllerInfo.id, MorlentVst3::kFirstControllerParamId + 7);
    EXPECT_TRUE(controllerInfo.flags & Vst3::ParameterInfo::kIsHidden);
    EXPECT_EQ(controller->getParameterInfo(controller->getParameterCount(), program), kInvalidArgument);
    EXPECT_EQ(controller->getParameterInfo(-1, program), kInvalidArgument);
}

TEST_F(Vst3EffectTest, DisplayTextOfAnyValueIsTheVst2ModulesAndParsesBackToTheSameText)
{
    ReferenceCore reference;
    for (int32 index = 0; index < MorlentDelay::kParameterCount; ++index) {
        for (double value : {0.0, 0.1, 0.37, 0.5, 0.81, 1.0}) {
            char expected[MorlentDelay::kDisplaySize];
            reference.FormatParameterValue(index, static_cast<float>(value), expected);
            String128 text{};
            ASSERT_EQ(controller->getParamStringByValue(static_cast<ParamID>(index), value, text), kResultOk);
            EXPECT_EQ(Text(text), expected);
            ParamValue parsed = -1.0;
            ASSERT_EQ(controller->getParamValueByString(static_cast<ParamID>(index), text, parsed), kResultOk)
                << expected;
            char again[MorlentDelay::kDisplaySize];
            reference.FormatParameterValue(index, static_cast<float>(parsed), again);
            EXPECT_STREQ(again, expected) << "parameter " << index << " value " << value;
        }
    }
    String128 text{};
    EXPECT_EQ(controller->getParamStringByValue(999, 0.5, text), kInvalidArgument);
    std::vector<char16> nonsense = Wide("loud");
    ParamValue parsed = 0.0;
    EXPECT_EQ(controller->getParamValueByString(MorlentDelay::kLeftDelay, nonsense.data(), parsed), kResultFalse);
}

TEST_F(Vst3EffectTest, BypassIsEnabledInvertedAndProgramsFormAProgramList)
{
    ASSERT_EQ(controller->setParamNormalized(MorlentVst3::kBypassParamId, 1.0), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(MorlentDelay::kEnabled), 0.0);
    ASSERT_EQ(controller->setParamNormalized(MorlentDelay::kEnabled, 1.0), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(MorlentVst3::kBypassParamId), 0.0);
    EXPECT_EQ(controller->setParamNormalized(555, 0.5), kInvalidArgument);
    EXPECT_EQ(controller->setParamNormalized(MorlentDelay::kPan, NAN), kInvalidArgument);

    IUnitInfo* units = effect;
    ASSERT_EQ(units->getProgramListCount(), 1);
    ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.programCount, MorlentDelay::kProgramCount);
    UnitInfo unit{};
    ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.programListId, list.id);
    ReferenceCore reference;
    for (int32 program = 0; program < MorlentDelay::kProgramCount; ++program) {
        String128 name{};
        ASSERT_EQ(units->getProgramName(list.id, program, name), kResultOk);
        EXPECT_EQ(Text(name), reference.GetProgramName(program));
    }
    String128 name{};
    EXPECT_EQ(units->getProgramName(list.id, MorlentDelay::kProgramCount, name), kInvalidArgument);

    RecordingHandler handler;
    ASSERT_EQ(controller->setComponentHandler(&handler), kResultOk);
    ASSERT_EQ(controller->setParamNormalized(MorlentVst3::kProgramParamId, 5.0 / 31.0), kResultOk);
    reference.SelectProgram(5);
    EXPECT_FLOAT_EQ(static_cast<float>(controller->getParamNormalized(MorlentDelay::kLeftDelay)),
                    reference.GetParameterValue(MorlentDelay::kLeftDelay));
    ASSERT_EQ(handler.calls.size(), 1u);
    EXPECT_EQ(handler.calls[0], "restart " + std::to_string(kParamValuesChanged));
    controller->setComponentHandler(nullptr);
}

// A parameter change at a sample offset takes effect at that frame, exactly as the VST 2 module
// renders when its host splits the block there.
TEST_F(Vst3EffectTest, ParameterChangesTakeEffectAtTheirSampleOffsets)
{
    constexpr int32 kFrames = 512;
    constexpr int32 kOffset = 200;
    Activate(kFrames);
    ReferenceCore reference;
    reference.SetSampleRate(44100.0f);
    reference.SetMaxBlockSize(kFrames);

    StereoBlock block(kFrames);
    FillNoise(block.inLeft, 1);
    FillNoise(block.inRight, 2);
    // Prime both with the same audio and settings: a short delay so the change is audible.
    ParameterChanges changes;
    changes.Add(MorlentDelay::kLeftDelay, 0, 0.05);
    changes.Add(MorlentDelay::kRightDelay, 0, 0.05);
    changes.Add(MorlentDelay::kFeedbackLevel, 0, 0.6);
    block.data.inputParameterChanges = &changes;
    ASSERT_EQ(processor->process(block.data), kResultOk);
    reference.SetParameterValue(MorlentDelay::kLeftDelay, 0.05f);
    reference.SetParameterValue(MorlentDelay::kRightDelay, 0.05f);
    reference.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.6f);
    std::vector<float> refLeft = block.inLeft, refRight = block.inRight;
    float* channels[2] = {refLeft.data(), refRight.data()};
    reference.Process(channels, channels, kFrames);
    ASSERT_EQ(block.outLeft, refLeft);

    // Now feedback and mix move inside the block, points listed out of order across queues.
    changes.Clear();
    changes.Add(MorlentDelay::kWetDryMix, kOffset, 0.9);
    changes.Add(MorlentDelay::kFeedbackLevel, kOffset + 100, 0.1);
    changes.Add(MorlentDelay::kFeedbackLevel, 50, 0.3);
    ASSERT_EQ(processor->process(block.data), kResultOk);

    refLeft = block.inLeft;
    refRight = block.inRight;
    reference.ProcessFrames(channels, channels, 0, 50);
    reference.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.3f);
    reference.ProcessFrames(channels, channels, 50, kOffset - 50);
    reference.SetParameterValue(MorlentDelay::kWetDryMix, 0.9f);
    reference.ProcessFrames(channels, channels, kOffset, 100);
    reference.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.1f);
    reference.ProcessFrames(channels, channels, kOffset + 100, kFrames - kOffset - 100);
    EXPECT_EQ(block.outLeft, refLeft);
    EXPECT_EQ(block.outRight, refRight);

    // Bypass at an offset: from there the output is the input.
    changes.Clear();
    changes.Add(MorlentVst3::kBypassParamId, kOffset, 1.0);
    ASSERT_EQ(processor->process(block.data), kResultOk);
    EXPECT_NE(block.outLeft[kOffset - 1], block.inLeft[kOffset - 1]);
    EXPECT_TRUE(std::equal(block.outLeft.begin() + kOffset, block.outLeft.end(), block.inLeft.begin() + kOffset));
    EXPECT_EQ(controller->getParamNormalized(MorlentDelay::kEnabled), 0.0);

    // A block of no frames still carries its changes.
    changes.Clear();
    changes.Add(MorlentDelay::kPan, 0, 1.0);
    block.data.numSamples = 0;
    ASSERT_EQ(processor->process(block.data), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(MorlentDelay::kPan), 1.0);
}

// A bound controller arrives as its hidden parameter at a sample offset: the bound parameter moves
// at that frame, and the host hears the move in the block's output changes, as a VST 2 host
// hears a learned controller as automation.
TEST_F(Vst3EffectTest, ControllersMappedOntoParametersDriveTheirLearnedBindings)
{
    ParamID id = 0;
    IMidiMapping* mapping = effect;
    ASSERT_EQ(mapping->getMidiControllerAssignment(0, 3, 20, id), kResultTrue);
    EXPECT_EQ(id, MorlentVst3::kFirstControllerParamId + 20);
    EXPECT_EQ(mapping->getMidiControllerAssignment(1, 0, 20, id), kResultFalse);
    EXPECT_EQ(mapping->getMidiControllerAssignment(0, 0, 128, id), kResultFalse); // aftertouch, pitch bend

    // A bank whose controller 20 is bound to Feedback Level, as the VST 2 module saves it.
    int bindings[MorlentDelay::kParameterCount];
    for (int& binding : bindings)
        binding = -1;
    bindings[MorlentDelay::kFeedbackLevel] = 20;
    MemoryStream bank(TestSupport::BankWithBindings(State(), bindings));
    ASSERT_EQ(component->setState(&bank), kResultOk);

    constexpr int32 kFrames = 256;
    Activate(kFrames);
    StereoBlock block(kFrames);
    ParameterChanges in, out;
    in.Add(MorlentVst3::kFirstControllerParamId + 20, 100, 1.0);
    in.Add(MorlentVst3::kFirstControllerParamId + 21, 50, 1.0); // unbound: nothing moves
    block.data.inputParameterChanges = &in;
    block.data.outputParameterChanges = &out;
    ASSERT_EQ(processor->process(block.data), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(MorlentDelay::kFeedbackLevel), 1.0);
    ASSERT_EQ(out.count, 1);
    EXPECT_EQ(out.queues[0].id, static_cast<ParamID>(MorlentDelay::kFeedbackLevel));
    ASSERT_EQ(out.queues[0].count, 1);
    EXPECT_EQ(out.queues[0].offsets[0], 100);
    EXPECT_EQ(out.queues[0].values[0], 1.0);
    // The controller's own parameter stands still for the main thread.
    EXPECT_EQ(controller->setParamNormalized(MorlentVst3::kFirstControllerParamId + 20, 0.0), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(MorlentDelay::kFeedbackLevel), 1.0);
}

TEST(Vst3ProcessContextTest, TempoOfTheContextDrivesSynchronisedDelaysAndNoContextKeepsTheDefault)
{
    // Fresh instances with sync on: the context's tempo changes the output, and a host that
    // gives no context hears the default tempo, 120, as from a VST 2 host that answers no time.
    constexpr int32 kFrames = 44100;
    auto render = [&](const ProcessContext* context) {
        Vst3Effect* effect = new Vst3Effect;
        IComponent* component = effect;
        IAudioProcessor* processor = effect;
        EXPECT_EQ(component->initialize(nullptr), kResultOk);
        ProcessSetup setup{kRealtime, kSample32, kFrames, 44100.0};
        EXPECT_EQ(processor->setupProcessing(setup), kResultOk);
        EXPECT_EQ(component->setActive(1), kResultOk);
        EXPECT_EQ(effect->setParamNormalized(MorlentDelay::kSync, 1.0), kResultOk);
        StereoBlock block(kFrames);
        block.inLeft[0] = 1.0f;
        block.inRight[0] = 1.0f;
        block.data.processContext = const_cast<ProcessContext*>(context);
        EXPECT_EQ(processor->process(block.data), kResultOk);
        component->terminate();
        component->release();
        return block.outLeft;
    };
    ProcessContext context{};
    context.state = ProcessContext::kTempoValid | ProcessContext::kPlaying;
    context.sampleRate = 44100.0;
    context.tempo = 120.0;
    const std::vector<float> at120 = render(&context);
    context.tempo = 90.0;
    const std::vector<float> at90 = render(&context);
    EXPECT_NE(at90, at120);
    EXPECT_EQ(render(nullptr), at120);
}

// The audio thread processes with automation while the main thread edits, reads texts and
// exchanges state, as hosts do; ThreadSanitizer builds watch for races.
TEST_F(Vst3EffectTest, ProcessingAndTheMainThreadRunTogether)
{
    constexpr int32 kFrames = 256;
    Activate(kFrames);
    MemoryStream saved;
    ASSERT_EQ(component->getState(&saved), kResultOk);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        StereoBlock block(kFrames);
        FillNoise(block.inLeft, 3);
        FillNoise(block.inRight, 4);
        ParameterChanges changes;
        block.data.inputParameterChanges = &changes;
        for (int i = 0; i < 400; ++i) {
            changes.Clear();
            changes.Add(MorlentDelay::kFeedbackLevel, i % kFrames, (i % 10) / 10.0);
            changes.Add(MorlentVst3::kBypassParamId, (i * 7) % kFrames, (i / 50) % 2);
            EXPECT_EQ(processor->process(block.data), kResultOk);
        }
        stop.store(true);
    });
    int rounds = 0;
    while (!stop.load() || rounds == 0) {
        controller->setParamNormalized(MorlentDelay::kWetDryMix, (rounds % 7) / 7.0);
        String128 text{};
        controller->getParamStringByValue(MorlentDelay::kLeftDelay, controller->getParamNormalized(1), text);
        MemoryStream state;
        component->getState(&state);
        saved.position = 0;
        component->setState(&saved);
        ++rounds;
    }
    audio.join();
    EXPECT_GT(rounds, 0);
}
