// MIDI and MIDI Learn in the built LV2 module, as a host and the editor's messages drive them:
// controllers at their frames against the VST 2 module's processEvents, the learn commands, what
// the notification port says and when, and a binding kept through the state.

#include "tests/lv2/Lv2Host.h"

#include "tests/support/EffectCalls.h"
#include "tests/support/EventList.h"
#include "tests/support/HostDriver.h"
#include "tests/support/Noise.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

using namespace Lv2Testing;
using MorlentLv2::ControllerMove;
using MorlentLv2::LearnAction;
using MorlentLv2::LearnCommand;
using MorlentLv2::LearnState;

constexpr double kRate = 48000.0;

LearnState Learn(bool learning, int32_t parameter, const std::map<int32_t, int32_t>& bound = {})
{
    LearnState state;
    state.learning = learning;
    state.parameter = parameter;
    for (const auto& [index, controller] : bound)
        state.controllers[index] = controller;
    return state;
}

std::string Describe(const LearnState& state)
{
    std::string text = state.learning ? "learning " : "not learning ";
    text += std::to_string(state.parameter) + ", controllers";
    for (int32_t number : state.controllers)
        text += " " + std::to_string(number);
    return text;
}

// What the notification port said since the last look, each message read by its kind.
struct Heard {
    std::vector<LearnState> states;
    std::vector<ControllerMove> moves;
    int unread = 0;
    bool Nothing() const { return states.empty() && moves.empty() && unread == 0; }
};

class Lv2Learn : public ::testing::Test {
protected:
    MorlentLv2::LearnUrids Urids() { return MorlentLv2::MapLearnUrids(&features.map.feature); }

    Heard Listen(Instance& instance)
    {
        const MorlentLv2::LearnUrids urids = Urids();
        Heard heard;
        for (const std::vector<uint8_t>& message : instance.notices) {
            const auto* atom = reinterpret_cast<const LV2_Atom*>(message.data());
            const auto size = static_cast<uint32_t>(message.size());
            LearnState state;
            ControllerMove move;
            if (MorlentLv2::ReadLearnState(urids, atom, size, state))
                heard.states.push_back(state);
            else if (MorlentLv2::ReadControllerMove(urids, atom, size, move))
                heard.moves.push_back(move);
            else
                ++heard.unread;
        }
        instance.notices.clear();
        return heard;
    }

    // One block with the given learn commands and controllers (channel 1), then what it said.
    Heard Block(Instance& instance, const std::vector<LearnCommand>& commands,
                const std::vector<std::pair<int, int>>& controllers = {})
    {
        for (const LearnCommand& command : commands)
            instance.sequence.AddCommand(command);
        for (const auto& [number, value] : controllers)
            instance.midi.AddMidi(0, {0xB0, static_cast<uint8_t>(number), static_cast<uint8_t>(value)});
        instance.RunSilence();
        EXPECT_TRUE(instance.notifications.WellFormed());
        return Listen(instance);
    }

    std::unique_ptr<Instance> NewInstance()
    {
        auto instance = std::make_unique<Instance>(module.Descriptor(), kRate, features);
        EXPECT_TRUE(instance->Valid());
        instance->Activate();
        return instance;
    }

    Module module{MORLENT_LV2_MODULE_PATH};
    TestSupport::HostDriver vst2{MORLENT_VST2_MODULE_PATH};
    Features features;
};

#define EXPECT_STATE(expected, heard)                                                                    \
    do {                                                                                                 \
        const Heard& said = (heard);                                                                     \
        ASSERT_EQ(1u, said.states.size());                                                               \
        EXPECT_EQ(Describe(expected), Describe(said.states[0]));                                         \
    } while (false)

