// The opened first-generation editor: its layout, its controls under the mouse, and the host's
// values reaching it on idle.

#include "tests/legacy/editor/LegacyEditorFixture.h"

#include "description/EffectDescription.h"
#include "legacy/controls/ToolkitClasses.h"

#include <map>

namespace {

using namespace LegacyEditorTest;
using namespace MorlentDelay;

struct Child {
    std::string className;
    int id;
    RECT place;
};

std::vector<Child> Children(HWND view)
{
    std::vector<Child> children;
    for (HWND child = GetWindow(view, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&place), 2);
        children.push_back({name, GetDlgCtrlID(child), place});
    }
    return children;
}

class LegacyEditor : public LegacyEditorFixture {
protected:
    // WM_VIEW_UPDATE_PARAMETER messages waiting for the view, each dispatched; by parameter.
    std::map<int, int> DeliverUpdates()
    {
        std::map<int, int> updates;
        MSG message;
        while (PeekMessageA(&message, View()->GetHandle(), WindowToolkit::WM_VIEW_UPDATE_PARAMETER,
                            WindowToolkit::WM_VIEW_UPDATE_PARAMETER, PM_REMOVE)) {
            ++updates[static_cast<int>(message.wParam)];
            DispatchMessageA(&message);
        }
        Pump();
        return updates;
    }
};

TEST_F(LegacyEditor, ReportsItsSizeBeforeOpeningAndLaysOutEveryControlInPlace)
{
    ERect* rect = nullptr;
    ASSERT_EQ(1, Dispatch(effEditGetRect, 0, 0, &rect));
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(0, rect->top);
    EXPECT_EQ(0, rect->left);
    EXPECT_EQ(kEditorHeight, rect->bottom);
    EXPECT_EQ(kEditorWidth, rect->right);

    Open();
    char viewClass[64] = {};
    GetClassNameA(View()->GetHandle(), viewClass, sizeof viewClass);
    EXPECT_STREQ("DelayView", viewClass);
    RECT client{};
    GetClientRect(View()->GetHandle(), &client);
    EXPECT_EQ(kEditorWidth, client.right);
    EXPECT_EQ(kEditorHeight, client.bottom);

    auto at = [](Point p, int width, int height) { return RECT{p.x, p.y, p.x + width, p.y + height}; };
    const std::vector<Child> expected = {
        {"Knob", kLeftDelay, at(kControlPositions[kLeftDelay], 32, 32)},
        {"Knob", kRightDelay, at(kControlPositions[kRightDelay], 32, 32)},
        {"Knob", kFeedbackLevel, at(kControlPositions[kFeedbackLevel], 32, 32)},
        {"Knob", kCutoffFrequency, at(kControlPositions[kCutoffFrequency], 32, 32)},
        {"Knob", kWetDryMix, at(kControlPositions[kWetDryMix], 32, 32)},
        {"Switch", kLeftSync, at(kControlPositions[kLeftSync], 140, 40)},
        {"Switch", kRightSync, at(kControlPositions[kRightSync], 140, 40)},
        {"Switch", kPan, at(kControlPositions[kPan], 20, 40)},
        {"SelectorButton", 0, at(kLeftSyncButtonPosition, 28, 28)},
        {"SelectorButton", 0, at(kRightSyncButtonPosition, 28, 28)},
        {"Switch", kFilter, at(kControlPositions[kFilter], 20, 40)},
        {"Switch", kFilterType, at(kControlPositions[kFilterType], 20, 40)},
        {"Switch", kSync, at(kControlPositions[kSync], 20, 40)},
        {"Switch", kEnabled, at(kControlPositions[kEnabled], 20, 40)},
        {"Label", 0, RECT{kStatusArea.left, kStatusArea.top, kStatusArea.right, kStatusArea.bottom}},
    };
    std::vector<Child> children = Children(View()->GetHandle());
    ASSERT_EQ(expected.size(), children.size());
    // Z-order lists the newest child first or last, depending on the system: either way it is
    // the creation order.
    if (children.front().className == "Label")
        std::reverse(children.begin(), children.end());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].className, children[i].className);
        EXPECT_EQ(expected[i].id, children[i].id);
        EXPECT_TRUE(EqualRect(&expected[i].place, &children[i].place))
            << children[i].place.left << "," << children[i].place.top << " " << children[i].place.right << ","
            << children[i].place.bottom;
    }
    // Each control starts at the program's value.
    for (int p = 0; p < kParameterCount; ++p)
        EXPECT_EQ(model->GetParameterValue(p), Control(p)->GetValue()) << p;
}

