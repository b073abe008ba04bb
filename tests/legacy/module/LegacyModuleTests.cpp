// The 32-bit module loaded as a host loads it, driven through its record only: identity, the
// first generation's read, learning, chunks and their exchange with the 64-bit module.
#include "description/EffectDescription.h"
#include "support/PluginModule.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

class Instance {
public:
    explicit Instance(const PluginModule& module)
    {
        PluginModule::Entry entry = module.Find("VSTPluginMain");
        record = entry != nullptr ? entry(RecordingHost::Callback) : nullptr;
    }
    ~Instance()
    {
        if (record != nullptr)
            Dispatch(effClose);
    }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    std::vector<uint8_t> Chunk(bool preset)
    {
        void* data = nullptr;
        const VstIntPtr size = Dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(bytes, bytes + size);
    }
    VstIntPtr SetChunk(bool preset, std::vector<uint8_t> bytes)
    {
        return Dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
    }
    void Process(std::vector<float>& left, std::vector<float>& right)
    {
        float* inputs[2] = {left.data(), right.data()};
        record->processReplacing(record, inputs, inputs, static_cast<VstInt32>(left.size()));
    }

    AEffect* record = nullptr;
};

class LegacyModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module = new PluginModule(MORLENT_MODULE_PATH); }
    static void TearDownTestSuite()
    {
        delete module;
        module = nullptr;
    }
    void SetUp() override
    {
        RecordingHost::Reset();
        ASSERT_TRUE(module->Loaded()) << MORLENT_MODULE_PATH;
        effect = std::make_unique<Instance>(*module);
        ASSERT_NE(nullptr, effect->record);
    }

    static PluginModule* module;
    std::unique_ptr<Instance> effect;
};

PluginModule* LegacyModuleTest::module = nullptr;

TEST_F(LegacyModuleTest, TheRecordShowsTheFirstGeneration)
{
    AEffect* record = effect->record;
    EXPECT_EQ(kEffectMagic, record->magic);
    EXPECT_EQ(MorlentDelay::kUniqueId, record->uniqueID);
    EXPECT_EQ(32, record->numPrograms);
    EXPECT_EQ(12, record->numParams);
    EXPECT_EQ(2, record->numInputs);
    EXPECT_EQ(2, record->numOutputs);
    EXPECT_EQ(1, record->version);
    EXPECT_EQ(MORLENT_EXPECT_EDITOR ? 0x31 : 0x30, record->flags);
    EXPECT_EQ(2600, effect->Dispatch(effGetVendorVersion));
    EXPECT_EQ(2400, effect->Dispatch(effGetVstVersion));
    EXPECT_EQ(1, effect->Dispatch(effGetNumMidiInputChannels));
    char text[128];
    effect->Dispatch(effGetParamName, 8, 0, text);
    EXPECT_STREQ("CFreq", text);
    effect->Dispatch(effGetParamDisplay, 8, 0, text);
    EXPECT_STREQ("2515.00", text);
    effect->Dispatch(effGetParamDisplay, 9, 0, text);
    EXPECT_STREQ("Lowpass", text);
    EXPECT_EQ(-1, effect->Dispatch(effCanDo, 0, 0, const_cast<char*>("sendVstMidiEvent")));
    // Asked for MIDI during construction.
    EXPECT_FALSE(RecordingHost::Instance().CallsOf(audioMasterWantMidi).empty());

    RecordingHost::Reset();
    RecordingHost::Instance().version = 0;
    Instance refused(*module);
    EXPECT_EQ(nullptr, refused.record);
}

TEST_F(LegacyModuleTest, AnImpulseLandsOneSampleBeyondEachDelay)
{
    effect->Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->Dispatch(effMainsChanged, 0, 1);
    std::vector<float> left(50000, 0.0f), right(50000, 0.0f);
    left[0] = right[0] = 1.0f;
    effect->Process(left, right);
    // The read leans toward the older neighbour: 1 s is 44101 samples after the input.
    EXPECT_FLOAT_EQ(0.5f, left[0]);
    EXPECT_NEAR(0.0f, left[44100], 1e-6f);
    EXPECT_FLOAT_EQ(0.5f, left[44101]);
    EXPECT_FLOAT_EQ(0.5f, right[11026]);
    EXPECT_NEAR(0.0f, right[11025], 1e-6f);
}

