// Switches with vertical and horizontal strips, and the increment button that steps them.

#include "tests/editor/win32/ToolkitFixture.h"

#include "editor/win32/IncrementButton.h"
#include "editor/win32/Multiswitch.h"

namespace {

using namespace ToolkitTest;
using WindowsToolkit::IncrementButton;
using WindowsToolkit::Multiswitch;
using WindowsToolkit::ParameterControl;
using WindowsToolkit::UWM_PC_HOVER;
using WindowsToolkit::UWM_PC_LEAVE;
using WindowsToolkit::UWM_PC_RIGHT_CLICKED;
using WindowsToolkit::UWM_PC_VALUE_CHANGED;

class MultiswitchTest : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        lever = Multiswitch::Create(background, 3, 0.5f, 0.0f, switchStrip.get(), 79, 229, viewWindow, Instance());
        leds = Multiswitch::Create(background, 5, 0.5f, 0.0f, syncLedStrip.get(), 144, 256, viewWindow, Instance());
        ASSERT_NE(nullptr, lever);
        ASSERT_NE(nullptr, leds);
        TakePosted();
    }
    void Click(Multiswitch* control, UINT keys, int x, int y)
    {
        Send(control->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, x, y);
        Send(control->GetHandle(), WM_LBUTTONUP, keys, x, y);
    }
    // The parameter indices of the value changes posted since the last call.
    std::vector<WPARAM> Changes()
    {
        std::vector<WPARAM> parameters;
        for (const Posted& entry : TakePosted()) {
            if (entry.message == UWM_PC_VALUE_CHANGED)
                parameters.push_back(entry.wParam);
        }
        return parameters;
    }

    Multiswitch* lever = nullptr;
    Multiswitch* leds = nullptr;
};

TEST_F(MultiswitchTest, ValuesSelectStatesAndOnlyAChangedStateRepaintsOrReports)
{
    RECT client{};
    GetClientRect(leds->GetHandle(), &client);
    EXPECT_EQ(140, client.right);
    EXPECT_EQ(40, client.bottom);
    EXPECT_EQ(4, leds->GetMaxIndex());

    leds->SetValue(1.0f, false);
    EXPECT_EQ(4, leds->GetIndex());
    leds->SetValue(0.79f, true);
    EXPECT_EQ(3, leds->GetIndex());
    EXPECT_FLOAT_EQ(0.75f, leds->GetValue());
    EXPECT_EQ(std::vector<WPARAM>{5}, Changes());

    // The same state again: no repaint, no report, even when asked to notify.
    UpdateWindow(leds->GetHandle());
    leds->SetValue(0.61f, true);
    EXPECT_FALSE(GetUpdateRect(leds->GetHandle(), nullptr, FALSE));
    EXPECT_TRUE(Changes().empty());
    leds->SetValue(0.2f, false);
    EXPECT_TRUE(GetUpdateRect(leds->GetHandle(), nullptr, FALSE));
    EXPECT_EQ(1, leds->GetIndex());
    EXPECT_TRUE(Changes().empty());

    lever->SetValue(0.49f, false);
    EXPECT_EQ(0, lever->GetIndex());
    lever->SetValue(0.5f, false);
    EXPECT_EQ(1, lever->GetIndex());
    EXPECT_FLOAT_EQ(1.0f, lever->GetValue());
}

TEST_F(MultiswitchTest, AVerticalLeverSelectsByHalvesAndIgnoresDragsOffItsBands)
{
    HWND window = lever->GetHandle();
    Click(lever, 0, 10, 5); // upper half: state 1
    EXPECT_EQ(1, lever->GetIndex());
    Click(lever, 0, 10, 30);
    EXPECT_EQ(0, lever->GetIndex());
    Click(lever, 0, 10, 30); // no change: no report
    EXPECT_EQ((std::vector<WPARAM>{3, 3}), Changes());

    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 10, 30);
    EXPECT_EQ(window, GetCapture());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 10, 12); // dragged into the upper band
    EXPECT_EQ(1, lever->GetIndex());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 10, 40); // the bottom edge and below hit nothing
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 10, 90);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 10, -3); // nor does anything above
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 25, 30); // nor to the right
    EXPECT_EQ(1, lever->GetIndex());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 10, 39);
    EXPECT_EQ(0, lever->GetIndex());
    Send(window, WM_LBUTTONUP, 0, 10, 39);
    EXPECT_EQ(nullptr, GetCapture());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 10, 5); // no capture any more
    EXPECT_EQ(0, lever->GetIndex());
    EXPECT_EQ((std::vector<WPARAM>{3, 3}), Changes());
}

