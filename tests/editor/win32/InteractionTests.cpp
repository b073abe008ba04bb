// The user's mouse and the host's values meeting in the opened editor.

#include "tests/editor/win32/EditorFixture.h"

#include "delay/MorlentDelayModel.h"

#include <cstdlib>

namespace {

using namespace EditorTest;

class EditorInteraction : public EditorFixture {
protected:
    // Pixels of the status line that are nearly white: the text the status control drew.
    int WhiteStatusPixels()
    {
        HWND window = View()->GetHandle();
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        HDC dc = GetDC(window);
        int white = 0;
        const RECT status = MorlentDelayView::kStatusRect;
        for (int y = status.top; y < status.bottom; ++y)
            for (int x = status.left; x < status.right; ++x) {
                const COLORREF pixel = GetPixel(dc, x, y);
                white += GetRValue(pixel) > 200 && GetGValue(pixel) > 200 && GetBValue(pixel) > 200 ? 1 : 0;
            }
        ReleaseDC(window, dc);
        return white;
    }
};

TEST_F(EditorInteraction, AKnobDragReachesTheModelAndTheHostOncePerStepWithoutAnEcho)
{
    Open();
    WindowsToolkit::ParameterControl* knob = Control(MorlentDelay::kRightDelay);
    const float start = model->GetParameterValue(MorlentDelay::kRightDelay);
    HWND window = knob->GetHandle();
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 16, 16);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 16, 6);  // ten pixels up: ten percent
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 16, 1);
    Send(window, WM_LBUTTONUP, 0, 16, 1);
    Pump();

    const float expected = start + 0.15f;
    EXPECT_NEAR(expected, model->GetParameterValue(MorlentDelay::kRightDelay), 1e-5f);
    const std::vector<HostCall> automations = Automations();
    ASSERT_EQ(2u, automations.size());
    EXPECT_EQ(MorlentDelay::kRightDelay, automations[1].index);
    EXPECT_NEAR(expected, automations[1].opt, 1e-5f);
    EXPECT_NEAR(expected, knob->GetValue(), 1e-5f);
    // The status line follows the drag with the new display string.
    char display[8] = {};
    model->GetParameterDisplay(MorlentDelay::kRightDelay, display);
    EXPECT_EQ(std::string("Right Delay: ") + display + " Secs", StatusText());
}

TEST_F(EditorInteraction, HostValuesAndProgramsMoveTheControlsWithoutNotifications)
{
    record->setParameter(record, MorlentDelay::kFeedbackLevel, 0.4f);
    Dispatch(effSetProgram, 0, 7);
    record->setParameter(record, MorlentDelay::kWetDryMix, 0.1f); // program 7 only
    Dispatch(effSetProgram, 0, 0);
    Open();
    EXPECT_NEAR(0.4f, Control(MorlentDelay::kFeedbackLevel)->GetValue(), 1e-5f);

    record->setParameter(record, MorlentDelay::kFeedbackLevel, 0.7f);
    EXPECT_NEAR(0.7f, Control(MorlentDelay::kFeedbackLevel)->GetValue(), 1e-5f);
    Dispatch(effSetProgram, 0, 7);
    EXPECT_NEAR(0.0f, Control(MorlentDelay::kFeedbackLevel)->GetValue(), 1e-5f);
    EXPECT_NEAR(0.1f, Control(MorlentDelay::kWetDryMix)->GetValue(), 1e-5f);
    Pump(50);
    EXPECT_TRUE(Automations().empty());
}

TEST_F(EditorInteraction, HoverShowsLongNameDisplayAndLabelInTheStatusLine)
{
    Open();
    const int blankWhite = WhiteStatusPixels();
    Send(Control(MorlentDelay::kCutoffFrequency)->GetHandle(), WM_MOUSEHOVER, 0, 16, 16);
    Pump();
    char display[8] = {};
    model->GetParameterDisplay(MorlentDelay::kCutoffFrequency, display);
    EXPECT_EQ(std::string("Cutoff Freq: ") + display + " Hz", StatusText());
    EXPECT_GT(WhiteStatusPixels(), blankWhite + 20) << "no text drawn in the display window";
    SaveScreenshot(host, "editor-hover.png");

    // Leaving empties it; a label-less parameter keeps its trailing blank.
    Send(Control(MorlentDelay::kCutoffFrequency)->GetHandle(), WM_MOUSELEAVE, 0, 0, 0);
    Pump();
    EXPECT_EQ("", StatusText());
    Send(Control(MorlentDelay::kPan)->GetHandle(), WM_MOUSEHOVER, 0, 5, 5);
    Pump();
    EXPECT_EQ("Pan: Off ", StatusText());
}

TEST_F(EditorInteraction, ALearnedControllerOnTheAudioThreadMovesItsControlAndTellsTheHost)
{
    Open();
    model->RegisterMidiControllerMapping(20, MorlentDelay::kWetDryMix);
    ControlChangeOnAudioThread(20, 127);
    EXPECT_NEAR(1.0f, Control(MorlentDelay::kWetDryMix)->GetValue(), 1e-5f);
    const std::vector<HostCall> automations = Automations();
    ASSERT_EQ(1u, automations.size());
    EXPECT_EQ(MorlentDelay::kWetDryMix, automations[0].index);
}

} // namespace
