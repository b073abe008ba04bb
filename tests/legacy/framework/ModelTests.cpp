// The first-generation model and plug-in over a plain group of twelve parameters: block
// pieces and MIDI order, learning, observers, chunks and their version rules, identity.
#include "legacy/framework/Model.h"
#include "legacy/framework/Plugin.h"
#include "legacy/parameters/ParameterGroup.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using VovezEdeduvo::Model;
using VovezEdeduvo::ModelObserverInterface;
using VovezEdeduvo::Vst::Plugin;

struct PlainGroup : VovezEdeduvo::ParameterHandling::ParameterGroup {
    PlainGroup() : ParameterGroup(MorlentDelay::kParameterCount, MorlentDelay::kProgramCount) {}
    void GetParameterDisplay(int32_t, char* text, int32_t maxLength) override
    {
        Morlent::CopyFixedString(text, "shown", maxLength);
    }
};

// Records what the framework hands the effect: pieces (offset into the host block, length)
// and messages, in one sequence.
struct RecordingModel : Model {
    PlainGroup group;
    std::vector<std::string> events;
    float* blockStart = nullptr;
    int resets = 0;

    RecordingModel() : Model(2, 2, MorlentDelay::kProgramCount)
    {
        AddGroup(&group);
        for (int32_t p = 0; p < MorlentDelay::kProgramCount; ++p)
            for (int32_t i = 0; i < MorlentDelay::kParameterCount; ++i)
                SetProgramParameterValue(p, i, MorlentDelay::kParameters[i].defaultValue);
    }
    void ProcessMessage(uint8_t status, uint8_t data1, uint8_t data2) override
    {
        events.push_back("message " + std::to_string(data1));
        Model::ProcessMessage(status, data1, data2);
    }
    void Process(float** inputs, float**, int32_t count) override
    {
        events.push_back("frames " + std::to_string(inputs[0] - blockStart) + "+" + std::to_string(count));
    }
    void Reset() override { ++resets; }
    bool BankCarriesControllerMap(int32_t version) const override
    {
        return version > MorlentDelay::kLastVersionWithoutControllerMap;
    }
};

struct RecordingObserver : ModelObserverInterface {
    std::vector<std::pair<int32_t, float>> changes;
    int programChanges = 0;
    void OnParameterChanged(Model*, int32_t index, float value) override { changes.emplace_back(index, value); }
    void OnProgramChanged(Model*) override { ++programChanges; }
};

class LegacyPluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordingHost::Reset();
        model = new RecordingModel;
        plugin = new Plugin(RecordingHost::Callback, MorlentDelay::kEffectName, MorlentDelay::kVendorName,
                            MorlentDelay::kProductName, MorlentDelay::kFirstGenerationVendorVersion,
                            MorlentDelay::kUniqueId, MorlentDelay::kCategory, model);
        record = plugin->getAeffect();
        model->AddObserver(&view);
        model->events.clear();
        left.assign(50000, 0.0f);
        right.assign(50000, 0.0f);
        model->blockStart = left.data();
    }
    void TearDown() override { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
    }
    void Process(int frames)
    {
        float* channels[2] = {left.data(), right.data()};
        record->processReplacing(record, channels, channels, frames);
    }
    void Midi(std::vector<std::array<int, 4>> list) // frame, status, data1, data2
    {
        std::vector<VstMidiEvent> events(list.size());
        struct {
            VstInt32 numEvents;
            VstIntPtr reserved;
            VstEvent* events[16];
        } block{static_cast<VstInt32>(list.size()), 0, {}};
        for (size_t i = 0; i < list.size(); ++i) {
            events[i].type = kVstMidiType;
            events[i].byteSize = sizeof(VstMidiEvent);
            events[i].deltaFrames = list[i][0];
            for (int b = 0; b < 3; ++b)
                events[i].midiData[b] = static_cast<char>(list[i][b + 1]);
            block.events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        }
        Dispatch(effProcessEvents, 0, 0, &block);
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
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(model->events);
        return taken;
    }

    RecordingModel* model = nullptr;
    Plugin* plugin = nullptr;
    AEffect* record = nullptr;
    RecordingObserver view;
    std::vector<float> left, right;
};

using Events = std::vector<std::string>;

