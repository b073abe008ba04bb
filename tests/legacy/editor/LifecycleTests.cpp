// Opening and closing the first-generation editor as hosts do: repeatedly, with the effect closed
// under it, beside a second instance, and while the audio thread plays a learned controller.

#include "tests/legacy/editor/LegacyEditorFixture.h"

#include "description/EffectDescription.h"
#include "tests/support/EffectCalls.h"

#include <atomic>
#include <thread>

namespace {

using namespace LegacyEditorTest;
using namespace MorlentDelay;

using LegacyEditorLifecycle = LegacyEditorFixture;

TEST_F(LegacyEditorLifecycle, OpensAndClosesAgainAndAgain)
{
    EXPECT_EQ(0, Dispatch(effEditOpen, 0, 0, nullptr)) << "no parent, no editor";
    for (int i = 0; i < 5; ++i) {
        Open();
        EXPECT_EQ(1, ViewWindowCount(host));
        Dispatch(effEditClose);
        Dispatch(effEditClose); // a second close is harmless
        Pump();
        EXPECT_EQ(0, ViewWindowCount(host));
        EXPECT_EQ(nullptr, editor->GetView());
    }
    // Opening over an open editor replaces the view.
    Open();
    Open();
    EXPECT_EQ(1, ViewWindowCount(host));
    Idle();
}

TEST_F(LegacyEditorLifecycle, ClosingTheEffectWithTheEditorOpenTakesTheEditorFirst)
{
    Open();
    record->setParameter(record, kLeftDelay, 0.2f); // queued for the view
    Dispatch(effClose);
    record = nullptr;
    Pump();
    EXPECT_EQ(0, ViewWindowCount(host));
}

TEST_F(LegacyEditorLifecycle, AHostThatDestroysItsWindowFirstLeavesTheEditorClosed)
{
    HWND frame = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, kEditorWidth, kEditorHeight, host,
                                 nullptr, Instance(), nullptr);
    ASSERT_EQ(1, Dispatch(effEditOpen, 0, 0, frame));
    DestroyWindow(frame);
    EXPECT_EQ(nullptr, editor->GetView());
    // The model no longer reports to the gone view; idle and close find nothing to do.
    record->setParameter(record, kPan, 1.0f);
    Idle();
    Dispatch(effEditClose);
}

TEST_F(LegacyEditorLifecycle, ASecondInstancesEditorWorksBesideTheFirst)
{
    Open();
    Effect second = MakeEffect();
    ASSERT_EQ(1, TestSupport::Dispatch(second.record, effEditOpen, 0, 0, SecondHost()));
    auto* secondView = static_cast<VovezEdeduvo::DelayView*>(second.editor->GetView());
    ASSERT_NE(nullptr, secondView);
    Pump();
    // A click in the second editor changes the second instance only.
    Send(secondView->GetControl(kPan)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
    Pump();
    EXPECT_EQ(0.875f, second.model->GetParameterValue(kPan)); // 5 pixels below the top of 40
    EXPECT_EQ(0.0f, model->GetParameterValue(kPan));
    // Automation of the first reaches only the first editor.
    record->setParameter(record, kWetDryMix, 0.1f);
    Idle();
    TestSupport::Dispatch(second.record, effEditIdle);
    Pump();
    EXPECT_NEAR(0.1f, Control(kWetDryMix)->GetValue(), 1e-6f);
    EXPECT_EQ(0.5f, secondView->GetControl(kWetDryMix)->GetValue());
    TestSupport::Dispatch(second.record, effClose);
    Pump();
    EXPECT_EQ(0, ViewWindowCount(SecondHost()));
    // The first still works once the second is gone.
    Send(Control(kPan)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
    Pump();
    EXPECT_EQ(0.875f, model->GetParameterValue(kPan));
}

TEST_F(LegacyEditorLifecycle, OpensClosesAndIdlesWhileTheAudioThreadPlaysALearnedController)
{
    TestSupport::StandInHost::ResetQuiet(); // called from two threads now
    model->Lock();
    model->Map(9, kFeedbackLevel);
    model->Unlock();
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        float left[128] = {};
        float right[128] = {};
        float* channels[2] = {left, right};
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&event);
        for (int i = 0; !stop.load(); ++i) {
            event.deltaFrames = i % 128;
            event.midiData[0] = static_cast<char>(0xB0);
            event.midiData[1] = 9;
            event.midiData[2] = static_cast<char>(i % 128);
            record->dispatcher(record, effProcessEvents, 0, 0, &events, 0.0f);
            record->processReplacing(record, channels, channels, 128);
            blocks.fetch_add(1);
        }
    });
    for (int round = 0; round < 20; ++round) {
        Open();
        for (int i = 0; i < 5; ++i) {
            Idle();
            Pump();
        }
        Send(Control(kLeftDelay)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 5, 5);
        Send(Control(kLeftDelay)->GetHandle(), WM_LBUTTONUP, 0, 5, 5);
        Pump();
        Dispatch(effEditClose);
    }
    // Let the audio thread run at least once more after the last close.
    const int seen = blocks.load();
    while (blocks.load() < seen + 2)
        std::this_thread::yield();
    stop = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(0.5f, model->GetParameterValue(kLeftDelay));
    Open();
    Idle();
    Pump();
    EXPECT_NEAR(model->GetParameterValue(kFeedbackLevel), Control(kFeedbackLevel)->GetValue(), 1e-6f);
}

} // namespace
