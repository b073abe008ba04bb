#include "tests/vst2/ControllerFixture.h"

#include <cmath>
#include <cstring>

namespace {

using ControllerTest = ControllerFixture;

TEST_F(ControllerTest, RecordCarriesThePluginsIdentity)
{
    EXPECT_EQ(0x4D446C79, record->uniqueID);
    EXPECT_EQ(2, record->numInputs);
    EXPECT_EQ(2, record->numOutputs);
    EXPECT_EQ(32, record->numPrograms);
    EXPECT_EQ(12, record->numParams);
    EXPECT_EQ(effFlagsCanReplacing | effFlagsProgramChunks, record->flags); // no editor in this build
    EXPECT_EQ(1, record->version);
    EXPECT_EQ(controller, model->GetController());
    EXPECT_EQ(2750, Dispatch(effGetVendorVersion));
    EXPECT_EQ(1, Dispatch(effGetPlugCategory));
    EXPECT_EQ("Morlent Delay", Text(effGetEffectName));
    EXPECT_EQ("Morlent Sound Design", Text(effGetVendorString));
    EXPECT_EQ("Morlent Delay", Text(effGetProductString));
    char name[64];
    EXPECT_EQ(1, Dispatch(effGetEffectName, 0, 0, name));
}

TEST_F(ControllerTest, CanDoAnswersExactlyItsFiveCapabilities)
{
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "sendVstEvents",
                            "sendVstMidiEvent"}) {
        char text[64];
        std::strcpy(text, yes);
        EXPECT_EQ(1, Dispatch(effCanDo, 0, 0, text)) << yes;
    }
    for (const char* no : {"ReceiveVstTimeInfo", "receiveVstMidiEvents", "bypass", ""}) {
        char text[64];
        std::strcpy(text, no);
        EXPECT_EQ(-1, Dispatch(effCanDo, 0, 0, text)) << no;
    }
}

TEST_F(ControllerTest, ParameterTextsComeFromTheModel)
{
    EXPECT_EQ("Mix", Text(effGetParamName, 11));
    EXPECT_EQ("Secs", Text(effGetParamLabel, 1));
    EXPECT_EQ("Hz", Text(effGetParamLabel, 8));
    EXPECT_EQ("", Text(effGetParamName, 12));
    model->SetParameterDisplay(3, "Bypassed!");
    EXPECT_EQ("Bypasse", Text(effGetParamDisplay, 3));
    EXPECT_EQ("Blank", Text(effGetProgramName));
}

TEST_F(ControllerTest, ProgramNamesAreBoundedToTheirField)
{
    char name[64] = "A program name thirty chars!!";
    Dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ("A program name thirty c", Text(effGetProgramName));
    // Names are read by selecting a program; the indexed query keeps its default answer.
    char indexed[64] = {};
    EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, 0, -1, indexed));
}

TEST_F(ControllerTest, HostParameterChangesReachModelAndViewButNotTheHost)
{
    FakeView view;
    controller->SetView(&view);
    view.updates.clear();
    record->setParameter(record, 6, 0.25f);
    EXPECT_EQ(0.25f, record->getParameter(record, 6));
    ASSERT_EQ(1u, view.updates.size());
    EXPECT_EQ(std::make_pair(6, 0.25f), view.updates[0]);
    EXPECT_TRUE(StandInHost::Instance().CallsOf(audioMasterAutomate).empty());
    record->setParameter(record, 6, 7.0f);
    EXPECT_EQ(1.0f, record->getParameter(record, 6));
    EXPECT_EQ(std::make_pair(6, 1.0f), view.updates.back());
    controller->SetView(nullptr);
}

TEST_F(ControllerTest, ProgramChangeSwitchesModelAndRefreshesTheView)
{
    model->SetSelectedProgramIndex(7);
    model->SetParameterValue(11, 0.9f);
    model->SetSelectedProgramIndex(0);
    FakeView view;
    controller->SetView(&view);
    EXPECT_EQ(12u, view.updates.size()); // attaching pushes every value
    view.updates.clear();
    model->hooks.clear();
    Dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(7, Dispatch(effGetProgram));
    EXPECT_EQ(7, model->GetSelectedProgramIndex());
    ASSERT_EQ(1u, model->hooks.size());
    EXPECT_EQ("program 0 7", model->hooks[0]);
    ASSERT_EQ(12u, view.updates.size());
    EXPECT_EQ(std::make_pair(11, 0.9f), view.updates[11]);
    Dispatch(effSetProgram, 0, 40);
    EXPECT_EQ(7, model->GetSelectedProgramIndex());
    controller->SetView(nullptr);
}

TEST_F(ControllerTest, ViewEditsReachTheHostAsAutomationAndAreNotEchoed)
{
    FakeView view;
    controller->SetView(&view);
    view.updates.clear();
    controller->OnViewParameterValueChanged(8, 0.75f);
    EXPECT_EQ(0.75f, model->GetParameterValue(8));
    auto automate = StandInHost::Instance().CallsOf(audioMasterAutomate);
    ASSERT_EQ(1u, automate.size());
    EXPECT_EQ(8, automate[0].index);
    EXPECT_EQ(0.75f, automate[0].opt);
    EXPECT_EQ(record, automate[0].effect);
    EXPECT_TRUE(view.updates.empty());
    controller->SetView(nullptr);
}