TEST_F(LegacyPluginTest, EachMessageIsHandledBeforeTheRangeThatEndsAtItsFrame)
{
    Midi({{10, 0x90, 1, 1}, {20, 0x90, 2, 1}});
    Process(64);
    EXPECT_EQ((Events{"message 1", "frames 0+10", "message 2", "frames 10+10", "frames 20+44"}), Take());

    Midi({{100, 0x90, 1, 1}});
    Process(64);
    EXPECT_EQ((Events{"message 1", "frames 0+64"}), Take());

    Midi({{600, 0x90, 1, 1}, {10, 0x90, 2, 1}});
    Process(512);
    EXPECT_EQ((Events{"message 1", "message 2", "frames 0+512"}), Take());

    Midi({{0, 0x90, 1, 1}, {100, 0x90, 2, 1}, {100, 0x90, 3, 1}});
    Process(512);
    EXPECT_EQ((Events{"message 1", "message 2", "frames 0+100", "message 3", "frames 100+412"}), Take());
}

TEST_F(LegacyPluginTest, AnEventAtTheBlocksEndEndsItAndTheNextWaits)
{
    Midi({{64, 0x90, 1, 1}, {3, 0x90, 2, 1}});
    Process(64);
    EXPECT_EQ((Events{"message 1", "frames 0+64"}), Take());
    EXPECT_EQ(1u, model->PendingMidiEventCount());
    Process(64);
    EXPECT_EQ((Events{"message 2", "frames 0+3", "frames 3+61"}), Take());
}

TEST_F(LegacyPluginTest, OutOfOrderAndNegativeOffsetsNeverRenderBackwards)
{
    Midi({{30, 0x90, 1, 1}, {10, 0x90, 2, 1}, {-5, 0x90, 3, 1}});
    Process(64);
    // The late one is handled where the block is; the negative one counts as beyond the block.
    EXPECT_EQ((Events{"message 1", "frames 0+30", "message 2", "message 3", "frames 30+34"}), Take());
}

TEST_F(LegacyPluginTest, LongBlocksReachTheEffectInPiecesOfAtMost16384Frames)
{
    Process(40000);
    EXPECT_EQ((Events{"frames 0+16384", "frames 16384+16384", "frames 32768+7232"}), Take());
}

TEST_F(LegacyPluginTest, ALearnedControllerDrivesItsParametersAndTellsTheHost)
{
    model->SetLearnParameter(3);
    model->SetLearning(true);
    Midi({{0, 0xB5, 21, 90}});
    Process(16);
    EXPECT_FALSE(model->IsLearning());
    EXPECT_TRUE(model->IsMapped(3));
    EXPECT_FLOAT_EQ(0.0f, record->getParameter(record, 3)) << "learning moves nothing";

    model->SetLearnParameter(5);
    model->SetLearning(true);
    Midi({{0, 0xB0, 21, 0}});
    Process(16);
    RecordingHost::Instance().calls.clear();
    view.changes.clear();
    Midi({{0, 0xB1, 21, 127}});
    Process(16);
    EXPECT_FLOAT_EQ(1.0f, record->getParameter(record, 3));
    EXPECT_FLOAT_EQ(1.0f, record->getParameter(record, 5));
    const auto automated = RecordingHost::Instance().CallsOf(audioMasterAutomate);
    ASSERT_EQ(2u, automated.size());
    EXPECT_EQ(3, automated[0].index);
    EXPECT_EQ(5, automated[1].index);
    EXPECT_FLOAT_EQ(1.0f, automated[1].opt);
    EXPECT_EQ((std::vector<std::pair<int32_t, float>>{{3, 1.0f}, {5, 1.0f}}), view.changes);

    Midi({{0, 0xB0, 21, 64}});
    Process(16);
    EXPECT_FLOAT_EQ(0.503937f, record->getParameter(record, 3));
}

