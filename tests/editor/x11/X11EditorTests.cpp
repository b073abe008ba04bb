// The delay editor on X11, opened in a host window and driven by real input.

#include "tests/editor/x11/X11EditorFixture.h"

#include "editor/AboutBox.h"
#include "editor/DelayLayout.h"

#include <atomic>
#include <thread>

namespace {

using namespace X11EditorTest;

class X11Editor : public X11EditorFixture {};

TEST_F(X11Editor, OpensInsideItsHostWindowAtItsSizeAndShowsItsFace)
{
    Open();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(host->GetDisplay(), editor->GetWindow(), &root, &parent, &children, &count));
    if (children != nullptr)
        XFree(children);
    EXPECT_EQ(host->GetWindow(), parent);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), editor->GetWindow(), &attributes));
    EXPECT_EQ(496, attributes.width);
    EXPECT_EQ(344, attributes.height);
    EXPECT_EQ(0, attributes.x);
    EXPECT_EQ(0, attributes.y);
    SaveScreenshot("x11-editor-default.png");
}

} // namespace

namespace {

using namespace X11EditorTest;

class X11EditorInput : public X11EditorFixture {
protected:
    void SetUp() override
    {
        X11EditorFixture::SetUp();
        Open();
    }
    float Value(int parameter) const { return model->GetParameterValue(parameter); }
    // Rests the pointer on a control until the editor has told it of the hover.
    void Hover(int parameter)
    {
        const Pictures::Point centre = CentreOf(parameter);
        host->MoveTo(centre.x - 1, centre.y);
        host->MoveTo(centre.x, centre.y);
        const std::string before = StatusText();
        ASSERT_TRUE(PumpUntil([&] { return StatusText().rfind(model->GetParameterLongName(parameter), 0) == 0; }))
            << "no hover on parameter " << parameter << " (status \"" << before << "\")";
    }
};

TEST_F(X11EditorInput, DraggingAKnobUpRaisesItsParameterOnePercentAPixelAndTellsTheHostEveryStep)
{
    core->SetParameterValue(MorlentDelay::kFeedbackLevel, 0.5f);
    const Pictures::Point knob = CentreOf(MorlentDelay::kFeedbackLevel);
    host->MoveTo(knob.x, knob.y);
    host->Button(Button1, true);
    ASSERT_TRUE(PumpUntil([&] { return editor->IsDragging(); }));
    for (int step = 1; step <= 3; ++step)
        host->MoveTo(knob.x, knob.y - 10 * step);
    ASSERT_TRUE(PumpUntil([&] { return Value(MorlentDelay::kFeedbackLevel) >= 0.8f - 1e-6f; }));
    host->MoveTo(knob.x + 300, knob.y - 200); // far outside, still dragging: clamped at the top
    host->Button(Button1, false);
    ASSERT_TRUE(PumpUntil([&] { return !editor->IsDragging(); }));
    EXPECT_FLOAT_EQ(1.0f, Value(MorlentDelay::kFeedbackLevel));
    ASSERT_EQ(4u, core->edits.size());
    for (const auto& edit : core->edits)
        EXPECT_EQ(MorlentDelay::kFeedbackLevel, edit.first);
    EXPECT_FLOAT_EQ(1.0f, core->edits.back().second);
    char display[MorlentDelay::kDisplaySize + 1] = {};
    model->GetParameterDisplay(MorlentDelay::kFeedbackLevel, display);
    EXPECT_EQ(std::string("Feedback Level: ") + display + " ", StatusText());
    SaveScreenshot("x11-editor-after-drag.png");
}

TEST_F(X11EditorInput, TheWheelStepsTheControlThePointerRestsOnAndNothingAfterItLeaves)
{
    core->SetParameterValue(MorlentDelay::kWetDryMix, 0.5f);
    Hover(MorlentDelay::kWetDryMix);
    host->Button(Button4, true);
    host->Button(Button4, false);
    ASSERT_TRUE(PumpUntil([&] { return Value(MorlentDelay::kWetDryMix) > 0.5f; }));
    EXPECT_FLOAT_EQ(0.51f, Value(MorlentDelay::kWetDryMix));
    host->Key(XK_Shift_L, true);
    host->Button(Button5, true);
    host->Button(Button5, false);
    host->Key(XK_Shift_L, false);
    ASSERT_TRUE(PumpUntil([&] { return Value(MorlentDelay::kWetDryMix) < 0.51f; }));
    EXPECT_NEAR(0.509f, Value(MorlentDelay::kWetDryMix), 1e-6f);

    // Off the knob, onto the background: the wheel reaches nothing, then a hover elsewhere works.
    host->MoveTo(250, 320);
    ASSERT_TRUE(PumpUntil([&] { return StatusText().empty(); }));
    host->Button(Button4, true);
    host->Button(Button4, false);
    Hover(MorlentDelay::kFeedbackLevel);
    EXPECT_NEAR(0.509f, Value(MorlentDelay::kWetDryMix), 1e-6f);
    const size_t edits = core->edits.size();
    host->Button(Button4, true);
    host->Button(Button4, false);
    ASSERT_TRUE(PumpUntil([&] { return core->edits.size() > edits; }));
    EXPECT_EQ(MorlentDelay::kFeedbackLevel, core->edits.back().first);
}

TEST_F(X11EditorInput, ASwitchFollowsTheBandClickedAndControlClickResetsIt)
{
    const Pictures::Point pan = CentreOf(MorlentDelay::kPan);
    host->Click(pan.x, pan.y - 12); // the upper half: on
    ASSERT_TRUE(PumpUntil([&] { return Value(MorlentDelay::kPan) == 1.0f; }));
    host->Click(pan.x, pan.y + 12);
    ASSERT_TRUE(PumpUntil([&] { return Value(MorlentDelay::kPan) == 0.0f; }));

    const Pictures::Point sync = CentreOf(MorlentDelay::kSync);
    host->Key(XK_Control_L, true);
    host->Click(sync.x, sync.y + 12); // its own reset value, on, wherever it is clicked
    host->Key(XK_Control_L, false);
    ASSERT_TRUE(PumpUntil([&] { return Value(MorlentDelay::kSync) == 1.0f; }));

    // The lower note row's button steps it and wraps: 3, 4, 0.
    core->SetParameterValue(MorlentDelay::kRightSync, 0.75f);
    std::vector<int> states;
    for (int click = 0; click < 2; ++click) {
        const size_t edits = core->edits.size();
        host->Click(116 + 14, 262 + 14);
        ASSERT_TRUE(PumpUntil([&] { return core->edits.size() > edits; }));
        states.push_back(MorlentDelayModel::NormalizedFloatToSelection(Value(MorlentDelay::kRightSync),
                                                                       MorlentDelayModel::kNoteCount));
    }
    EXPECT_EQ((std::vector<int>{4, 0}), states);
    SaveScreenshot("x11-editor-switches.png");
}

TEST_F(X11EditorInput, RightClickLearnsAControllerThatThenMovesTheParameter)
{
    const Pictures::Point knob = CentreOf(MorlentDelay::kLeftDelay);
    host->Click(knob.x, knob.y, Button3);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    SavePopupScreenshot("x11-midi-learn-menu.png");
    // The menu opens at the knob's top-left; its first item is "MIDI Learn".
    const Pictures::Point at = EditorCore::PositionOf(MorlentDelay::kLeftDelay);
    host->MoveTo(at.x + 30, at.y + 10);
    host->Click(at.x + 30, at.y + 10);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() == 0; }));
    EXPECT_TRUE(model->IsLearningMidi());
    EXPECT_EQ("Learning...", StatusText());

    // A controller arrives on the host's audio thread: it binds, and the status line empties.
    std::thread audio([&] { core->ApplyMidiEvent(0, 0xB0, 21, 64); });
    audio.join();
    ASSERT_TRUE(PumpUntil([&] { return StatusText().empty(); }));
    EXPECT_FALSE(model->IsLearningMidi());
    EXPECT_EQ(MorlentDelay::kLeftDelay, model->ControllerToParameter(21));
    std::thread moved([&] { core->ApplyMidiEvent(0, 0xB0, 21, 127); });
    moved.join();
    EXPECT_FLOAT_EQ(1.0f, Value(MorlentDelay::kLeftDelay));

    // Now the menu offers to forget it: Down twice and Return choose the second item.
    host->Click(knob.x, knob.y, Button3);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    host->Press(XK_Down);
    host->Press(XK_Down);
    host->Press(XK_Return);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() == 0; }));
    EXPECT_FALSE(model->IsControllerMapped(21));
}

