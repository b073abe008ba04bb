// The Windows bundle's editor through the plug-in view, as a host opens it: in a host window,
// driven with real mouse messages, opened and closed again, and still open when the host ends
// the effect.

#include "description/EffectDescription.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/HostWindowSuite.h"
#include "vst3/Vst3Interface.h"
#include "tests/vst3/Vst3TestHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

using namespace Vst3;
using namespace Vst3Test;

namespace {

constexpr char kHostClassName[] = "MorlentVst3EditorHost";

class Vst3EditorTest : public HostWindowSuite {
protected:
    static void SetUpTestSuite() { StartSuite(MORLENT_VST3_MODULE_PATH, kHostClassName, "VST 3 editor host"); }

    void SetUp() override
    {
        ExpectSuiteStarted();
        if (HasFatalFailure())
            return;
        using GetFactory = IPluginFactory*(VST3_API*)();
        auto entry = reinterpret_cast<GetFactory>(reinterpret_cast<void*>(GetProcAddress(module, "GetPluginFactory")));
        ASSERT_NE(entry, nullptr);
        IPluginFactory* factory = entry();
        PClassInfo info{};
        ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
        void* object = nullptr;
        ASSERT_EQ(factory->createInstance(info.cid, kIEditControllerIid.bytes, &object), kResultOk);
        controller = static_cast<IEditController*>(object);
        ASSERT_EQ(controller->initialize(nullptr), kResultOk);
        ASSERT_EQ(controller->setComponentHandler(&handler), kResultOk);
        TakeForegroundAndParkPointer(window);
    }
    void TearDown() override
    {
        if (controller != nullptr) {
            controller->terminate();
            controller->release();
        }
    }

    IPlugView* OpenView()
    {
        IPlugView* view = controller->createView(kEditorViewName);
        EXPECT_NE(view, nullptr);
        if (view != nullptr) {
            EXPECT_EQ(view->attached(window, kPlatformTypeHWND), kResultOk);
        }
        PumpMessagesFor(20);
        return view;
    }

    IEditController* controller = nullptr;
    RecordingHandler handler;
};

} // namespace

TEST_F(Vst3EditorTest, ViewIsFixedInSizeAndOpensInTheHostsWindow)
{
    IPlugView* view = controller->createView(kEditorViewName);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
    EXPECT_EQ(controller->createView("other"), nullptr);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, MorlentDelay::kEditorWidth);
    EXPECT_EQ(size.bottom - size.top, MorlentDelay::kEditorHeight);
    EXPECT_EQ(view->canResize(), kResultFalse);
    ViewRect bigger{0, 0, 800, 600};
    EXPECT_EQ(view->onSize(&bigger), kResultFalse);
    ASSERT_EQ(view->checkSizeConstraint(&bigger), kResultOk);
    EXPECT_EQ(bigger.right, MorlentDelay::kEditorWidth);
    EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kInvalidArgument);
    EXPECT_EQ(view->attached(window, "NSView"), kInvalidArgument);

    // Opened and closed again and again, always one view window in the host's.
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(view->attached(window, kPlatformTypeHWND), kResultOk);
        PumpMessagesFor(10);
        ASSERT_NE(ViewWindow(), nullptr);
        EXPECT_EQ(GetWindow(ViewWindow(), GW_HWNDNEXT), nullptr);
        RECT client{};
        GetClientRect(ViewWindow(), &client);
        EXPECT_EQ(client.right, MorlentDelay::kEditorWidth);
        if (round == 0)
            GuiDriver::SaveScreenshot(ViewWindow(), MORLENT_SCREENSHOT_DIR "/vst3-editor.png");
        ASSERT_EQ(view->removed(), kResultOk);
        EXPECT_EQ(ViewWindow(), nullptr);
    }
    EXPECT_EQ(view->removed(), kResultFalse);
    view->release();
}

TEST_F(Vst3EditorTest, AKnobDragReachesTheHostAsOneEditBetweenBeginAndEnd)
{
    IPlugView* view = OpenView();
    ASSERT_NE(view, nullptr);
    const double start = controller->getParamNormalized(MorlentDelay::kRightDelay);
    HWND knob = ControlWindow(MorlentDelay::kRightDelay);
    ASSERT_NE(knob, nullptr);
    ASSERT_NE(knob, ViewWindow());
    Send(knob, WM_LBUTTONDOWN, MK_LBUTTON, 16, 16);
    Send(knob, WM_MOUSEMOVE, MK_LBUTTON, 16, 6);
    Send(knob, WM_MOUSEMOVE, MK_LBUTTON, 16, 1);
    PumpMessagesFor(60); // the knob posts its changes to the view
    // Still dragging: the edit is open.
    ASSERT_FALSE(handler.calls.empty());
    EXPECT_NE(handler.calls.back().rfind("end", 0), 0u);
    Send(knob, WM_LBUTTONUP, 0, 16, 1);
    for (int wait = 0; wait < 50 && (handler.calls.empty() || handler.calls.back().rfind("end", 0) != 0); ++wait)
        PumpMessagesFor(20);

    const std::string id = std::to_string(MorlentDelay::kRightDelay);
    const std::vector<std::string> expected = {"begin " + id, "perform " + id, "perform " + id, "end " + id};
    EXPECT_EQ(handler.calls, expected);
    const double moved = controller->getParamNormalized(MorlentDelay::kRightDelay);
    EXPECT_NEAR(moved, start + 0.15, 1e-5);
    EXPECT_NEAR(handler.lastValue, moved, 1e-6);
    GuiDriver::SaveScreenshot(ViewWindow(), MORLENT_SCREENSHOT_DIR "/vst3-editor-after-drag.png");
    view->removed();
    view->release();
}

