// The LV2 editor through its descriptor, as a host drives it, with real input on a private X
// server: what it offers, how it opens, values from the ports, drags as gestures, MIDI Learn
// through the plug-in's messages, and hosts that refuse it what it needs or take its window.

#include "tests/lv2/ui/Lv2UiFixture.h"

#include "editor/DelayLayout.h"

#include <cmath>

namespace {

using namespace Lv2UiTest;
using MorlentLv2::LearnAction;
using MorlentLv2::LearnCommand;

std::string Describe(const std::vector<LearnCommand>& commands)
{
    static const char* const names[] = {"start", "stop", "forget", "clear", "send"};
    std::string text;
    for (const LearnCommand& command : commands)
        text += std::string(names[static_cast<int>(command.action)]) + " " + std::to_string(command.number) + "; ";
    return text;
}

// The editor-settings screenshot's values: a bit of everything switched and turned.
const std::vector<std::pair<int, float>> kSettings = {{1, 0.6f}, {2, 0.35f}, {3, 1.0f}, {4, 0.7f},   {5, 0.95f},
                                                      {6, 0.55f}, {7, 1.0f}, {8, 0.8f}, {9, 1.0f}, {10, 1.0f},
                                                      {11, 0.3f}};

class Lv2Ui : public Lv2UiFixture {};

TEST_F(Lv2Ui, OneX11UiForThePlugInOfferingTheIdleInterface)
{
    EXPECT_STREQ("https://www.example.com/lv2/morlent-delay#ui", descriptor->URI);
    EXPECT_NE(nullptr, descriptor->extension_data(LV2_UI__idleInterface));
    EXPECT_EQ(nullptr, descriptor->extension_data(LV2_UI__showInterface));
    EXPECT_EQ(nullptr, descriptor->extension_data(nullptr));
}

TEST_F(Lv2Ui, OpensInTheParentAtTheEditorsSizeTellsTheHostAndAsksForTheLearnState)
{
    const std::vector<uint32_t> reference = ReferenceFace({});
    ASSERT_TRUE(Instantiate());
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(host->GetDisplay(), Widget(), &root, &parent, &children, &count));
    if (children != nullptr)
        XFree(children);
    EXPECT_EQ(host->GetWindow(), parent);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), Widget(), &attributes));
    EXPECT_EQ(496, attributes.width);
    EXPECT_EQ(344, attributes.height);
    EXPECT_EQ(496, resizedWidth);
    EXPECT_EQ(344, resizedHeight);
    EXPECT_EQ("send 0; ", Describe(Commands()));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(MorlentLv2::kEventsInPort, calls[0].port);
    // The same face as the editor the other formats open on the core.
    EXPECT_TRUE(IdleUntil([&] { return ScreenPixels() == reference; }));
}

TEST_F(Lv2Ui, ValuesFromThePortsAndFromLearnedControllersShowAsTheCoreAttachedEditorShowsThem)
{
    const std::vector<uint32_t> reference = ReferenceFace(kSettings);
    ASSERT_TRUE(Instantiate());
    // The host sends every control port's value in display units; one value arrives as a
    // controller move instead, which no port carries.
    for (const auto& [parameter, value] : kSettings) {
        const auto port = static_cast<uint32_t>(parameter);
        if (parameter == MorlentDelay::kCutoffFrequency)
            SendMove({parameter, value});
        else
            SendControl(port, MorlentLv2::ExactPortValue(port, value));
    }
    ASSERT_TRUE(IdleUntil([&] { return ScreenPixels() == reference; }));

    // What a host must not send changes nothing: other sizes and formats, unknown ports, no
    // buffer, a NaN, a damaged or foreign notification.
    const float half = 0.5f;
    const double wide = 0.5;
    descriptor->port_event(handle, MorlentDelay::kFeedbackLevel, sizeof wide, 0, &wide);
    descriptor->port_event(handle, MorlentDelay::kFeedbackLevel, sizeof half, eventTransfer, &half);
    descriptor->port_event(handle, MorlentDelay::kFeedbackLevel, sizeof half, 0, nullptr);
    descriptor->port_event(handle, MorlentLv2::kPortCount, sizeof half, 0, &half);
    descriptor->port_event(handle, MorlentLv2::kLeftOutPort, sizeof half, 0, &half);
    descriptor->port_event(nullptr, MorlentDelay::kFeedbackLevel, sizeof half, 0, &half);
    SendControl(MorlentDelay::kFeedbackLevel, std::nanf(""));
    alignas(8) uint8_t message[MorlentLv2::kLargestMessageSize];
    const uint32_t size = MorlentLv2::WriteControllerMove(urids, {MorlentDelay::kWetDryMix, 0.9f}, message,
                                                          sizeof message);
    SendNotification(message, size - 8); // cut short
    descriptor->port_event(handle, MorlentLv2::kNotifyPort, size, 0, message); // not event transfer
    SendMove({MorlentDelay::kWetDryMix, 1.5f});
    SendMove({MorlentDelay::kParameterCount, 0.5f});
    for (int i = 0; i < 20; ++i)
        Idle();
    EXPECT_TRUE(ScreenPixels() == reference);
    EXPECT_TRUE(Commands().size() == 1 && calls.size() == 1) << "values from the host are not echoed back";
}

} // namespace

