// A knob on a real window, driven by mouse and wheel messages.

#include "tests/editor/win32/ToolkitFixture.h"

#include "editor/win32/Knob.h"

#include <atomic>
#include <thread>

namespace {

using namespace ToolkitTest;
using WindowsToolkit::Knob;
using WindowsToolkit::ParameterControl;
using WindowsToolkit::UWM_PC_HOVER;
using WindowsToolkit::UWM_PC_LEAVE;
using WindowsToolkit::UWM_PC_VALUE_CHANGED;

class KnobTest : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        knob = Knob::Create(background, kParameter, 0.25f, 0.5f, knobStrip.get(), 65, 139, viewWindow, Instance());
        ASSERT_NE(nullptr, knob);
        window = knob->GetHandle();
        TakePosted();
    }
    // Every posted message names this knob and its parameter.
    void ExpectFromKnob(const std::vector<Posted>& posted)
    {
        for (const Posted& entry : posted) {
            EXPECT_EQ(static_cast<WPARAM>(kParameter), entry.wParam);
            EXPECT_EQ(reinterpret_cast<LPARAM>(static_cast<ParameterControl*>(knob)), entry.lParam);
        }
    }
    void Drag(UINT keys, int fromY, int toY)
    {
        Send(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, 16, fromY);
        Send(window, WM_MOUSEMOVE, MK_LBUTTON | keys, 16, toY);
        Send(window, WM_LBUTTONUP, keys, 16, toY);
    }

    static constexpr int kParameter = 6;
    Knob* knob = nullptr;
    HWND window = nullptr;
};

TEST_F(KnobTest, ShowsValuesSilentlyUnlessToldToNotifyAndDoesNotClampThem)
{
    EXPECT_FLOAT_EQ(0.5f, knob->GetValue()); // the initial value, posted nowhere
    EXPECT_EQ(45, knob->GetIndex());
    EXPECT_EQ(90, knob->GetMaxIndex());
    EXPECT_EQ(0, knob->GetMinIndex());
    knob->SetValue(1.0f, false);
    EXPECT_EQ(90, knob->GetIndex());
    EXPECT_TRUE(TakePosted().empty());
    knob->SetValue(0.3f, true);
    EXPECT_FLOAT_EQ(0.3f, knob->GetValue());
    EXPECT_EQ(27, knob->GetIndex()); // 90 × 0.3 in single precision
    const auto posted = TakePosted();
    EXPECT_EQ(1, Count(posted, UWM_PC_VALUE_CHANGED));
    ExpectFromKnob(posted);
    knob->SetValue(1.25f, false);
    EXPECT_FLOAT_EQ(1.25f, knob->GetValue());
    EXPECT_EQ(90, knob->GetIndex());
    // An index set directly leaves the position alone.
    knob->SetIndex(3, true);
    EXPECT_EQ(3, knob->GetIndex());
    EXPECT_FLOAT_EQ(1.25f, knob->GetValue());
    EXPECT_EQ(1, Count(TakePosted(), UWM_PC_VALUE_CHANGED));
}

TEST_F(KnobTest, DraggingUpAndDownMovesOnePercentPerPixelWithinTheRange)
{
    knob->SetValue(0.8f, false);
    Drag(0, 50, 20);
    EXPECT_FLOAT_EQ(1.0f, knob->GetValue());
    EXPECT_EQ(90, knob->GetIndex());
    Drag(0, 10, 160);
    EXPECT_FLOAT_EQ(0.0f, knob->GetValue());
    EXPECT_EQ(0, knob->GetIndex());
    const auto posted = TakePosted();
    EXPECT_EQ(2, Count(posted, UWM_PC_VALUE_CHANGED));
    ExpectFromKnob(posted);

    knob->SetValue(0.5f, false);
    Drag(MK_SHIFT, 20, 10); // fine mode: ten pixels are one percent
    EXPECT_NEAR(0.51f, knob->GetValue(), 1e-6f);
    Drag(MK_SHIFT, 10, 13);
    EXPECT_NEAR(0.507f, knob->GetValue(), 1e-6f);
    EXPECT_EQ(45, knob->GetIndex());
}

TEST_F(KnobTest, ACapturedDragGoesOnOutsideTheWindowAndReportsEveryStep)
{
    knob->SetValue(0.5f, false);
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 16, 16);
    EXPECT_EQ(window, GetCapture());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 16, -20); // above the knob: 36 pixels up
    EXPECT_FLOAT_EQ(0.86f, knob->GetValue());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 300, -80);
    EXPECT_FLOAT_EQ(1.0f, knob->GetValue());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 300, -90); // already at the top: still reported
    EXPECT_FLOAT_EQ(1.0f, knob->GetValue());
    EXPECT_EQ(3, Count(TakePosted(), UWM_PC_VALUE_CHANGED));
    Send(window, WM_LBUTTONUP, 0, 300, -90);
    EXPECT_EQ(nullptr, GetCapture());

    // Without the capture, or without the button, a move is no drag step.
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 16, 200);
    SetCapture(window);
    Send(window, WM_MOUSEMOVE, 0, 16, 200);
    ReleaseCapture();
    EXPECT_FLOAT_EQ(1.0f, knob->GetValue());
    EXPECT_EQ(0, Count(TakePosted(), UWM_PC_VALUE_CHANGED));
}