TEST_F(LegacyPluginTest, AControlChangeWithAByteAbove127NeitherLearnsNorMovesAnything)
{
    model->SetLearnParameter(3);
    model->SetLearning(true);
    Midi({{0, 0xB0, 135, 64}, {0, 0xB0, 255, 0}, {0, 0xB0, 21, 200}, {0, 0xB0, 128, 128}});
    Process(16);
    EXPECT_TRUE(model->IsLearning()) << "still waiting for a controller";
    EXPECT_FALSE(model->IsMapped(3));

    Midi({{0, 0xB0, 21, 0}});
    Process(16);
    ASSERT_TRUE(model->IsMapped(3));
    EXPECT_EQ(21, model->GetController(3));
    RecordingHost::Instance().calls.clear();
    view.changes.clear();
    Midi({{0, 0xB0, 21, 200}, {0, 0xB0, 21, 0x80}});
    Process(16);
    EXPECT_FLOAT_EQ(0.0f, record->getParameter(record, 3));
    EXPECT_TRUE(RecordingHost::Instance().CallsOf(audioMasterAutomate).empty());
    EXPECT_TRUE(view.changes.empty());
}

TEST_F(LegacyPluginTest, HostChangesReachTheOtherObserversButNotTheHost)
{
    RecordingHost::Instance().calls.clear();
    record->setParameter(record, 8, 0.3f);
    EXPECT_EQ((std::vector<std::pair<int32_t, float>>{{8, 0.3f}}), view.changes);
    EXPECT_TRUE(RecordingHost::Instance().CallsOf(audioMasterAutomate).empty());
    record->setParameter(record, 8, 0.3f); // the same value: nobody hears of it
    record->setParameter(record, 8, std::nanf(""));
    record->setParameter(record, 8, 7.0f); // kept within 0..1
    EXPECT_EQ(2u, view.changes.size());
    EXPECT_FLOAT_EQ(1.0f, record->getParameter(record, 8));
    record->setParameter(record, 8, 1.5f); // clamps to the value it has
    EXPECT_EQ(2u, view.changes.size());

    const int resets = model->resets;
    Dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(4, Dispatch(effGetProgram));
    EXPECT_EQ(1, view.programChanges);
    EXPECT_EQ(resets + 1, model->resets);
    Dispatch(effSetProgram, 0, -1);
    Dispatch(effSetProgram, 0, 32);
    EXPECT_EQ(4, Dispatch(effGetProgram));
}

TEST_F(LegacyPluginTest, ChunksHaveTheSharedLayoutWithThisModulesVersion)
{
    const std::vector<uint8_t> program = Chunk(true);
    ASSERT_EQ(236u, program.size());
    EXPECT_EQ(0, std::memcmp(program.data(), "Morlent Delay\0\0\0", 16));
    EXPECT_EQ(0, std::memcmp(program.data() + 32, "Morlent Sound Design", 21));
    EXPECT_EQ(0, std::memcmp(program.data() + 96, "Morlent Delay", 14));
    const uint8_t version[4] = {0x28, 0x0A, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(program.data() + 160, version, 4));
    EXPECT_EQ(0, std::memcmp(program.data() + 164, "Blank\0", 6));
    const uint8_t values[] = {0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(program.data() + 188, values, sizeof values));

    std::vector<uint8_t> bank = Chunk(false);
    ASSERT_EQ(2480u, bank.size());
    for (int32_t i = 0; i < 12; ++i)
        model->Map(static_cast<uint8_t>(20 + i), i);
    bank = Chunk(false);
    ASSERT_EQ(2492u, bank.size());
    EXPECT_EQ(1, bank[2468]);
    EXPECT_EQ(20, bank[2469]);

    // What goes in comes back byte for byte, a name without a terminator included.
    std::vector<uint8_t> renamed = program;
    std::memset(renamed.data() + 164, 'x', 24);
    ASSERT_EQ(1, SetChunk(true, renamed));
    EXPECT_EQ(renamed, Chunk(true));
    char name[64];
    std::memset(name, 'q', sizeof name);
    Dispatch(effGetProgramName, 0, 0, name);
    EXPECT_EQ(std::string(23, 'x'), name);
}