TEST_F(Lv2Learn, ControllersAtTheirFramesSoundAsTheVst2ModulesProcessEvents)
{
    // Three controllers bound through the bank, as both formats' states carry them.
    const int bindings[MorlentDelay::kParameterCount] = {-1, 23, -1, -1, -1, -1, 21, -1, -1, -1, -1, 22};
    Instance probe(module.Descriptor(), kRate, features);
    State saved;
    ASSERT_EQ(LV2_STATE_SUCCESS, probe.Save(saved));
    std::vector<uint8_t>& bank = saved.properties.begin()->second.value;
    bank = TestSupport::BankWithBindings(bank, bindings);

    // Events in blocks of 256 frames, at frames inside them: the first, the last, and between.
    struct Event {
        size_t frame;
        int controller;
        int value;
    };
    const std::vector<Event> events = {{0, 21, 90},      {37, 22, 127},    {255, 23, 40},   {256, 21, 10},
                                       {1000, 23, 127},  {1000, 21, 120},  {4095, 22, 30},  {9000, 23, 70},
                                       {20000, 21, 64},  {20001, 22, 100}, {20002, 99, 5}};
    constexpr size_t kBlock = 256;
    std::vector<float> inLeft = TestSupport::Noise(94 * kBlock, 3, 0.5f),
                       inRight = TestSupport::Noise(94 * kBlock, 4, 0.5f);

    Instance lv2(module.Descriptor(), kRate, features);
    ASSERT_EQ(LV2_STATE_SUCCESS, lv2.Restore(saved));
    lv2.Activate();
    std::vector<float> lv2Left = inLeft, lv2Right = inRight;
    for (size_t at = 0; at < lv2Left.size(); at += kBlock) {
        for (const Event& event : events)
            if (event.frame >= at && event.frame < at + kBlock)
                lv2.midi.AddMidi(static_cast<int64_t>(event.frame - at),
                                 {0xB0, static_cast<uint8_t>(event.controller), static_cast<uint8_t>(event.value)});
        std::vector<float> left(lv2Left.begin() + at, lv2Left.begin() + at + kBlock);
        std::vector<float> right(lv2Right.begin() + at, lv2Right.begin() + at + kBlock);
        lv2.Render(left, right, kBlock);
        std::copy(left.begin(), left.end(), lv2Left.begin() + at);
        std::copy(right.begin(), right.end(), lv2Right.begin() + at);
    }

    TestSupport::StandInHost::ResetQuiet();
    AEffect* effect = vst2.Open();
    ASSERT_NE(nullptr, effect);
    ASSERT_EQ(1, TestSupport::SetChunk(effect, bank, false));
    TestSupport::Start(effect, static_cast<float>(kRate), kBlock);
    std::vector<float> vstLeft = inLeft, vstRight = inRight;
    for (size_t at = 0; at < vstLeft.size(); at += kBlock) {
        std::vector<VstMidiEvent> block;
        for (const Event& event : events)
            if (event.frame >= at && event.frame < at + kBlock)
                block.push_back(TestSupport::MidiEvent(static_cast<VstInt32>(event.frame - at), 0xB0, event.controller,
                                                       event.value));
        if (!block.empty())
            TestSupport::SendMidi(effect, block);
        float* channels[2] = {vstLeft.data() + at, vstRight.data() + at};
        effect->processReplacing(effect, channels, channels, kBlock);
    }
    TestSupport::Dispatch(effect, effMainsChanged, 0, 0);
    TestSupport::Dispatch(effect, effClose);

    EXPECT_EQ(0, std::memcmp(lv2Left.data(), vstLeft.data(), lv2Left.size() * sizeof(float)));
    EXPECT_EQ(0, std::memcmp(lv2Right.data(), vstRight.data(), lv2Right.size() * sizeof(float)));
    // The controllers did something: without them the render differs.
    std::vector<float> plainLeft = inLeft, plainRight = inRight;
    Instance plain(module.Descriptor(), kRate, features);
    plain.Activate();
    plain.Render(plainLeft, plainRight, kBlock);
    EXPECT_NE(0, std::memcmp(lv2Left.data(), plainLeft.data(), lv2Left.size() * sizeof(float)));
}