TEST_F(KnobTest, ControlClickResetsToTheDefaultAndStillStartsADrag)
{
    knob->SetValue(0.9f, false);
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 16, 16);
    EXPECT_FLOAT_EQ(0.25f, knob->GetValue());
    EXPECT_EQ(22, knob->GetIndex());
    EXPECT_EQ(window, GetCapture());
    Send(window, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, 16, 11);
    EXPECT_FLOAT_EQ(0.30f, knob->GetValue());
    Send(window, WM_LBUTTONUP, MK_CONTROL, 16, 11);
    const auto posted = TakePosted();
    EXPECT_EQ(2, Count(posted, UWM_PC_VALUE_CHANGED));
    ExpectFromKnob(posted);
}

TEST_F(KnobTest, WheelStepsByOneWhateverTheDeltaUntilThePointerLeaves)
{
    knob->SetValue(0.5f, false);
    EXPECT_EQ(0, Wheel(window, 0, -120));
    EXPECT_FLOAT_EQ(0.49f, knob->GetValue());
    Wheel(window, 0, 240);
    EXPECT_FLOAT_EQ(0.50f, knob->GetValue());
    Wheel(window, 0, 120);
    Wheel(window, MK_SHIFT, -240);
    EXPECT_NEAR(0.509f, knob->GetValue(), 1e-6f);
    EXPECT_EQ(4, Count(TakePosted(), UWM_PC_VALUE_CHANGED));

    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    Wheel(window, 0, 120);
    Wheel(window, 0, -240);
    EXPECT_NEAR(0.509f, knob->GetValue(), 1e-6f);
    auto posted = TakePosted();
    EXPECT_EQ(0, Count(posted, UWM_PC_VALUE_CHANGED));
    EXPECT_EQ(1, Count(posted, UWM_PC_LEAVE));

    Send(window, WM_MOUSEHOVER, 0, 5, 5);
    Wheel(window, 0, 120);
    EXPECT_NEAR(0.519f, knob->GetValue(), 1e-6f);
    posted = TakePosted();
    EXPECT_EQ(1, Count(posted, UWM_PC_HOVER));
    EXPECT_EQ(1, Count(posted, UWM_PC_VALUE_CHANGED));

    knob->SetValue(0.995f, false);
    Wheel(window, 0, 120);
    EXPECT_FLOAT_EQ(1.0f, knob->GetValue());
}

TEST_F(KnobTest, ThePointerRestingOnTheKnobTakesTheFocusUntilItLeaves)
{
    // Wine's own tracking: a plain mouse move arms it, the real pointer position decides.
    SetFocus(viewWindow);
    RECT place{};
    GetWindowRect(window, &place);
    SetCursorPos(place.left + 10, place.top + 10);
    Pump(50);
    TakePosted();
    Send(window, WM_MOUSEMOVE, 0, 10, 10);
    auto posted = TakePosted(400);
    EXPECT_EQ(1, Count(posted, UWM_PC_HOVER));
    EXPECT_EQ(0, Count(posted, UWM_PC_LEAVE));
    EXPECT_EQ(window, GetFocus());

    SetCursorPos(place.right + 200, place.bottom + 200);
    Pump(50);
    Send(window, WM_MOUSEMOVE, 0, 10, 10); // re-arm for the leave
    posted = TakePosted(400);
    EXPECT_EQ(1, Count(posted, UWM_PC_LEAVE));
    ExpectFromKnob(posted);
    EXPECT_EQ(viewWindow, GetFocus()) << "the focus goes back where it was";
    const float before = knob->GetValue();
    Wheel(window, 0, 120);
    EXPECT_FLOAT_EQ(before, knob->GetValue());
}

TEST_F(KnobTest, HoveringTwiceBeforeLeavingStillHandsTheFocusBack)
{
    SetFocus(viewWindow);
    Send(window, WM_MOUSEHOVER, 0, 5, 5);
    Send(window, WM_MOUSEHOVER, 0, 6, 5);
    EXPECT_EQ(window, GetFocus());
    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(viewWindow, GetFocus());
    const auto posted = TakePosted();
    EXPECT_EQ(2, Count(posted, UWM_PC_HOVER));
    EXPECT_EQ(1, Count(posted, UWM_PC_LEAVE));
}

TEST_F(KnobTest, AHostThreadCanPushValuesWhileTheWindowPaints)
{
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int round = 0; round < 2000; ++round)
            knob->SetValue(static_cast<float>(round % 101) / 100.0f, false);
        knob->SetValue(0.7f, false);
        done = true;
    });
    while (!done) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        Pump();
    }
    host.join();
    EXPECT_FLOAT_EQ(0.7f, knob->GetValue());
    EXPECT_EQ(63, knob->GetIndex());
    EXPECT_TRUE(TakePosted().empty());
}

} // namespace