namespace {

using namespace Lv2UiTest;
using MorlentLv2::LearnAction;
using MorlentLv2::LearnCommand;

class Lv2UiInput : public Lv2UiFixture {
protected:
    void SetUp() override
    {
        Lv2UiFixture::SetUp();
        const std::vector<uint32_t> reference = ReferenceFace({});
        ASSERT_TRUE(Instantiate());
        ASSERT_TRUE(IdleUntil([&] { return ScreenPixels() == reference; }));
        calls.clear();
    }
    std::vector<HostCall> Of(HostCall::Kind kind) const
    {
        std::vector<HostCall> found;
        for (const HostCall& call : calls)
            if (call.kind == kind)
                found.push_back(call);
        return found;
    }
    // The parameter value a written port value gives the plug-in.
    static float ParameterOf(const HostCall& call) { return MorlentLv2::ToParameterValue(call.port, call.value); }
    // Rests the pointer on a control until the editor has shown its hover on the status line.
    void Hover(int parameter)
    {
        const std::vector<uint32_t> before = StatusPixels();
        const Pictures::Point centre = CentreOf(parameter);
        host->MoveTo(centre.x - 1, centre.y);
        host->MoveTo(centre.x, centre.y);
        ASSERT_TRUE(IdleUntil([&] { return StatusPixels() != before; })) << "no hover on " << parameter;
    }
    // Opens a menu, then, once it shows and with the pointer out of the way, presses the keys
    // and waits for it to go.
    void ChooseFromMenu(const std::function<void()>& open, const std::vector<KeySym>& keys)
    {
        open();
        ASSERT_TRUE(IdleUntil([&] { return PopupWindow() != 0; }));
        const ::Window menu = PopupWindow();
        host->Park();
        for (KeySym key : keys)
            host->Press(key);
        ASSERT_TRUE(IdleUntil([&] { return PopupWindow() != menu; }));
    }
};

TEST_F(Lv2UiInput, AKnobDragIsOneGestureOfClimbingValuesAndOurOwnEchoesDoNotPullItBack)
{
    SendControl(MorlentDelay::kFeedbackLevel, MorlentLv2::ExactPortValue(MorlentDelay::kFeedbackLevel, 0.5f));
    const Pictures::Point knob = CentreOf(MorlentDelay::kFeedbackLevel);
    host->MoveTo(knob.x, knob.y);
    host->Button(Button1, true);
    for (int step = 1; step <= 2; ++step) {
        host->MoveTo(knob.x, knob.y - 10 * step);
        const size_t writes = step;
        ASSERT_TRUE(IdleUntil([&] { return Of(HostCall::kValue).size() >= writes; }));
    }
    // The host sends back what was written before, as hosts do a little later: the drag goes
    // on from where the knob is, not from there.
    SendControl(MorlentDelay::kFeedbackLevel, Of(HostCall::kValue).front().value);
    host->MoveTo(knob.x, knob.y - 30);
    ASSERT_TRUE(IdleUntil([&] { return Of(HostCall::kValue).size() >= 3; }));
    host->Button(Button1, false);
    ASSERT_TRUE(IdleUntil([&] { return Of(HostCall::kTouch).size() >= 2; }));

    // grab, the edits, release: nothing outside the gesture.
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(HostCall::kTouch, calls.front().kind);
    EXPECT_TRUE(calls.front().grabbed);
    EXPECT_EQ(HostCall::kTouch, calls.back().kind);
    EXPECT_FALSE(calls.back().grabbed);
    const std::vector<HostCall> values(calls.begin() + 1, calls.end() - 1);
    float previous = 0.5f;
    for (const HostCall& call : values) {
        ASSERT_EQ(HostCall::kValue, call.kind);
        EXPECT_EQ(static_cast<uint32_t>(MorlentDelay::kFeedbackLevel), call.port);
        EXPECT_GT(ParameterOf(call), previous);
        previous = ParameterOf(call);
    }
    // One percent a pixel, and the port value gives the plug-in exactly the knob's value.
    EXPECT_FLOAT_EQ(0.8f, previous);
    EXPECT_EQ(MorlentLv2::ExactPortValue(MorlentDelay::kFeedbackLevel, previous), values.back().value);
}

TEST_F(Lv2UiInput, AWheelStepAndASwitchClickAreGesturesOfTheirOwn)
{
    SendControl(MorlentDelay::kWetDryMix, 0.0f); // the middle
    // The wheel goes to the control the pointer rested on, once the editor saw it rest.
    Hover(MorlentDelay::kWetDryMix);
    host->Button(Button4, true);
    host->Button(Button4, false);
    ASSERT_TRUE(IdleUntil([&] { return Of(HostCall::kTouch).size() == 2; }));
    ASSERT_EQ(3u, calls.size());
    EXPECT_TRUE(calls[0].kind == HostCall::kTouch && calls[0].grabbed && calls[0].port == MorlentDelay::kWetDryMix);
    EXPECT_TRUE(calls[1].kind == HostCall::kValue && calls[1].port == MorlentDelay::kWetDryMix);
    EXPECT_FLOAT_EQ(0.51f, ParameterOf(calls[1]));
    EXPECT_TRUE(calls[2].kind == HostCall::kTouch && !calls[2].grabbed && calls[2].port == MorlentDelay::kWetDryMix);

    calls.clear();
    const Pictures::Point pan = CentreOf(MorlentDelay::kPan);
    host->Click(pan.x, pan.y - 12); // the upper half: on
    ASSERT_TRUE(IdleUntil([&] { return Of(HostCall::kTouch).size() == 2; }));
    ASSERT_EQ(3u, calls.size());
    EXPECT_TRUE(calls[0].kind == HostCall::kTouch && calls[0].grabbed && calls[0].port == MorlentDelay::kPan);
    EXPECT_TRUE(calls[1].kind == HostCall::kValue && calls[1].value == 1.0f);
    EXPECT_TRUE(calls[2].kind == HostCall::kTouch && !calls[2].grabbed && calls[2].port == MorlentDelay::kPan);
}

TEST_F(Lv2UiInput, RightClickMidiLearnWritesTheCommandAndTheLearnStateArrivingEndsIt)
{
    const std::vector<uint32_t> empty = StatusPixels();
    // Resting first, so the hover is over before the menu: no hover rewrites the line later.
    Hover(MorlentDelay::kLeftDelay);
    const std::vector<uint32_t> hovered = StatusPixels();
    const Pictures::Point knob = CentreOf(MorlentDelay::kLeftDelay);
    ChooseFromMenu([&] { host->Click(knob.x, knob.y, Button3); }, {XK_Down, XK_Return}); // MIDI Learn
    EXPECT_EQ("start 1; ", Describe(Commands()));
    ASSERT_TRUE(IdleUntil([&] {
        const std::vector<uint32_t> now = StatusPixels();
        return now != empty && now != hovered;
    })) << "Learning... shows";
    const std::vector<uint32_t> learning = StatusPixels();

    // The plug-in says it learns: nothing changes. Then a controller arrived and bound: the
    // learn is over and the status line empties, as in the other formats.
    MorlentLv2::LearnState state;
    state.learning = true;
    state.parameter = MorlentDelay::kLeftDelay;
    SendState(state);
    for (int i = 0; i < 10; ++i)
        Idle();
    EXPECT_EQ(learning, StatusPixels());
    state.learning = false;
    state.controllers[MorlentDelay::kLeftDelay] = 21;
    SendState(state);
    ASSERT_TRUE(IdleUntil([&] { return StatusPixels() == empty; }));

    // The control's menu now offers to forget the controller it heard of: the second item.
    calls.clear();
    ChooseFromMenu([&] { host->Click(knob.x, knob.y, Button3); }, {XK_Down, XK_Down, XK_Return});
    EXPECT_EQ("stop 0; forget 21; ", Describe(Commands()));

    // The view menu's last item, confirmed, forgets them all; without a learn going on it offers
    // no Cancel MIDI Learn, so the last item is the second.
    calls.clear();
    ChooseFromMenu([&] { host->Click(100, 50); }, {XK_Up, XK_Return}); // the title banner
    ASSERT_TRUE(IdleUntil([&] { return PopupWindow() != 0; })) << "the question";
    EXPECT_TRUE(Commands().empty()) << "nothing before the answer";
    host->Press(XK_Return);
    ASSERT_TRUE(IdleUntil([&] { return PopupWindow() == 0; }));
    EXPECT_EQ("clear 0; stop 0; ", Describe(Commands()));
}

} // namespace