TEST_F(ControllerTest, SampleRateGoesToTheModelAndBlockSizeOnlyRepeatsIt)
{
    Dispatch(effSetBlockSize, 0, 512);
    EXPECT_TRUE(model->hooks.empty());
    Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Dispatch(effSetBlockSize, 0, 64);
    ASSERT_EQ(1u, model->hooks.size());
    EXPECT_EQ("rate 44100.000000 96000.000000", model->hooks[0]);
    EXPECT_EQ(96000.0f, model->GetSampleRate());
    // A rate no audio can run at is ignored, by the base as much as by the model.
    Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    Dispatch(effSetSampleRate, 0, 0, nullptr, 1e9f);
    EXPECT_EQ(96000.0f, controller->getSampleRate());
    EXPECT_EQ(1u, model->hooks.size());
}

TEST_F(ControllerTest, TimeInformationIsAskedForEveryBlockAndOnlyChangesCallHooks)
{
    StandInHost& host = StandInHost::Instance();
    host.time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
    host.time.tempo = 120.0;
    host.time.ppqPos = 0.0;
    host.time.timeSigNumerator = 4;
    host.time.timeSigDenominator = 4;
    Process(16);
    EXPECT_TRUE(model->hooks.empty());
    auto asks = host.CallsOf(audioMasterGetTime);
    ASSERT_EQ(1u, asks.size());
    EXPECT_EQ(0x2602, asks[0].value);

    host.time.tempo = 90.0;
    host.time.ppqPos = 2.5;
    host.time.timeSigNumerator = 3;
    host.time.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid; // stopped
    Process(16);
    ASSERT_EQ(4u, model->hooks.size());
    EXPECT_EQ("tempo 120.000000 90.000000", model->hooks[0]);
    EXPECT_EQ("position 2.500000", model->hooks[1]);
    EXPECT_EQ("stopped", model->hooks[2]);
    EXPECT_EQ("signature 4/4 3/4", model->hooks[3]);
    EXPECT_EQ(90.0, model->GetTempo());

    // Values the host does not mark valid, and a NaN tempo, are no change.
    host.time.flags = kVstTransportPlaying;
    host.time.tempo = 60.0;
    Process(16);
    host.time.flags = kVstTransportPlaying | kVstTempoValid;
    host.time.tempo = std::nan("");
    Process(16);
    ASSERT_EQ(5u, model->hooks.size());
    EXPECT_EQ("playing", model->hooks[4]);
    EXPECT_EQ(90.0, model->GetTempo());
}

TEST_F(ControllerTest, HostWithoutTimeInformationLeavesTransportAlone)
{
    StandInHost::Instance().answerTime = false;
    Process(32);
    EXPECT_TRUE(model->hooks.empty());
    EXPECT_TRUE(model->IsPlaying());
    EXPECT_EQ(120.0, model->GetTempo());
    ASSERT_EQ(1u, model->pieces.size());
    EXPECT_EQ(32, model->pieces[0].count);
}

TEST_F(ControllerTest, ProcessEventsQueuesOnlyMidiEventsAndSurvivesBadLists)
{
    VstMidiEvent note = Midi(3, 0x90, 60, 100);
    VstEvent sysex{};
    sysex.type = kVstSysExType;
    TestSupport::EventList list(3);
    list.AddPointer(&sysex);
    list.AddPointer(nullptr);
    list.Add(note);
    EXPECT_EQ(1, Dispatch(effProcessEvents, 0, 0, list.Events()));
    EXPECT_EQ(1u, model->PendingMidiEventCount());
    EXPECT_EQ(1, Dispatch(effProcessEvents, 0, 0, nullptr));
    list.Events()->numEvents = -4;
    EXPECT_EQ(1, Dispatch(effProcessEvents, 0, 0, list.Events()));
    EXPECT_EQ(1u, model->PendingMidiEventCount());
    Process(8);
    ASSERT_EQ(1u, model->midi.size());
    EXPECT_EQ("on @3 ch0 60 100", model->midi[0]);
}

TEST_F(ControllerTest, ClosingDeletesTheModel)
{
    bool destroyed = false;
    model->destroyedFlag = &destroyed;
    EXPECT_EQ(1, Dispatch(effClose));
    record = nullptr;
    EXPECT_TRUE(destroyed);
}

TEST_F(ControllerTest, DetachingTheViewStopsUpdates)
{
    FakeView view;
    controller->SetView(&view);
    controller->SetView(nullptr);
    view.updates.clear();
    record->setParameter(record, 1, 0.5f);
    controller->OnModelParameterValueChanged(1, 0.5f);
    controller->OnModelMidiLearned();
    EXPECT_TRUE(view.updates.empty());
    EXPECT_TRUE(view.statusTexts.empty());
}

} // namespace
