// Opening and closing the editor through the record, and what the opened view shows.

#include "tests/editor/win32/EditorFixture.h"

#include "pictures/ControlMath.h"
#include "pictures/win32/GdiplusCanvas.h"
#include "pictures/win32/ImageResource.h"
#include "editor/win32/WindowClasses.h"
#include "delay/MorlentDelayModel.h"

namespace {

using namespace EditorTest;

struct Expected {
    int parameter;
    int x, y, width, height;
    int states; // 0 for a knob
};

// Where each control sits on the background, and what it is.
const Expected kLayout[] = {
    {MorlentDelay::kEnabled, 343, 229, 20, 40, 2},       {MorlentDelay::kLeftDelay, 65, 139, 32, 32, 0},
    {MorlentDelay::kSync, 79, 229, 20, 40, 2},           {MorlentDelay::kRightDelay, 123, 139, 32, 32, 0},
    {MorlentDelay::kLeftSync, 144, 221, 140, 40, 5},     {MorlentDelay::kRightSync, 144, 256, 140, 40, 5},
    {MorlentDelay::kFeedbackLevel, 179, 139, 32, 32, 0}, {MorlentDelay::kFilter, 343, 109, 20, 40, 2},
    {MorlentDelay::kCutoffFrequency, 390, 139, 32, 32, 0}, {MorlentDelay::kFilterType, 343, 148, 20, 40, 2},
    {MorlentDelay::kPan, 266, 125, 20, 40, 2},           {MorlentDelay::kWetDryMix, 390, 241, 32, 32, 0},
};

// A value unlike the default on every control.
const float kOtherValues[] = {0.0f, 0.25f, 0.8f, 1.0f, 0.75f, 1.0f, 0.6f, 1.0f, 0.2f, 1.0f, 1.0f, 0.9f};

RECT PlaceInParent(HWND window)
{
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// What a control of states shows for value: a knob keeps it, a switch shows its state's value.
float Shown(const Expected& control, float value)
{
    if (control.states == 0)
        return value;
    return Pictures::MultiswitchValue(static_cast<unsigned>(control.states),
                                            Pictures::MultiswitchIndexForValue(control.states, value));
}

class EditorLifecycle : public EditorFixture {};

TEST_F(EditorLifecycle, TheRectangleIsTheBackgroundsSizeBeforeAndAfterOpening)
{
    EXPECT_NE(0, record->flags & effFlagsHasEditor);
    Pictures::ImageResource background;
    ASSERT_TRUE(background.Load(MAKEINTRESOURCEA(MorlentDelay::kBackgroundId), Instance()));
    const SIZE header = Pictures::PngResourceSize(Instance(), MAKEINTRESOURCEA(MorlentDelay::kBackgroundId));
    EXPECT_EQ(background.GetWidth(), header.cx);
    EXPECT_EQ(background.GetHeight(), header.cy);
    const SIZE missing = Pictures::PngResourceSize(Instance(), MAKEINTRESOURCEA(999));
    EXPECT_EQ(0, missing.cx + missing.cy);

    for (bool open : {false, true}) {
        if (open)
            Open();
        ERect* rect = nullptr;
        ASSERT_EQ(1, Dispatch(effEditGetRect, 0, 0, &rect));
        ASSERT_NE(nullptr, rect);
        EXPECT_EQ(0, rect->top);
        EXPECT_EQ(0, rect->left);
        EXPECT_EQ(344, rect->bottom);
        EXPECT_EQ(496, rect->right);
    }
}

TEST_F(EditorLifecycle, OpeningTwiceReplacesTheViewAndClosingTwiceIsHarmless)
{
    Open();
    HWND first = View()->GetHandle();
    Open();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(1, ViewWindowCount());
    EXPECT_EQ(static_cast<VstToolkit::ParameterView*>(View()), controller->GetView());
    Dispatch(effEditClose);
    Dispatch(effEditClose);
    EXPECT_EQ(0, ViewWindowCount());
    EXPECT_EQ(nullptr, controller->GetView());
    EXPECT_FALSE(editor->isOpen());
}

TEST_F(EditorLifecycle, SurvivesManyOpeningsAHostDestroyingItsWindowAndEffCloseWhileOpen)
{
    for (int i = 0; i < 25; ++i) {
        Open();
        Dispatch(effEditIdle);
        Dispatch(effEditClose);
    }
    EXPECT_EQ(0, ViewWindowCount());

    // A host that destroys our window without closing the editor first.
    Open();
    DestroyWindow(View()->GetHandle());
    EXPECT_EQ(nullptr, View());
    EXPECT_EQ(nullptr, controller->GetView());
    record->setParameter(record, 1, 0.0f); // reaches no view
    Dispatch(effEditClose);

    Open();
    Dispatch(effClose); // the editor goes before the model
    record = nullptr;
    EXPECT_EQ(0, ViewWindowCount());
}

class DelayView : public EditorFixture {};

TEST_F(DelayView, EveryControlSitsInItsPlaceAndShowsTheSelectedProgram)
{
    Open();
    SaveScreenshot(host, "editor-default.png");
    Dispatch(effEditClose);

    Dispatch(effSetProgram, 0, 3);
    for (int i = 0; i < 12; ++i)
        record->setParameter(record, i, kOtherValues[i]);
    Open();
    for (const Expected& expected : kLayout) {
        SCOPED_TRACE(expected.parameter);
        WindowsToolkit::ParameterControl* control = Control(expected.parameter);
        ASSERT_NE(nullptr, control);
        const RECT place = PlaceInParent(control->GetHandle());
        EXPECT_EQ(expected.x, place.left);
        EXPECT_EQ(expected.y, place.top);
        EXPECT_EQ(expected.width, place.right - place.left);
        EXPECT_EQ(expected.height, place.bottom - place.top);
        EXPECT_NEAR(Shown(expected, kOtherValues[expected.parameter]), control->GetValue(), 1e-5f);
    }
    EXPECT_EQ(3, Control(MorlentDelay::kLeftSync)->GetIndex()); // 0.75 lights the fourth LED, 1/4
    SaveScreenshot(host, "editor-values.png");
    EXPECT_TRUE(Automations().empty());
}

TEST_F(DelayView, ResetAndSyncButtonsReportEachChange)
{
    Open();
    HWND sync = Control(MorlentDelay::kSync)->GetHandle();
    Send(sync, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 10, 35); // Ctrl: its own reset, on
    Send(sync, WM_LBUTTONUP, 0, 10, 35);
    Pump();
    EXPECT_EQ(1.0f, model->GetParameterValue(MorlentDelay::kSync));

    record->setParameter(record, MorlentDelay::kRightSync, 0.75f); // state 3
    HWND lowerButton = ChildWindowFromPoint(View()->GetHandle(), POINT{116 + 5, 262 + 20});
    ASSERT_NE(nullptr, lowerButton);
    RecordingHost::Instance().calls.clear();
    std::vector<int> states;
    for (int click = 0; click < 3; ++click) {
        Send(lowerButton, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
        Send(lowerButton, WM_LBUTTONUP, 0, 5, 5);
        Pump();
        states.push_back(MorlentDelayModel::NormalizedFloatToSelection(
            model->GetParameterValue(MorlentDelay::kRightSync), MorlentDelayModel::kNoteCount));
    }
    EXPECT_EQ((std::vector<int>{4, 0, 1}), states);
    const std::vector<HostCall> automations = Automations();
    ASSERT_EQ(3u, automations.size());
    for (const HostCall& call : automations)
        EXPECT_EQ(MorlentDelay::kRightSync, call.index);
}

} // namespace