TEST_F(LegacyModuleTest, ALearnedControllerMovesTheParameterAndTellsTheHost)
{
    // Learning is armed by the editor; the bank chunk carries the binding here instead.
    std::vector<uint8_t> bank = effect->Chunk(false);
    ASSERT_EQ(2480u, bank.size());
    bank.resize(2468);
    for (int index = 0; index < 12; ++index) {
        bank.push_back(index == 11 || index == 6 ? 1 : 0);
        if (index == 11 || index == 6)
            bank.push_back(74);
    }
    ASSERT_EQ(1, effect->SetChunk(false, bank));
    EXPECT_EQ(bank, effect->Chunk(false));

    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = 3;
    event.midiData[0] = static_cast<char>(0xB2);
    event.midiData[1] = 74;
    event.midiData[2] = 127;
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[2];
    } list{1, 0, {reinterpret_cast<VstEvent*>(&event), nullptr}};
    RecordingHost::Instance().calls.clear();
    effect->Dispatch(effProcessEvents, 0, 0, &list);
    std::vector<float> left(64, 0.0f), right(64, 0.0f);
    effect->Process(left, right);
    EXPECT_FLOAT_EQ(1.0f, effect->record->getParameter(effect->record, 11));
    EXPECT_FLOAT_EQ(1.0f, effect->record->getParameter(effect->record, 6));
    const auto automated = RecordingHost::Instance().CallsOf(audioMasterAutomate);
    ASSERT_EQ(2u, automated.size());
    EXPECT_EQ(6, automated[0].index);
    EXPECT_EQ(11, automated[1].index);
}

TEST_F(LegacyModuleTest, ChunksComeBackByteForByteAndNewerOnesAreRefused)
{
    effect->record->setParameter(effect->record, 3, 1.0f);
    char name[] = "Tape Echo";
    effect->Dispatch(effSetProgramName, 0, 0, name);
    const std::vector<uint8_t> program = effect->Chunk(true);
    ASSERT_EQ(236u, program.size());
    const std::vector<uint8_t> bank = effect->Chunk(false);

    Instance other(*module);
    ASSERT_EQ(1, other.SetChunk(false, bank));
    EXPECT_EQ(bank, other.Chunk(false));
    EXPECT_EQ(program, other.Chunk(true));

    std::vector<uint8_t> newer = program;
    const int32_t version = MorlentDelay::kVendorVersion;
    std::memcpy(newer.data() + 160, &version, 4);
    newer[164] = 'Z';
    EXPECT_EQ(0, other.SetChunk(true, newer));
    EXPECT_EQ(program, other.Chunk(true));
}

#ifdef MORLENT_CURRENT_MODULE_PATH
// Both generations in one process: what the 32-bit module saves, the 64-bit one loads; the
// other way round the 32-bit module refuses the newer chunk.
TEST_F(LegacyModuleTest, ChunksCrossFromTheFirstGenerationToTheCurrentOneOnly)
{
    PluginModule current(MORLENT_CURRENT_MODULE_PATH);
    ASSERT_TRUE(current.Loaded());
    Instance modern(current);
    ASSERT_NE(nullptr, modern.record);
    effect->record->setParameter(effect->record, 6, 0.75f);
    char name[] = "From 2.6";
    effect->Dispatch(effSetProgramName, 0, 0, name);
    std::vector<uint8_t> bank = effect->Chunk(false);
    ASSERT_EQ(1, modern.SetChunk(false, bank));
    EXPECT_FLOAT_EQ(0.75f, modern.record->getParameter(modern.record, 6));
    char text[64];
    modern.Dispatch(effGetProgramName, 0, 0, text);
    EXPECT_STREQ("From 2.6", text);

    const std::vector<uint8_t> before = effect->Chunk(false);
    EXPECT_EQ(0, effect->SetChunk(false, modern.Chunk(false)));
    EXPECT_EQ(0, effect->SetChunk(true, modern.Chunk(true)));
    EXPECT_EQ(before, effect->Chunk(false));
}
#endif

} // namespace
