// The 32-bit module loaded as a host loads it, driven through its record only: identity, the
// first generation's read and event order, learning, chunks and their version rules, and their
// exchange with the 64-bit module.
#include "description/EffectDescription.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/PluginModule.h"
#include "tests/support/RecordingHost.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
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

// The bank with its controller map replaced by one binding, or by none.
std::vector<uint8_t> WithBinding(const std::vector<uint8_t>& bank, int parameter = -1, int controller = -1)
{
    int controllers[MorlentDelay::kParameterCount];
    for (int index = 0; index < MorlentDelay::kParameterCount; ++index)
        controllers[index] = index == parameter ? controller : -1;
    return TestSupport::BankWithBindings(bank, controllers);
}

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
    const std::vector<uint8_t> unbound = effect->Chunk(false);
    ASSERT_EQ(2480u, unbound.size());
    const int controllers[MorlentDelay::kParameterCount] = {-1, -1, -1, -1, -1, -1, 74, -1, -1, -1, -1, 74};
    const std::vector<uint8_t> bank = TestSupport::BankWithBindings(unbound, controllers);
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
    TestSupport::SetChunkVersion(newer, MorlentDelay::kVendorVersion);
    newer[164] = 'Z';
    EXPECT_EQ(0, other.SetChunk(true, newer));
    EXPECT_EQ(program, other.Chunk(true));
}

// The first generation's order, seen in the audio: a controller bound to the on switch turns the
// effect off (the input passes) and on (the full wet output, silent at first) at its frames.
TEST_F(LegacyModuleTest, EachEventTakesEffectBeforeTheFramesUpToItsOwn)
{
    ASSERT_EQ(1, effect->SetChunk(false, WithBinding(effect->Chunk(false), MorlentDelay::kEnabled, 20)));
    effect->record->setParameter(effect->record, MorlentDelay::kWetDryMix, 1.0f);
    effect->Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->Dispatch(effMainsChanged, 0, 1);
    const auto controllers = [&](std::initializer_list<std::array<int, 2>> frameAndValue) {
        std::vector<VstMidiEvent> events;
        for (const auto& event : frameAndValue)
            events.push_back(TestSupport::MidiEvent(event[0], 0xB0, 20, event[1]));
        TestSupport::SendMidi(effect->record, events);
    };
    const auto play = [&](int frames) {
        std::vector<float> left(static_cast<size_t>(frames), 1.0f), right(left);
        effect->Process(left, right);
        std::string heard;
        for (float sample : left)
            heard += sample == 1.0f ? 'd' : (std::fabs(sample) < 1e-6f ? 'w' : '?');
        return heard;
    };
    const auto runs = [](std::initializer_list<std::pair<char, int>> parts) {
        std::string heard;
        for (const auto& part : parts)
            heard.append(static_cast<size_t>(part.second), part.first);
        return heard;
    };

    // Off at 10, on at 20: the first ten frames are already off, the next ten already on.
    controllers({{10, 0}, {20, 127}});
    EXPECT_EQ(runs({{'d', 10}, {'w', 54}}), play(64));
    // Beyond the block: handled before the whole block.
    controllers({{100, 0}});
    EXPECT_EQ(runs({{'d', 64}}), play(64));
    // One beyond the block, then one inside it: both before the block, in arrival order.
    controllers({{600, 127}, {10, 0}});
    EXPECT_EQ(runs({{'d', 512}}), play(512));
    // On at 0, off at 100, on at 100: the first hundred frames off, the rest on.
    controllers({{0, 127}, {100, 0}, {100, 127}});
    EXPECT_EQ(runs({{'d', 100}, {'w', 412}}), play(512));
}

TEST_F(LegacyModuleTest, OldBanksKeepTheControllerMapAndNewerOnesReplaceIt)
{
    const std::vector<uint8_t> bound = WithBinding(effect->Chunk(false), 6, 74);
    ASSERT_EQ(1, effect->SetChunk(false, bound));

    // Up to 2110 a bank ends after its values and leaves the map alone.
    std::vector<uint8_t> old(bound.begin(), bound.begin() + MorlentDelay::kBankProgramsSize);
    old[MorlentDelay::kChunkHeaderSize + 24 + 3] = 0x3E; // the first program's first value
    TestSupport::SetChunkVersion(old, 2110);
    ASSERT_EQ(1, effect->SetChunk(false, old));
    std::vector<uint8_t> expected = WithBinding(old, 6, 74);
    TestSupport::SetChunkVersion(expected, MorlentDelay::kFirstGenerationVendorVersion);
    EXPECT_EQ(expected, effect->Chunk(false));

    // From 2111 on it carries a map of its own, which must be there.
    TestSupport::SetChunkVersion(old, 2111);
    EXPECT_EQ(0, effect->SetChunk(false, old));
    EXPECT_EQ(expected, effect->Chunk(false));
    std::vector<uint8_t> unbound = WithBinding(old);
    ASSERT_EQ(1, effect->SetChunk(false, unbound));
    TestSupport::SetChunkVersion(unbound, MorlentDelay::kFirstGenerationVendorVersion);
    EXPECT_EQ(unbound, effect->Chunk(false));

    // 2600 is this module's own; 2601 is newer. A refused bank, or one cut short, changes nothing.
    std::vector<uint8_t> own = bound;
    TestSupport::SetChunkVersion(own, 2600);
    ASSERT_EQ(1, effect->SetChunk(false, own));
    EXPECT_EQ(bound, effect->Chunk(false));
    std::vector<uint8_t> newer = unbound;
    TestSupport::SetChunkVersion(newer, 2601);
    EXPECT_EQ(0, effect->SetChunk(false, newer));
    EXPECT_EQ(0, effect->SetChunk(false, std::vector<uint8_t>(unbound.begin(), unbound.begin() + 2000)));
    EXPECT_EQ(bound, effect->Chunk(false));
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