TEST_F(X11EditorInput, EscapeOrAClickOutsideDismissesAMenuAndStopsLearning)
{
    model->StartLearningMidi(MorlentDelay::kPan);
    const Pictures::Point knob = CentreOf(MorlentDelay::kWetDryMix);
    host->Click(knob.x, knob.y, Button3);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    host->Press(XK_Escape);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() == 0; }));
    EXPECT_FALSE(model->IsLearningMidi());

    host->Click(knob.x, knob.y, Button3);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    host->Click(20, 330); // the wooden frame, outside the menu
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() == 0; }));
    EXPECT_TRUE(core->edits.empty()) << "the click that dismissed the menu went nowhere else";
}

TEST_F(X11EditorInput, TheViewMenuOpensTheAboutBoxAndAsksBeforeClearingEveryBinding)
{
    std::vector<std::string> opened;
    X11Toolkit::SetWebSiteOpener([&](const char* address) { opened.push_back(address); });
    host->Click(100, 50); // the title banner
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    SavePopupScreenshot("x11-view-menu.png");
    host->Press(XK_Down);
    host->Press(XK_Return); // About
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    const Window about = editor->GetPopupWindow();
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), about, &attributes));
    EXPECT_EQ(440, attributes.width);
    EXPECT_EQ(449, attributes.height);
    SavePopupScreenshot("x11-about.png");
    const EditorCore::AboutButton& visit = EditorCore::kAboutButtons[0];
    host->MoveToRoot(attributes.x + visit.area.left + 10, attributes.y + visit.area.top + 10);
    host->Button(Button1, true);
    host->Button(Button1, false);
    ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(std::vector<std::string>{MorlentDelay::kWebSiteAddress}, opened);
    EXPECT_EQ(about, editor->GetPopupWindow()) << "the box stays for the website";
    host->Press(XK_Escape);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() == 0; }));
    X11Toolkit::SetWebSiteOpener(nullptr);

    model->RegisterMidiControllerMapping(7, MorlentDelay::kLeftDelay);
    for (const KeySym answer : {XK_Escape, XK_Return}) {
        host->Click(100, 50);
        ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
        host->Press(XK_Up); // from the bottom: Clear All MIDI Learn
        host->Press(XK_Return);
        ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
        if (answer == XK_Escape)
            SavePopupScreenshot("x11-clear-all.png");
        host->Press(answer);
        ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() == 0; }));
        EXPECT_EQ(answer == XK_Escape, model->IsControllerMapped(7));
    }
}