namespace {

using namespace Lv2UiTest;

class Lv2UiHostile : public Lv2UiFixture {};

TEST_F(Lv2UiHostile, HostsWithoutAParentAMapOrAWriteFunctionOrWithAParentThatIsGoneAreRefusedOnTheLog)
{
    struct Case {
        const char* what;
        Offer offer;
    };
    Offer noParent, noMap, noWrite, missing, foreign;
    noParent.parent = false;
    noMap.map = false;
    noMap.log = true;
    noWrite.writeFunction = false;
    missing.parentWindow = 0x7FFFFF0; // no such window
    foreign.pluginUri = "urn:another:plugin";
    const Case cases[] = {{"the host gives no parent window", noParent},
                          {"the host offers no URID map", noMap},
                          {"the host gives it no way to write", noWrite},
                          {"the parent window does not exist", missing},
                          {"it belongs to another plug-in", foreign}};
    for (const Case& c : cases) {
        const size_t messages = features.log.messages.size();
        EXPECT_FALSE(Instantiate(c.offer)) << c.what;
        if (c.offer.map) {
            ASSERT_EQ(messages + 1, features.log.messages.size()) << c.what;
            EXPECT_NE(std::string::npos, features.log.messages.back().find(c.what)) << features.log.messages.back();
        }
    }
    EXPECT_TRUE(calls.empty());
    // No widget pointer to fill.
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(host->Handle())};
    const LV2_Feature* list[] = {&parent, &features.mapFeature, nullptr};
    EXPECT_EQ(nullptr, descriptor->instantiate(descriptor, MorlentLv2::kPluginUri, "", nullptr, this, nullptr, list));
    // Nor does a null feature list, or a host that never passes the list, crash anything.
    EXPECT_EQ(nullptr, descriptor->instantiate(descriptor, MorlentLv2::kPluginUri, "", nullptr, this, &widget, nullptr));