TEST_F(Vst3EditorTest, EndingTheEffectWithTheViewOpenClosesTheWindowFirst)
{
    IPlugView* view = OpenView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(ViewWindow(), nullptr);
    ASSERT_EQ(controller->terminate(), kResultOk);
    EXPECT_EQ(ViewWindow(), nullptr);
    // The host's late calls on the view change nothing and break nothing.
    EXPECT_EQ(view->attached(window, kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->removed(), kResultFalse);
    view->release();
}

// Right-click, "MIDI Learn", move a controller: the host's mapped controller binds the knob, the
// next move of it plays the knob and reaches the host, and the state keeps the binding.
TEST_F(Vst3EditorTest, MidiLearnBindsAControllerTheHostMapsOntoAParameter)
{
    void* object = nullptr;
    ASSERT_EQ(controller->queryInterface(kIAudioProcessorIid.bytes, &object), kResultOk);
    IAudioProcessor* processor = static_cast<IAudioProcessor*>(object);
    ASSERT_EQ(controller->queryInterface(kIComponentIid.bytes, &object), kResultOk);
    IComponent* component = static_cast<IComponent*>(object);
    ASSERT_EQ(controller->queryInterface(kIMidiMappingIid.bytes, &object), kResultOk);
    IMidiMapping* mapping = static_cast<IMidiMapping*>(object);
    ProcessSetup setup{kRealtime, kSample32, 256, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(component->setActive(1), kResultOk);
    ASSERT_EQ(processor->setProcessing(1), kResultOk);
    ParamID controllerSeven = 0;
    ASSERT_EQ(mapping->getMidiControllerAssignment(0, 0, 7, controllerSeven), kResultTrue);

    IPlugView* view = OpenView();
    ASSERT_NE(view, nullptr);
    HWND knob = ControlWindow(MorlentDelay::kLeftDelay);
    ASSERT_NE(knob, nullptr);
    Send(knob, WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
    GuiDriver::PostKeys(ViewWindow(), {VK_DOWN, VK_RETURN}); // behind the right click: the menu reads them
    PumpMessagesFor(100);
    ASSERT_EQ(GuiDriver::Current().lastMenu, std::vector<std::string>{"MIDI Learn"});
    GuiDriver::SaveScreenshot(ViewWindow(), MORLENT_SCREENSHOT_DIR "/vst3-editor-learning.png");

    // The host's audio thread delivers controller 7 twice, as the parameter it maps it onto.
    auto block = [&](double value) {
        StereoBlock audio(256);
        ParameterChanges in, out;
        in.Add(controllerSeven, 10, value);
        audio.data.inputParameterChanges = &in;
        audio.data.outputParameterChanges = &out;
        std::thread thread([&] { EXPECT_EQ(processor->process(audio.data), kResultOk); });
        thread.join();
        return out;
    };
    block(100.0 / 127.0); // learned: binds, moves nothing
    PumpMessagesFor(50);
    const ParameterChanges moved = block(1.0);
    EXPECT_EQ(controller->getParamNormalized(MorlentDelay::kLeftDelay), 1.0);
    ASSERT_EQ(moved.count, 1);
    EXPECT_EQ(moved.queues[0].id, static_cast<ParamID>(MorlentDelay::kLeftDelay));
    ASSERT_EQ(moved.queues[0].count, 1);
    EXPECT_EQ(moved.queues[0].offsets[0], 10);

    MemoryStream state;
    ASSERT_EQ(component->getState(&state), kResultOk);
    int bindings[MorlentDelay::kParameterCount];
    for (int& binding : bindings)
        binding = -1;
    bindings[MorlentDelay::kLeftDelay] = 7;
    EXPECT_EQ(state.data, TestSupport::BankWithBindings(state.data, bindings));

    view->removed();
    view->release();
    component->setActive(0);
    mapping->release();
    component->release();
    processor->release();
}