TEST_F(LegacyPluginTest, ChunksNewerThanThisModuleOrCutShortChangeNothing)
{
    record->setParameter(record, 2, 0.75f);
    model->Map(30, 2);
    const std::vector<uint8_t> before = Chunk(false);
    std::vector<uint8_t> changed = before;
    for (size_t at = 164 + 24; at < 2468; at += 72)
        changed[at + 3] = 0x3E; // every program's first value becomes small
    changed.resize(2480);
    std::fill(changed.begin() + 2468, changed.end(), 0);

    for (int32_t version : {2601, MorlentDelay::kVendorVersion}) {
        std::vector<uint8_t> newer = changed;
        TestSupport::SetChunkVersion(newer, version);
        EXPECT_EQ(0, SetChunk(false, newer)) << version;
    }
    std::vector<uint8_t> cut(changed.begin(), changed.begin() + 2000);
    EXPECT_EQ(0, SetChunk(false, cut));
    EXPECT_EQ(0, SetChunk(false, std::vector<uint8_t>(changed.begin(), changed.begin() + 164)));
    EXPECT_EQ(0, SetChunk(true, std::vector<uint8_t>(changed.begin(), changed.begin() + 200)));
    std::vector<uint8_t> stranger = changed;
    stranger[0] = 'N';
    EXPECT_EQ(0, SetChunk(false, stranger));
    EXPECT_EQ(before, Chunk(false));
    EXPECT_EQ(0, view.programChanges);

    EXPECT_EQ(1, SetChunk(false, changed));
    EXPECT_EQ(1, view.programChanges);
    EXPECT_FALSE(model->IsMapped(2));
}

TEST_F(LegacyPluginTest, BanksUpToVersion2110CarryNoControllerMap)
{
    model->Map(40, 7);
    std::vector<uint8_t> old = Chunk(false);
    old.resize(2468); // the oldest banks end after the values
    TestSupport::SetChunkVersion(old, 2110);
    ASSERT_EQ(1, SetChunk(false, old));
    EXPECT_TRUE(model->IsMapped(7)) << "the map stays as it was";

    std::vector<uint8_t> newer = Chunk(false);
    TestSupport::SetChunkVersion(newer, 2111);
    std::fill(newer.begin() + 2468, newer.end(), 0);
    newer.resize(2480);
    ASSERT_EQ(1, SetChunk(false, newer));
    EXPECT_FALSE(model->IsMapped(7)) << "replaced by the chunk's";
    old.resize(2468);
    TestSupport::SetChunkVersion(old, 2111);
    EXPECT_EQ(0, SetChunk(false, old)) << "a newer bank must carry its map";
}

TEST_F(LegacyPluginTest, IdentityAndCapabilities)
{
    // The factory attaches the editor, which adds effFlagsHasEditor.
    EXPECT_EQ(effFlagsCanReplacing | effFlagsProgramChunks, record->flags);
    EXPECT_EQ(MorlentDelay::kUniqueId, record->uniqueID);
    EXPECT_EQ(2600, Dispatch(effGetVendorVersion));
    EXPECT_EQ(2400, Dispatch(effGetVstVersion));
    EXPECT_EQ(1, Dispatch(effGetNumMidiInputChannels));
    EXPECT_EQ(1, Dispatch(effGetPlugCategory));
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"})
        EXPECT_EQ(1, Dispatch(effCanDo, 0, 0, const_cast<char*>(yes))) << yes;
    for (const char* no : {"sendVstMidiEvent", "ReceiveVstEvents", "receiveVstEvents ", "", "sendVstEvents"})
        EXPECT_EQ(-1, Dispatch(effCanDo, 0, 0, const_cast<char*>(no))) << no;
    char text[64];
    EXPECT_EQ(1, Dispatch(effGetProgramNameIndexed, 31, 0, text));
    EXPECT_STREQ("Blank", text);
    EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, 32, 0, text));
    EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, -1, 0, text));
}

TEST_F(LegacyPluginTest, TempoAndPositionPassOnOnlyWhenTheyChange)
{
    struct TempoWatch : VovezEdeduvo::Tempo {
        int calls = 0;
        void OnTempoChanged(float) override { ++calls; }
    } watch;
    model->VovezEdeduvo::TempoProvider::AddListener(&watch);
    RecordingHost::Instance().time.tempo = 97.0;
    Process(8);
    Process(8);
    EXPECT_EQ(1, watch.calls);
    EXPECT_FLOAT_EQ(97.0f, watch.GetTempo());
    RecordingHost::Instance().time.tempo = 0.0; // a host without a tempo
    Process(8);
    EXPECT_FLOAT_EQ(97.0f, watch.GetTempo());
    RecordingHost::Instance().answerTime = false;
    RecordingHost::Instance().time.tempo = 140.0;
    Process(8);
    EXPECT_FLOAT_EQ(97.0f, watch.GetTempo());
    const auto asked = RecordingHost::Instance().CallsOf(audioMasterGetTime);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(0x600, asked.back().value);
}

} // namespace