    // After all that, a host with everything opens it, and the idle calls go on.
    Offer bare;
    bare.touch = bare.resize = bare.log = false;
    ASSERT_TRUE(Instantiate(bare));
    EXPECT_EQ(0, Idle());
}

TEST_F(Lv2UiHostile, CleanupWithAMenuOpenOrInTheMiddleOfADragLeavesNoPopupGrabOrGesture)
{
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Instantiate());
        ASSERT_TRUE(IdleUntil([&] { return Shown(); }));
        ::Window popup = 0;
        const Pictures::Point knob = CentreOf(MorlentDelay::kRightDelay);
        if (round == 0) {
            // The menu is a window of the root's, on the UI's connection, holding the pointer.
            host->Click(knob.x, knob.y, Button3);
            ASSERT_TRUE(IdleUntil([&] { return (popup = PopupWindow()) != 0; }));
            EXPECT_NE(GrabSuccess, XGrabPointer(host->GetDisplay(), host->GetWindow(), False, ButtonPressMask,
                                                GrabModeAsync, GrabModeAsync, None, None, CurrentTime));
        } else {
            host->MoveTo(knob.x, knob.y);
            host->Button(Button1, true);
            host->MoveTo(knob.x, knob.y - 5);
            ASSERT_TRUE(IdleUntil([&] { return !calls.empty() && calls.back().kind == HostCall::kValue; }));
        }
        calls.clear();
        Cleanup();
        if (round == 0) {
            XWindowAttributes attributes{};
            XSync(host->GetDisplay(), False);
            auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
            EXPECT_EQ(0, XGetWindowAttributes(host->GetDisplay(), popup, &attributes)) << "the menu is gone";
            XSync(host->GetDisplay(), False);
            XSetErrorHandler(previous);
            EXPECT_EQ(GrabSuccess, XGrabPointer(host->GetDisplay(), host->GetWindow(), False, ButtonPressMask,
                                                GrabModeAsync, GrabModeAsync, None, None, CurrentTime));
            XUngrabPointer(host->GetDisplay(), CurrentTime);
            EXPECT_TRUE(calls.empty());
        } else {
            host->Button(Button1, false);
            // The gesture the host was told of ends with the UI.
            ASSERT_EQ(1u, calls.size());
            EXPECT_TRUE(calls[0].kind == HostCall::kTouch && !calls[0].grabbed &&
                        calls[0].port == MorlentDelay::kRightDelay);
        }
    }
}

TEST_F(Lv2UiHostile, AParentDestroyedUnderTheEditorMakesIdleSayItClosed)
{
    ASSERT_TRUE(Instantiate());
    EXPECT_EQ(0, Idle());
    host->DestroyWindow();
    ASSERT_TRUE(IdleUntil([&] { return Idle() != 0; }));
    // Values keep arriving until the host cleans up; nothing is drawn into the window that is gone.
    SendControl(MorlentDelay::kLeftDelay, 0.2f);
    EXPECT_NE(0, Idle());
    Cleanup();
}

} // namespace