TEST_F(MultiswitchTest, AHorizontalRowSelectsItsBandsFromTheLeft)
{
    HWND window = leds->GetHandle();
    for (int state = 4; state >= 0; --state) {
        Click(leds, 0, state * 28 + 14, 20);
        EXPECT_EQ(state, leds->GetIndex());
        EXPECT_FLOAT_EQ(static_cast<float>(state) / 4.0f, leds->GetValue());
    }
    EXPECT_EQ(5u, Changes().size());
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1);
    for (int x = 0; x < 140; x += 7)
        Send(window, WM_MOUSEMOVE, MK_LBUTTON, x, 20);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 150, 20); // past the right end
    Send(window, WM_LBUTTONUP, 0, 150, 20);
    EXPECT_EQ(4, leds->GetIndex());
    EXPECT_EQ(4u, Changes().size()); // one report per band crossed
}

TEST_F(MultiswitchTest, ControlClickResetsAndReportsOnlyAChange)
{
    Click(lever, MK_CONTROL, 10, 30); // default 0.5 is state 1
    EXPECT_EQ(1, lever->GetIndex());
    EXPECT_EQ(std::vector<WPARAM>{3}, Changes());
    Click(lever, MK_CONTROL, 10, 30); // already there: the click selects nothing either
    EXPECT_EQ(1, lever->GetIndex());
    EXPECT_TRUE(Changes().empty());

    leds->SetValue(1.0f, false);
    Click(leds, MK_CONTROL, 5, 5);
    EXPECT_EQ(2, leds->GetIndex()); // 0.5 of five states
    EXPECT_EQ(std::vector<WPARAM>{5}, Changes());
}

TEST_F(MultiswitchTest, WheelStepsOneStateAndStopsAtTheEndsUntilThePointerLeavesAndRightClicksReport)
{
    HWND window = leds->GetHandle();
    EXPECT_EQ(0, Wheel(window, 0, -120)); // at the first state: handled, nothing happens
    EXPECT_EQ(0, leds->GetIndex());
    Wheel(window, 0, 240);
    Wheel(window, 0, 120);
    EXPECT_EQ(2, leds->GetIndex());
    Wheel(window, 0, -240);
    EXPECT_EQ(1, leds->GetIndex());
    EXPECT_EQ(3u, Changes().size());
    leds->SetValue(1.0f, false);
    Wheel(window, 0, 120);
    EXPECT_EQ(4, leds->GetIndex());
    EXPECT_TRUE(Changes().empty());

    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    Wheel(window, 0, -120);
    Wheel(window, 0, -240);
    EXPECT_EQ(4, leds->GetIndex());
    Send(window, WM_MOUSEHOVER, 0, 3, 3);
    Wheel(window, 0, -120);
    EXPECT_EQ(3, leds->GetIndex());
    Send(window, WM_RBUTTONDOWN, MK_RBUTTON, 3, 3);
    const auto posted = TakePosted();
    EXPECT_EQ(1, Count(posted, UWM_PC_RIGHT_CLICKED));
    EXPECT_EQ(1, Count(posted, UWM_PC_LEAVE));
    EXPECT_EQ(1, Count(posted, UWM_PC_HOVER));
    EXPECT_EQ(1, Count(posted, UWM_PC_VALUE_CHANGED));
    for (const Posted& entry : posted) {
        EXPECT_EQ(5u, entry.wParam);
        EXPECT_EQ(reinterpret_cast<LPARAM>(static_cast<ParameterControl*>(leds)), entry.lParam);
    }
}

TEST_F(MultiswitchTest, IncrementButtonStepsItsTargetAndWrapsOnEveryRelease)
{
    IncrementButton* button =
        IncrementButton::Create(background, syncButtonStrip.get(), 116, 262, viewWindow, Instance());
    ASSERT_NE(nullptr, button);
    HWND window = button->GetHandle();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(28, client.right);
    EXPECT_EQ(28, client.bottom);

    // Without a target a click only presses and releases.
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    Send(window, WM_LBUTTONUP, 0, 5, 5);
    EXPECT_FALSE(button->IsPressed());

    button->SetTarget(leds);
    leds->SetValue(0.75f, false);
    std::vector<int> states;
    for (int click = 0; click < 3; ++click) {
        Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
        EXPECT_TRUE(button->IsPressed());
        EXPECT_EQ(window, GetCapture());
        // Released outside the button: it steps all the same.
        Send(window, WM_LBUTTONUP, 0, click == 1 ? 200 : 5, click == 1 ? -50 : 5);
        EXPECT_FALSE(button->IsPressed());
        EXPECT_EQ(nullptr, GetCapture());
        states.push_back(leds->GetIndex());
    }
    EXPECT_EQ((std::vector<int>{4, 0, 1}), states);
    EXPECT_EQ((std::vector<WPARAM>{5, 5, 5}), Changes());

    // A two-state switch toggles.
    button->SetTarget(lever);
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    Send(window, WM_LBUTTONUP, 0, 5, 5);
    EXPECT_EQ(1, lever->GetIndex());
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    Send(window, WM_LBUTTONUP, 0, 5, 5);
    EXPECT_EQ(0, lever->GetIndex());
    EXPECT_EQ((std::vector<WPARAM>{3, 3}), Changes());
}

} // namespace