TEST_F(Lv2Learn, CommandsLearnForgetAndClearAndTheStateTellsEachChangeOnce)
{
    auto instance = NewInstance();
    Instance& plugin = *instance;
    EXPECT_TRUE(Block(plugin, {}).Nothing()) << "a new instance has nothing to tell";
    EXPECT_EQ(sizeof(LV2_Atom_Sequence_Body), plugin.notifications.Atom()->atom.size) << "an empty sequence";

    EXPECT_STATE(Learn(true, MorlentDelay::kLeftDelay), Block(plugin, {{LearnAction::kStart, MorlentDelay::kLeftDelay}}));
    EXPECT_TRUE(Block(plugin, {}).Nothing());
    // The next controller binds and only binds: its value moves nothing.
    Heard learned = Block(plugin, {}, {{21, 64}});
    EXPECT_STATE(Learn(false, MorlentDelay::kLeftDelay, {{MorlentDelay::kLeftDelay, 21}}), learned);
    EXPECT_TRUE(learned.moves.empty());

    // Now it moves its parameter, and the editor hears the value no port carries back.
    Heard moved = Block(plugin, {}, {{21, 127}});
    EXPECT_TRUE(moved.states.empty());
    ASSERT_EQ(1u, moved.moves.size());
    EXPECT_EQ(MorlentDelay::kLeftDelay, moved.moves[0].parameter);
    EXPECT_FLOAT_EQ(1.0f, moved.moves[0].value);
    // Several moves in one block: the last one only.
    Heard several = Block(plugin, {}, {{21, 10}, {21, 20}, {21, 30}});
    ASSERT_EQ(1u, several.moves.size());
    EXPECT_FLOAT_EQ(30.0f * MorlentDelay::kControllerScale, several.moves[0].value);

    // Asked, it tells the state and the value the controller holds against its port.
    Heard asked = Block(plugin, {{LearnAction::kSendState, 0}});
    EXPECT_STATE(Learn(false, MorlentDelay::kLeftDelay, {{MorlentDelay::kLeftDelay, 21}}), asked);
    ASSERT_EQ(1u, asked.moves.size());
    EXPECT_FLOAT_EQ(30.0f * MorlentDelay::kControllerScale, asked.moves[0].value);
    // Once the host sets that port, the port has the last word and there is no move to tell.
    plugin.controls[MorlentDelay::kLeftDelay] = 0.5f;
    EXPECT_TRUE(Block(plugin, {}).Nothing());
    Heard afterPort = Block(plugin, {{LearnAction::kSendState, 0}});
    EXPECT_EQ(1u, afterPort.states.size());
    EXPECT_TRUE(afterPort.moves.empty());

    // A second binding, then forgetting the first: it moves nothing any more.
    Block(plugin, {{LearnAction::kStart, MorlentDelay::kWetDryMix}});
    EXPECT_STATE(Learn(false, MorlentDelay::kWetDryMix, {{MorlentDelay::kLeftDelay, 21}, {MorlentDelay::kWetDryMix, 7}}),
                 Block(plugin, {}, {{7, 0}}));
    EXPECT_STATE(Learn(false, MorlentDelay::kWetDryMix, {{MorlentDelay::kWetDryMix, 7}}),
                 Block(plugin, {{LearnAction::kForget, 21}}));
    EXPECT_TRUE(Block(plugin, {}, {{21, 99}}).Nothing());
    // Learning a bound parameter again moves its binding to the new controller.
    Block(plugin, {{LearnAction::kStart, MorlentDelay::kWetDryMix}});
    EXPECT_STATE(Learn(false, MorlentDelay::kWetDryMix, {{MorlentDelay::kWetDryMix, 8}}), Block(plugin, {}, {{8, 0}}));

    // Stopped, a learn binds nothing; cleared, nothing is bound.
    Block(plugin, {{LearnAction::kStart, MorlentDelay::kPan}});
    EXPECT_STATE(Learn(false, MorlentDelay::kPan, {{MorlentDelay::kWetDryMix, 8}}), Block(plugin, {{LearnAction::kStop, 0}}));
    EXPECT_TRUE(Block(plugin, {}, {{9, 1}}).moves.empty());
    EXPECT_STATE(Learn(false, MorlentDelay::kPan), Block(plugin, {{LearnAction::kClearAll, 0}}));
    EXPECT_TRUE(Block(plugin, {}, {{8, 1}}).Nothing());
}

