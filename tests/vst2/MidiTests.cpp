#include "tests/vst2/ControllerFixture.h"

namespace {

using MidiTest = ControllerFixture;

std::vector<std::pair<int, int>> Pieces(const RecordingModel& model)
{
    std::vector<std::pair<int, int>> pieces;
    for (const auto& piece : model.pieces)
        pieces.emplace_back(piece.offset, piece.count);
    return pieces;
}

TEST_F(MidiTest, BlockIsSplitAtEachEventsFrame)
{
    SendMidi({Midi(0, 0x90, 60, 1), Midi(100, 0x90, 61, 2), Midi(100, 0x80, 61, 0)});
    Process(512);
    // A piece of 0 frames is asked for and renders nothing.
    std::vector<std::pair<int, int>> expected{{0, 0}, {0, 100}, {100, 0}, {100, 412}};
    EXPECT_EQ(expected, Pieces(*model));
    std::vector<std::string> events{"on @0 ch0 60 1", "on @100 ch0 61 2", "off @100 ch0 61 0"};
    EXPECT_EQ(events, model->midi);
}

TEST_F(MidiTest, EventsBeyondTheBlockAreDispatchedAfterRenderingIt)
{
    SendMidi({Midi(600, 0x90, 1, 1), Midi(10, 0x90, 2, 2)});
    Process(512);
    std::vector<std::pair<int, int>> expected{{0, 512}};
    EXPECT_EQ(expected, Pieces(*model));
    std::vector<std::string> events{"on @600 ch0 1 1", "on @10 ch0 2 2"};
    EXPECT_EQ(events, model->midi);
    EXPECT_EQ(0u, model->PendingMidiEventCount());
}

TEST_F(MidiTest, EventAtTheBlockEndLeavesLaterOnesForTheNextBlock)
{
    SendMidi({Midi(64, 0x90, 1, 1), Midi(64, 0x90, 2, 2)});
    Process(64);
    EXPECT_EQ(1u, model->midi.size());
    EXPECT_EQ(1u, model->PendingMidiEventCount());
}

TEST_F(MidiTest, EventsOutOfOrderNeverMakeRenderingGoBackwards)
{
    SendMidi({Midi(300, 0x90, 1, 1), Midi(20, 0x90, 2, 2), Midi(-5, 0x90, 3, 3)});
    Process(512);
    int rendered = 0;
    for (const auto& piece : model->pieces) {
        EXPECT_GE(piece.offset, rendered);
        EXPECT_GE(piece.count, 0);
        rendered = piece.offset + piece.count > rendered ? piece.offset + piece.count : rendered;
    }
    EXPECT_EQ(512, rendered);
    std::vector<std::string> events{"on @300 ch0 1 1", "on @300 ch0 2 2", "on @300 ch0 3 3"};
    EXPECT_EQ(events, model->midi);
}

TEST_F(MidiTest, ChannelMessagesAreRoutedAndOthersDropped)
{
    SendMidi({Midi(0, 0x93, 60, 0), Midi(0, 0xA1, 5, 6), Midi(0, 0xC2, 9, 0), Midi(0, 0xD3, 44, 0),
              Midi(0, 0xE4, 0x00, 0x40), Midi(0, 0xF0, 1, 2), Midi(0, 0xF8, 0, 0), Midi(0, 0x45, 1, 1),
              Midi(0, 0xB5, 1, 99)});
    Process(4);
    std::vector<std::string> events{"off @0 ch3 60 0", "poly @0 ch1 5 6", "pc @0 ch2 9", "pressure @0 ch3 44",
                                    "bend @0 ch4 8192", "cc @0 ch5 1 99"};
    EXPECT_EQ(events, model->midi);
}

TEST_F(MidiTest, LearningBindsTheNextControllerWithoutApplyingItsValue)
{
    FakeView view;
    controller->SetView(&view);
    view.updates.clear();
    model->StartLearningMidi(6);
    EXPECT_TRUE(model->IsLearningMidi());
    SendMidi({Midi(0, 0xB9, 7, 100)});
    Process(8);
    EXPECT_FALSE(model->IsLearningMidi());
    EXPECT_EQ(6, model->ControllerToParameter(7));
    EXPECT_EQ(7, model->ParameterToController(6));
    EXPECT_EQ(0.0f, model->GetParameterValue(6));
    ASSERT_EQ(1u, view.statusTexts.size());
    EXPECT_EQ("", view.statusTexts[0]);
    EXPECT_TRUE(StandInHost::Instance().CallsOf(audioMasterAutomate).empty());

    SendMidi({Midi(2, 0xB0, 7, 127)});
    Process(8);
    EXPECT_EQ(1.0f, model->GetParameterValue(6));
    auto automate = StandInHost::Instance().CallsOf(audioMasterAutomate);
    ASSERT_EQ(1u, automate.size());
    EXPECT_EQ(6, automate[0].index);
    EXPECT_EQ(1.0f, automate[0].opt);
    EXPECT_EQ(std::make_pair(6, 1.0f), view.updates.back());

    SendMidi({Midi(0, 0xB0, 7, 64), Midi(1, 0xB0, 7, 0)});
    Process(8);
    EXPECT_EQ(0.0f, model->GetParameterValue(6));
    EXPECT_FLOAT_EQ(0.503937f, StandInHost::Instance().CallsOf(audioMasterAutomate)[1].opt);
    controller->SetView(nullptr);
}

TEST_F(MidiTest, LearningReplacesEarlierBindingsOnBothSides)
{
    model->RegisterMidiControllerMapping(3, 6);
    model->StartLearningMidi(6);
    SendMidi({Midi(0, 0xB0, 7, 1)});
    Process(4);
    EXPECT_FALSE(model->IsControllerMapped(3));
    EXPECT_EQ(7, model->ParameterToController(6));

    model->StartLearningMidi(2);
    SendMidi({Midi(0, 0xB0, 7, 1)});
    Process(4);
    EXPECT_EQ(-1, model->ParameterToController(6));
    EXPECT_EQ(2, model->ControllerToParameter(7));
}

TEST_F(MidiTest, SustainPedalIsReportedAfterItsMappedParameterIsSet)
{
    model->RegisterMidiControllerMapping(64, 0);
    SendMidi({Midi(5, 0xB0, 64, 64), Midi(6, 0xB0, 64, 63)});
    Process(8);
    ASSERT_GE(model->parameterChanges.size(), 1u);
    EXPECT_EQ(0, model->parameterChanges[0].index);
    std::vector<std::string> events{"sustain on @5 ch0", "cc @5 ch0 64 64", "sustain off @6 ch0", "cc @6 ch0 64 63"};
    EXPECT_EQ(events, model->midi);
}

TEST_F(MidiTest, ControlChangesWithInvalidDataBytesAreIgnored)
{
    model->RegisterMidiControllerMapping(7, 1);
    model->StartLearningMidi(2);
    SendMidi({Midi(0, 0xB0, 200, 10), Midi(0, 0xB0, 7, 200)});
    Process(4);
    EXPECT_TRUE(model->IsLearningMidi());
    EXPECT_EQ(1.0f, model->GetParameterValue(1));
    EXPECT_TRUE(model->midi.empty());
}

TEST_F(MidiTest, ControllerMapOperations)
{
    model->RegisterMidiControllerMapping(10, 4);
    model->RegisterMidiControllerMapping(2, 4);
    EXPECT_EQ(2, model->ParameterToController(4)); // the lowest wins
    model->UnregisterMidiControllerMapping(2);
    EXPECT_EQ(10, model->ParameterToController(4));
    model->RegisterMidiControllerMapping(128, 4);
    model->RegisterMidiControllerMapping(-1, 4);
    model->RegisterMidiControllerMapping(5, 12);
    EXPECT_FALSE(model->IsControllerMapped(5));
    model->ClearMidiControllerMap();
    EXPECT_EQ(-1, model->ParameterToController(4));
    EXPECT_EQ(0, model->ControllerToParameter(10));
    model->StartLearningMidi(3);
    model->StartLearningMidi(5);
    model->StopLearningMidi();
    EXPECT_FALSE(model->IsLearningMidi());
    EXPECT_EQ(5, model->GetLearnParameter());
}

TEST_F(MidiTest, ALargeBurstOfEventsIsNeitherLostNorReordered)
{
    Morlent::MidiEventQueue queue;
    const uint32_t count = Morlent::MidiEventQueue::kInitialCapacity * 2 + 7;
    for (uint32_t i = 0; i < 100; ++i)
        queue.Push({static_cast<int32_t>(i), 0x90, 0, 0});
    for (uint32_t i = 0; i < 60; ++i)
        queue.Pop(); // the front has moved, so growth must unwrap
    for (uint32_t i = 100; i < count + 60; ++i)
        queue.Push({static_cast<int32_t>(i), 0x90, 0, 0});
    EXPECT_EQ(count, queue.Size());
    EXPECT_GE(queue.Capacity(), count);
    for (uint32_t i = 60; i < count + 60; ++i)
        ASSERT_EQ(static_cast<int32_t>(i), queue.Pop().deltaFrames);
    EXPECT_TRUE(queue.Empty());
}

} // namespace