TEST_F(LegacyEditor, AKnobCoversItsRangeInSeventyFivePixelsAndShiftMakesItTenTimesFiner)
{
    Open();
    WindowToolkit::ValueControl* knob = Control(kRightDelay); // starts at 0.5
    HWND window = knob->GetHandle();
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 16, 40);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 16, 25); // 15 pixels up: a fifth of the range
    Pump();
    EXPECT_NEAR(0.7f, model->GetParameterValue(kRightDelay), 1e-5f);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 16, 15); // ten more, finely
    Pump();
    EXPECT_NEAR(0.71333f, model->GetParameterValue(kRightDelay), 1e-5f);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 16, -200); // far past the top stops at 1
    Send(window, WM_LBUTTONUP, 0, 16, -200);
    Pump();
    EXPECT_FLOAT_EQ(1.0f, knob->GetValue());
    EXPECT_EQ(90, knob->GetFrameIndex()); // floor(91) shows the last of 91 frames
    EXPECT_EQ(nullptr, GetCapture());

    // Every step told the host, with the value the model holds.
    const auto automations = Automations();
    ASSERT_EQ(3u, automations.size());
    EXPECT_EQ(kRightDelay, automations.back().index);
    EXPECT_EQ(model->GetParameterValue(kRightDelay), automations.back().opt);

    // Moving without the button only tracks the mouse.
    Send(window, WM_MOUSEMOVE, 0, 16, 100);
    Pump();
    EXPECT_EQ(3u, Automations().size());
}

TEST_F(LegacyEditor, CtrlClickResetsToTheFirstGenerationsValues)
{
    Open();
    // The knobs reset to 0.5, "Enabled" to off.
    Send(Control(kLeftDelay)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 16, 16);
    Send(Control(kLeftDelay)->GetHandle(), WM_LBUTTONUP, MK_CONTROL, 16, 16);
    Send(Control(kEnabled)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 10, 5);
    Send(Control(kLeftSync)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 130, 20);
    Pump();
    EXPECT_EQ(0.5f, model->GetParameterValue(kLeftDelay));
    EXPECT_EQ(0.0f, model->GetParameterValue(kEnabled));
    EXPECT_EQ(0.5f, model->GetParameterValue(kLeftSync));
    const auto automations = Automations();
    ASSERT_EQ(3u, automations.size());
    EXPECT_EQ(kLeftDelay, automations[0].index);
    EXPECT_EQ(0.5f, automations[0].opt);
    EXPECT_EQ(kEnabled, automations[1].index);
    EXPECT_EQ(0.0f, automations[1].opt);
}

TEST_F(LegacyEditor, ASwitchTakesItsValueFromWhereItIsClicked)
{
    Open();
    WindowToolkit::ValueControl* pan = Control(kPan); // vertical, 40 pixels high
    Send(pan->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    Pump();
    EXPECT_EQ(0.5f, model->GetParameterValue(kPan));
    EXPECT_EQ(1, pan->GetFrameIndex());
    Send(pan->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 21);
    Pump();
    EXPECT_EQ(0.475f, model->GetParameterValue(kPan));
    EXPECT_EQ(0, pan->GetFrameIndex());
    EXPECT_EQ(nullptr, GetCapture()); // a switch never holds the mouse

    WindowToolkit::ValueControl* leds = Control(kLeftSync); // horizontal, 140 pixels wide
    Send(leds->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 70, 20);
    Pump();
    EXPECT_EQ(0.5f, model->GetParameterValue(kLeftSync));
    EXPECT_EQ(2, leds->GetFrameIndex());
    Send(leds->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 101, 20);
    Pump();
    // Continuous, not rounded to a state: the parameter decides what it means.
    EXPECT_NEAR(101.0f / 140.0f, model->GetParameterValue(kLeftSync), 1e-6f);
    EXPECT_EQ(3, leds->GetFrameIndex());
}

TEST_F(LegacyEditor, ANoteButtonStepsItsRowAFifthAtATimeAndWrapsOnRelease)
{
    Open();
    WindowToolkit::SelectorButton* button = View()->GetSelectorButton(0);
    ASSERT_EQ(Control(kLeftSync), button->GetTarget());
    HWND window = button->GetHandle();
    auto click = [&] {
        Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 14, 14);
        EXPECT_TRUE(button->IsPressed());
        EXPECT_EQ(window, GetCapture());
        Send(window, WM_LBUTTONUP, 0, 14, 14);
        EXPECT_FALSE(button->IsPressed());
        Pump();
    };
    // From the row's default 0.5: 0.7, 0.9, then past 1 back to 0, then 0.2.
    const float expected[] = {0.7f, 0.9f, 0.0f, 0.2f};
    for (float value : expected) {
        click();
        EXPECT_NEAR(value, model->GetParameterValue(kLeftSync), 1e-6f);
    }
    // A value set on the row itself steps from where it is.
    Send(Control(kLeftSync)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 49, 20); // 0.35
    Pump();
    click();
    EXPECT_NEAR(0.55f, model->GetParameterValue(kLeftSync), 1e-6f);
    EXPECT_EQ(2, Control(kLeftSync)->GetFrameIndex());
    EXPECT_EQ(0.5f, model->GetParameterValue(kRightSync)); // the other row stays
    EXPECT_EQ(6u, Automations().size());
}