TEST_F(X11EditorInput, HoverShowsLongNameDisplayAndLabelAndValuesFromTheHostRepaintTheControls)
{
    Hover(MorlentDelay::kCutoffFrequency);
    char display[MorlentDelay::kDisplaySize + 1] = {};
    model->GetParameterDisplay(MorlentDelay::kCutoffFrequency, display);
    EXPECT_EQ(std::string("Cutoff Freq: ") + display + " Hz", StatusText());
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixels() == FacePixels(); }));
    SaveScreenshot("x11-editor-hover.png");

    // A host's automation from its own thread: the knob shows it at the next pump, reported
    // nowhere.
    const std::vector<uint32_t> before = ScreenPixels();
    std::atomic<bool> done{false};
    std::thread automation([&] {
        for (int step = 0; step <= 100; ++step)
            core->SetParameterValue(MorlentDelay::kLeftDelay, step / 100.0f);
        core->SetParameterValue(MorlentDelay::kLeftDelay, 0.3f);
        done = true;
    });
    // The window's thread goes on drawing meanwhile.
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    automation.join();
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixels() != before && ScreenPixels() == FacePixels(); }));
    EXPECT_TRUE(core->edits.empty());
}

} // namespace

namespace {

using namespace X11EditorTest;

class X11EditorHostile : public X11EditorFixture {};

TEST_F(X11EditorHostile, ANoParentAMissingParentOrNoDisplayIsRefusedAndLeavesNothing)
{
    std::string error;
    EXPECT_EQ(nullptr, EditorCore::OpenDelayEditor(0, *model, *core, error));
    EXPECT_EQ("no parent window", error);
    EXPECT_EQ(nullptr, EditorCore::OpenDelayEditor(0x7FFFFF0, *model, *core, error)); // no such window
    EXPECT_EQ("the parent window does not exist", error);
    EXPECT_EQ(nullptr, core->GetView());

    const std::string display = getenv("DISPLAY");
    setenv("DISPLAY", ":9999", 1); // no server there
    EXPECT_EQ(nullptr, EditorCore::OpenDelayEditor(host->Handle(), *model, *core, error));
    EXPECT_EQ("cannot open the X display", error);
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(nullptr, core->GetView());

    // And a real open after all that works, attached to the core until it closes.
    auto opened = EditorCore::OpenDelayEditor(host->Handle(), *model, *core, error);
    ASSERT_NE(nullptr, opened) << error;
    EXPECT_NE(nullptr, core->GetView());
    opened.reset();
    EXPECT_EQ(nullptr, core->GetView());
}

TEST_F(X11EditorHostile, AParentDestroyedUnderTheEditorStopsItsDrawingAndItStillClosesSafely)
{
    Open();
    const Pictures::Point knob = CentreOf(MorlentDelay::kLeftDelay);
    host->Click(knob.x, knob.y, Button3);
    ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
    host->DestroyWindow();
    ASSERT_TRUE(PumpUntil([&] { return !editor->IsOpen(); }));
    EXPECT_EQ(0u, editor->GetPopupWindow()) << "its menu went with it";
    // Values keep arriving from the host; nothing is drawn into the window that is gone.
    core->SetParameterValue(MorlentDelay::kLeftDelay, 0.2f);
    for (int i = 0; i < 5; ++i)
        Pump();
    Close();
}

TEST_F(X11EditorHostile, AParentDestroyedInTheMiddleOfADragEndsTheDragForTheHost)
{
    Open();
    int ended = 0;
    const Pictures::Point knob = CentreOf(MorlentDelay::kFeedbackLevel);
    host->MoveTo(knob.x, knob.y);
    host->Button(Button1, true);
    ASSERT_TRUE(PumpUntil([&] { return editor->IsDragging(); }));
    editor->WhenDragEnds([&] { ++ended; });
    host->DestroyWindow();
    ASSERT_TRUE(PumpUntil([&] { return !editor->IsOpen(); }));
    EXPECT_FALSE(editor->IsDragging());
    EXPECT_EQ(1, ended) << "the host's gesture would stay open";
    Close();
}

namespace {
int hostErrors = 0, laterErrors = 0;
XErrorHandler laterPrevious = nullptr;
} // namespace

// A library that installs its handler after an editor opened, handing on to ours, stays in the
// chain when the editor closes; the next editor finds it as the handler before its own. An error
// of another connection then goes round once, not for ever.
TEST_F(X11EditorHostile, AHandlerInstalledAfterOursThatHandsErrorsOnDoesNotMakeThemGoRoundForEver)
{
    hostErrors = laterErrors = 0;
    const XErrorHandler original = XSetErrorHandler([](Display*, XErrorEvent*) { return ++hostErrors, 0; });
    Open();
    laterPrevious = XSetErrorHandler([](Display* display, XErrorEvent* event) {
        ++laterErrors;
        return laterPrevious != nullptr ? laterPrevious(display, event) : 0;
    });
    Close();
    Open();
    XWindowAttributes attributes{};
    EXPECT_EQ(0, XGetWindowAttributes(host->GetDisplay(), host->GetWindow() + 12345, &attributes));
    XSync(host->GetDisplay(), False);
    EXPECT_EQ(1, laterErrors);
    Close();
    XSetErrorHandler(original);
}

TEST_F(X11EditorHostile, ClosingWithAMenuOrABoxOpenTakesThePopupAndItsGrabsWithIt)
{
    for (int round = 0; round < 2; ++round) {
        Open();
        if (round == 0) {
            host->Click(CentreOf(MorlentDelay::kPan).x, CentreOf(MorlentDelay::kPan).y, Button3);
        } else {
            host->Click(100, 50);
            ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
            host->Press(XK_Down);
            host->Press(XK_Return);
            ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
        }
        ASSERT_TRUE(PumpUntil([&] { return editor->GetPopupWindow() != 0; }));
        const Window popup = editor->GetPopupWindow();
        Close();
        // Gone from the server, and the pointer is free again: the test's own grab succeeds.
        XWindowAttributes attributes{};
        XSync(host->GetDisplay(), False);
        auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        EXPECT_EQ(0, XGetWindowAttributes(host->GetDisplay(), popup, &attributes));
        XSync(host->GetDisplay(), False);
        XSetErrorHandler(previous);
        EXPECT_EQ(GrabSuccess, XGrabPointer(host->GetDisplay(), host->GetWindow(), False, ButtonPressMask,
                                            GrabModeAsync, GrabModeAsync, None, None, CurrentTime));
        XUngrabPointer(host->GetDisplay(), CurrentTime);
    }
}

TEST_F(X11EditorHostile, TwoEditorsOfOneInstanceInTurnAndTheCoreAlwaysKnowsTheOpenOne)
{
    std::string error;
    auto first = EditorCore::OpenDelayEditor(host->Handle(), *model, *core, error);
    ASSERT_NE(nullptr, first);
    VstToolkit::ParameterView* firstView = core->GetView();
    auto second = EditorCore::OpenDelayEditor(host->Handle(), *model, *core, error);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(firstView, core->GetView());
    first.reset(); // the first one closing leaves the second attached
    EXPECT_NE(nullptr, core->GetView());
    second.reset();
    EXPECT_EQ(nullptr, core->GetView());
}

} // namespace