TEST_F(Lv2Learn, DamagedCommandsAndMidiChangeNothing)
{
    auto instance = NewInstance();
    Instance& plugin = *instance;
    const MorlentLv2::LearnUrids urids = Urids();
    UridMap& map = features.map;
    alignas(8) uint8_t message[MorlentLv2::kLargestMessageSize];

    // Numbers out of range.
    for (const LearnCommand& command : {LearnCommand{LearnAction::kStart, -1}, LearnCommand{LearnAction::kStart, 12},
                                        LearnCommand{LearnAction::kForget, 128}})
        plugin.sequence.AddCommand(command);
    // A command whose action is no action, or of another type.
    const uint32_t size = MorlentLv2::WriteLearnCommand(urids, {LearnAction::kStart, 3}, message, sizeof message);
    ASSERT_NE(0u, size);
    const auto rewrite = [&](size_t at, uint32_t word) {
        std::vector<uint8_t> copy(message, message + size);
        std::memcpy(copy.data() + at, &word, sizeof word);
        plugin.sequence.AddAtom(copy.data(), size);
    };
    // The layout: atom (8), object body (8), the command property's key, context, value header
    // and URID (8 + 8 + 4, padded), then the parameter's.
    rewrite(16 + 16, map.Map("https://www.example.com/lv2/morlent-delay#Nonsense"));
    rewrite(16 + 12, map.Map(LV2_ATOM__Int));
    rewrite(16 + 24 + 12, map.Map(LV2_ATOM__Float));
    rewrite(12, map.Map(LV2_TIME__Rate));
    // A parameter's value running past its object, and an object running past its event.
    rewrite(16 + 24 + 8, 400);
    std::vector<uint8_t> whole(message, message + size);
    plugin.sequence.AddEvent(map.Map(LV2_ATOM__Object), std::vector<uint8_t>(whole.begin() + 8, whole.end()), 1000);
    plugin.RunSilence();
    EXPECT_STATE(Learn(false, 0), Block(plugin, {{LearnAction::kSendState, 0}}));

    // MIDI that is no controller message of a channel: empty, too long, system, a data byte first.
    Block(plugin, {{LearnAction::kStart, MorlentDelay::kFeedbackLevel}});
    for (const std::vector<uint8_t>& bytes : std::vector<std::vector<uint8_t>>{
             {}, {0xB0, 5, 10, 0}, {0xF0, 5, 0xF7}, {0x05, 10}, {0xF8}})
        plugin.midi.AddMidi(0, bytes);
    plugin.RunSilence();

    EXPECT_STATE(Learn(true, MorlentDelay::kFeedbackLevel), Block(plugin, {{LearnAction::kSendState, 0}}));
}

TEST_F(Lv2Learn, NotificationsWaitForRoomAndNeverWritePastIt)
{
    auto instance = NewInstance();
    Instance& plugin = *instance;
    // Room for a sequence and nothing in it: the state waits.
    plugin.notifyCapacity = sizeof(LV2_Atom_Sequence_Body) + 100;
    EXPECT_TRUE(Block(plugin, {{LearnAction::kStart, MorlentDelay::kSync}}).Nothing());
    EXPECT_TRUE(plugin.notifications.GuardIntact());
    // Less room than a sequence's head: the null atom.
    plugin.notifyCapacity = 4;
    plugin.RunSilence();
    EXPECT_TRUE(Listen(plugin).Nothing());
    EXPECT_EQ(0u, plugin.notifications.Atom()->atom.type);
    EXPECT_EQ(0u, plugin.notifications.Atom()->atom.size);
    EXPECT_TRUE(plugin.notifications.GuardIntact());
    // Not connected at all: nothing is written, and learning goes on.
    plugin.Connect(MorlentLv2::kNotifyPort, nullptr);
    plugin.midi.AddMidi(0, {0xB0, 40, 1});
    plugin.RunSilence();
    plugin.midi.AddMidi(0, {0xB0, 40, 100});
    plugin.RunSilence();
    // Room again: what waited comes, in order: the state as it is now, then the value.
    plugin.Connect(MorlentLv2::kNotifyPort, plugin.notifications.Atom());
    plugin.notifyCapacity = MorlentLv2::kNotifyMinimumSize;
    Heard caughtUp = Block(plugin, {});
    EXPECT_STATE(Learn(false, MorlentDelay::kSync, {{MorlentDelay::kSync, 40}}), caughtUp);
    ASSERT_EQ(1u, caughtUp.moves.size());
    EXPECT_EQ(MorlentDelay::kSync, caughtUp.moves[0].parameter);

    // Every message a block can have fits the room the description asks for.
    for (int parameter = 0; parameter < MorlentDelay::kParameterCount; ++parameter) {
        Block(plugin, {{LearnAction::kStart, parameter}});
        Block(plugin, {}, {{parameter + 50, 0}});
    }
    for (int parameter = 0; parameter < MorlentDelay::kParameterCount; ++parameter)
        plugin.midi.AddMidi(parameter, {0xB0, static_cast<uint8_t>(parameter + 50), 127});
    plugin.sequence.AddCommand({LearnAction::kSendState, 0});
    plugin.RunSilence();
    const Heard full = Listen(plugin);
    EXPECT_EQ(1u, full.states.size());
    EXPECT_EQ(static_cast<size_t>(MorlentDelay::kParameterCount), full.moves.size());
    EXPECT_EQ(0, full.unread);
    EXPECT_TRUE(plugin.notifications.WellFormed());
}