TEST_F(LegacyEditor, TheWheelChangesNothing)
{
    Open();
    for (int p : {kLeftDelay, kPan, kLeftSync}) {
        const float before = model->GetParameterValue(p);
        SendMessageA(Control(p)->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(5, 5));
        SendMessageA(Control(p)->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                     MAKELPARAM(5, 5));
        Pump();
        EXPECT_EQ(before, model->GetParameterValue(p)) << p;
    }
    EXPECT_TRUE(Automations().empty());
}

TEST_F(LegacyEditor, HoverNamesTheParameterAndLeavingClearsTheLine)
{
    Open();
    SendMessageA(Control(kCutoffFrequency)->GetHandle(), WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(StatusFor(kCutoffFrequency), StatusText());
    EXPECT_EQ("Cutoff Freq.: ", StatusText().substr(0, 14));
    SendMessageA(Control(kCutoffFrequency)->GetHandle(), WM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_EQ("", StatusText());
}

TEST_F(LegacyEditor, HostValuesWaitForIdleAndTenChangesArriveAsOne)
{
    Open();
    WindowToolkit::ValueControl* cutoff = Control(kCutoffFrequency);
    for (int i = 1; i <= 10; ++i)
        record->setParameter(record, kCutoffFrequency, 0.03f * static_cast<float>(i));
    Pump();
    EXPECT_EQ(0.5f, cutoff->GetValue()) << "a host value reached a window outside idle";
    Idle();
    const std::map<int, int> updates = DeliverUpdates();
    EXPECT_EQ((std::map<int, int>{{kCutoffFrequency, 1}}), updates);
    EXPECT_NEAR(0.3f, cutoff->GetValue(), 1e-6f);
    EXPECT_EQ(StatusFor(kCutoffFrequency), StatusText());
    // Nothing of it went back to the host.
    EXPECT_TRUE(Automations().empty());
}

TEST_F(LegacyEditor, ALearnedControllerMovesItsKnobOnTheNextIdle)
{
    Open();
    model->Lock();
    model->SetLearnParameter(kFeedbackLevel);
    model->SetLearning(true);
    model->Unlock();
    ControlChangeOnAudioThread(7, 100); // binds the controller; its value is not applied
    EXPECT_FALSE(model->IsLearning());
    EXPECT_EQ(0.0f, model->GetParameterValue(kFeedbackLevel));
    ControlChangeOnAudioThread(7, 127);
    EXPECT_EQ(1.0f, model->GetParameterValue(kFeedbackLevel));
    Pump();
    EXPECT_EQ(0.0f, Control(kFeedbackLevel)->GetValue());
    Idle();
    DeliverUpdates();
    EXPECT_EQ(1.0f, Control(kFeedbackLevel)->GetValue());
    // The host heard of it as automation, from the audio thread.
    ASSERT_FALSE(Automations().empty());
    EXPECT_EQ(kFeedbackLevel, Automations().back().index);
}

TEST_F(LegacyEditor, AProgramChangeShowsTheWholeProgramAfterIdle)
{
    record->setParameter(record, kWetDryMix, 0.9f); // program 0
    Dispatch(effSetProgram, 0, 3);
    record->setParameter(record, kLeftDelay, 0.25f); // program 3
    Dispatch(effSetProgram, 0, 0);
    Open();
    EXPECT_NEAR(0.9f, Control(kWetDryMix)->GetValue(), 1e-6f);

    Dispatch(effSetProgram, 0, 3);
    Idle();
    Pump();
    EXPECT_NEAR(0.25f, Control(kLeftDelay)->GetValue(), 1e-6f);
    EXPECT_NEAR(0.5f, Control(kWetDryMix)->GetValue(), 1e-6f);
    // Every parameter was updated in order: the line shows the last.
    EXPECT_EQ(StatusFor(kWetDryMix), StatusText());
    EXPECT_EQ("Wet/Dry Mix: ", StatusText().substr(0, 13));

    // A change of parameter 0 between a program change and the idle keeps the update of all.
    Dispatch(effSetProgram, 0, 0);
    record->setParameter(record, kEnabled, 0.0f);
    Idle();
    Pump();
    EXPECT_NEAR(0.9f, Control(kWetDryMix)->GetValue(), 1e-6f);
    EXPECT_NEAR(1.0f, Control(kLeftDelay)->GetValue(), 1e-6f);
    EXPECT_EQ(0.0f, Control(kEnabled)->GetValue());
    EXPECT_EQ(StatusFor(kEnabled), StatusText());
}

} // namespace