TEST_F(Lv2Learn, ABindingMadeByTheEditorsMessagesSurvivesTheStateAndLoadsIntoTheVst2Module)
{
    auto instance = NewInstance();
    Block(*instance, {{LearnAction::kStart, MorlentDelay::kCutoffFrequency}});
    Block(*instance, {}, {{74, 0}});
    State saved;
    ASSERT_EQ(LV2_STATE_SUCCESS, instance->Save(saved));

    // A new instance restored from it tells the binding, and the controller moves its parameter.
    auto restored = NewInstance();
    ASSERT_EQ(LV2_STATE_SUCCESS, restored->Restore(saved));
    EXPECT_STATE(Learn(false, 0, {{MorlentDelay::kCutoffFrequency, 74}}), Block(*restored, {}));
    const Heard moved = Block(*restored, {}, {{74, 127}});
    ASSERT_EQ(1u, moved.moves.size());
    EXPECT_EQ(MorlentDelay::kCutoffFrequency, moved.moves[0].parameter);

    // The state is the VST 2 module's bank: bound there too.
    TestSupport::StandInHost::ResetQuiet();
    AEffect* effect = vst2.Open();
    ASSERT_NE(nullptr, effect);
    ASSERT_EQ(1, TestSupport::SetChunk(effect, saved.properties.begin()->second.value, false));
    TestSupport::Start(effect, static_cast<float>(kRate), 64);
    TestSupport::SendMidi(effect, {TestSupport::MidiEvent(0, 0xB0, 74, 127)});
    float left[64] = {}, right[64] = {};
    float* channels[2] = {left, right};
    effect->processReplacing(effect, channels, channels, 64);
    EXPECT_FLOAT_EQ(1.0f, effect->getParameter(effect, MorlentDelay::kCutoffFrequency));
    TestSupport::Dispatch(effect, effMainsChanged, 0, 0);
    TestSupport::Dispatch(effect, effClose);
}

TEST_F(Lv2Learn, HostsWithoutAMapOrWithoutTheNewPortsStillRun)
{
    // No map: the atom ports cannot be read; a connected notification port gets the null atom.
    Instance bare(module.Descriptor(), kRate, features, false, false);
    ASSERT_TRUE(bare.Valid());
    Notifications notifications(features.map);
    bare.Connect(MorlentLv2::kNotifyPort, notifications.Atom());
    bare.Activate();
    std::vector<float> left(64), right(64);
    bare.Connect(MorlentLv2::kLeftInPort, left.data());
    bare.Connect(MorlentLv2::kRightInPort, right.data());
    bare.Connect(MorlentLv2::kLeftOutPort, left.data());
    bare.Connect(MorlentLv2::kRightOutPort, right.data());
    module.Descriptor()->run(bare.Handle(), 64);
    EXPECT_EQ(0u, notifications.Atom()->atom.type);
    EXPECT_TRUE(notifications.GuardIntact());

    // A host of the last release's ports: the MIDI and notification ports left unconnected.
    Instance older(module.Descriptor(), kRate, features);
    older.Connect(MorlentLv2::kMidiInPort, nullptr);
    older.Connect(MorlentLv2::kNotifyPort, nullptr);
    older.Activate();
    older.sequence.AddCommand({LearnAction::kStart, 2});
    older.RunSilence();
    EXPECT_TRUE(older.notices.empty());
}

} // namespace
