// The Windows module's editor through the gui extension, as a CLAP host opens it: embedded in a
// host window, fixed in size, driven with real mouse messages, MIDI Learn through the
// right-click menu, and still open when the host destroys the plug-in.

#include "clap/ClapInterface.h"
#include "description/EffectDescription.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/HostWindowSuite.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

using namespace ClapTest;

namespace {

constexpr char kHostClassName[] = "MorlentClapEditorHost";

class ClapEditorTest : public HostWindowSuite {
protected:
    static void SetUpTestSuite() { StartSuite(MORLENT_CLAP_MODULE_PATH, kHostClassName, "CLAP editor host"); }

    void SetUp() override
    {
        ExpectSuiteStarted();
        if (HasFatalFailure())
            return;
        entry = reinterpret_cast<const Clap::PluginEntry*>(GetProcAddress(module, "clap_entry"));
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->init(MORLENT_CLAP_MODULE_PATH));
        auto* factory = static_cast<const Clap::PluginFactory*>(entry->getFactory(Clap::kPluginFactoryId));
        ASSERT_NE(factory, nullptr);
        plugin = factory->createPlugin(factory, &host.host, factory->getPluginDescriptor(factory, 0)->id);
        ASSERT_NE(plugin, nullptr);
        ASSERT_TRUE(plugin->init(plugin));
        gui = static_cast<const Clap::PluginGui*>(plugin->getExtension(plugin, Clap::kExtGui));
        params = static_cast<const Clap::PluginParams*>(plugin->getExtension(plugin, Clap::kExtParams));
        ASSERT_NE(gui, nullptr);
        ASSERT_NE(params, nullptr);
        TakeForegroundAndParkPointer(window);
    }
    void TearDown() override
    {
        if (plugin != nullptr)
            plugin->destroy(plugin);
        if (entry != nullptr)
            entry->deinit();
    }

    bool Open()
    {
        Clap::Window parent{};
        parent.api = Clap::kWindowApiWin32;
        parent.win32 = window;
        const bool opened = gui->create(plugin, Clap::kWindowApiWin32, false) && gui->setParent(plugin, &parent) &&
                            gui->show(plugin);
        PumpMessagesFor(20);
        return opened;
    }
    double Value(Clap::Id id)
    {
        double value = -1.0;
        EXPECT_TRUE(params->getValue(plugin, id, &value));
        return value;
    }

    RecordingHost host;
    const Clap::PluginEntry* entry = nullptr;
    const Clap::Plugin* plugin = nullptr;
    const Clap::PluginGui* gui = nullptr;
    const Clap::PluginParams* params = nullptr;
};

} // namespace

TEST_F(ClapEditorTest, TheEditorIsEmbeddedWin32AtOneSizeAndOpensInTheHostsWindow)
{
    EXPECT_TRUE(gui->isApiSupported(plugin, Clap::kWindowApiWin32, false));
    EXPECT_FALSE(gui->isApiSupported(plugin, Clap::kWindowApiWin32, true));
    EXPECT_FALSE(gui->isApiSupported(plugin, Clap::kWindowApiX11, false));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->getPreferredApi(plugin, &api, &floating));
    EXPECT_STREQ(api, Clap::kWindowApiWin32);
    EXPECT_FALSE(floating);
    EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiWin32, true));
    EXPECT_FALSE(gui->create(plugin, "cocoa", false));

    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(gui->create(plugin, Clap::kWindowApiWin32, false));
        EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiWin32, false)); // one at a time
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(gui->getSize(plugin, &width, &height));
        EXPECT_EQ(width, static_cast<uint32_t>(MorlentDelay::kEditorWidth));
        EXPECT_EQ(height, static_cast<uint32_t>(MorlentDelay::kEditorHeight));
        EXPECT_FALSE(gui->canResize(plugin));
        EXPECT_FALSE(gui->setSize(plugin, 800, 600));
        EXPECT_TRUE(gui->setSize(plugin, width, height));
        uint32_t askedWidth = 800, askedHeight = 600;
        ASSERT_TRUE(gui->adjustSize(plugin, &askedWidth, &askedHeight));
        EXPECT_EQ(askedWidth, width);
        Clap::Window parent{};
        parent.api = Clap::kWindowApiX11;
        parent.win32 = window;
        EXPECT_FALSE(gui->setParent(plugin, &parent));
        EXPECT_FALSE(gui->setParent(plugin, nullptr));
        parent.api = Clap::kWindowApiWin32;
        ASSERT_TRUE(gui->setParent(plugin, &parent));
        ASSERT_TRUE(gui->show(plugin));
        PumpMessagesFor(10);
        ASSERT_NE(ViewWindow(), nullptr);
        EXPECT_EQ(GetWindow(ViewWindow(), GW_HWNDNEXT), nullptr);
        RECT client{};
        GetClientRect(ViewWindow(), &client);
        EXPECT_EQ(client.right, MorlentDelay::kEditorWidth);
        if (round == 0)
            GuiDriver::SaveScreenshot(ViewWindow(), MORLENT_SCREENSHOT_DIR "/clap-editor.png");
        EXPECT_TRUE(gui->hide(plugin));
        EXPECT_FALSE(IsWindowVisible(ViewWindow()));
        gui->destroy(plugin);
        EXPECT_EQ(ViewWindow(), nullptr);
    }
    gui->destroy(plugin); // once more changes nothing
    uint32_t width = 0, height = 0;
    EXPECT_FALSE(gui->getSize(plugin, &width, &height));
}

TEST_F(ClapEditorTest, AKnobDragReachesTheHostAsOneGestureThroughFlush)
{
    ASSERT_TRUE(Open());
    const double start = Value(MorlentDelay::kWetDryMix);
    HWND knob = ControlWindow(MorlentDelay::kWetDryMix);
    ASSERT_NE(knob, nullptr);
    ASSERT_NE(knob, ViewWindow());
    Send(knob, WM_LBUTTONDOWN, MK_LBUTTON, 16, 16);
    Send(knob, WM_MOUSEMOVE, MK_LBUTTON, 16, 6);
    Send(knob, WM_MOUSEMOVE, MK_LBUTTON, 16, 1);
    PumpMessagesFor(60); // the knob posts its changes to the view
    EXPECT_GT(host.flushRequests, 0); // nothing processes: the host is asked to flush
    EventList in, out;
    params->flush(plugin, &in.in, &out.out);
    // Still dragging: the gesture is open.
    ASSERT_GE(out.Size(), 2u);
    EXPECT_EQ(out.At(0)->type, Clap::kEventParamGestureBegin);
    EXPECT_NE(out.At(out.Size() - 1)->type, Clap::kEventParamGestureEnd);
    Send(knob, WM_LBUTTONUP, 0, 16, 1);
    for (int wait = 0; wait < 50; ++wait) {
        PumpMessagesFor(20);
        params->flush(plugin, &in.in, &out.out);
        if (out.At(out.Size() - 1)->type == Clap::kEventParamGestureEnd)
            break;
    }
    ASSERT_EQ(out.At(out.Size() - 1)->type, Clap::kEventParamGestureEnd);
    for (uint32_t i = 1; i + 1 < out.Size(); ++i) {
        EXPECT_EQ(out.At(i)->type, Clap::kEventParamValue);
        EXPECT_EQ(out.As<Clap::ParamValueEvent>(i).paramId, static_cast<Clap::Id>(MorlentDelay::kWetDryMix));
    }
    const double moved = Value(MorlentDelay::kWetDryMix);
    EXPECT_NEAR(moved, start + 30.0, 1e-3); // 0.15 of the range, in percent
    EXPECT_EQ(out.As<Clap::ParamValueEvent>(out.Size() - 2).value, moved);
    GuiDriver::SaveScreenshot(ViewWindow(), MORLENT_SCREENSHOT_DIR "/clap-editor-after-drag.png");
    gui->destroy(plugin);
}

TEST_F(ClapEditorTest, DestroyingThePluginWithTheEditorOpenClosesTheWindowFirst)
{
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, 256));
    ASSERT_TRUE(Open());
    ASSERT_NE(ViewWindow(), nullptr);
    plugin->destroy(plugin);
    plugin = nullptr;
    EXPECT_EQ(ViewWindow(), nullptr);
}

// Right-click, "MIDI Learn", move controller 7 on the MIDI input: the controller binds the knob,
// its next move plays the knob and reaches the host at its frame, and the state keeps the binding.
TEST_F(ClapEditorTest, MidiLearnThroughTheMenuBindsAControllerOfTheMidiInput)
{
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, 256));
    ASSERT_TRUE(Open());
    HWND knob = ControlWindow(MorlentDelay::kLeftDelay);
    ASSERT_NE(knob, nullptr);
    Send(knob, WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
    GuiDriver::PostKeys(ViewWindow(), {VK_DOWN, VK_RETURN}); // behind the right click: the menu reads them
    PumpMessagesFor(100);
    ASSERT_EQ(GuiDriver::Current().lastMenu, std::vector<std::string>{"MIDI Learn"});
    GuiDriver::SaveScreenshot(ViewWindow(), MORLENT_SCREENSHOT_DIR "/clap-editor-learning.png");

    // The host's audio thread delivers controller 7 twice.
    auto block = [&](uint8_t value, EventList& moved) {
        StereoBlock audio(256);
        audio.in.AddMidi(10, 0xB0, 7, value);
        std::thread thread([&] {
            plugin->startProcessing(plugin);
            EXPECT_EQ(plugin->process(plugin, &audio.process), Clap::kProcessContinue);
            plugin->stopProcessing(plugin);
        });
        thread.join();
        for (uint32_t i = 0; i < audio.out.Size(); ++i)
            moved.Push(*audio.out.At(i));
    };
    EventList learned, moved;
    block(100, learned); // learned: binds, moves nothing
    PumpMessagesFor(50);
    block(127, moved);
    EXPECT_EQ(Value(MorlentDelay::kLeftDelay), 1.0);
    ASSERT_EQ(moved.Size(), 1u);
    EXPECT_EQ(moved.As<Clap::ParamValueEvent>(0).paramId, static_cast<Clap::Id>(MorlentDelay::kLeftDelay));
    EXPECT_EQ(moved.At(0)->time, 10u);
    plugin->onMainThread(plugin);
    EXPECT_EQ(host.dirtyMarks, 1);

    auto* state = static_cast<const Clap::PluginState*>(plugin->getExtension(plugin, Clap::kExtState));
    TestStream saved;
    const Clap::OutputStream out = saved.Output();
    ASSERT_TRUE(state->save(plugin, &out));
    int bindings[MorlentDelay::kParameterCount];
    for (int& binding : bindings)
        binding = -1;
    bindings[MorlentDelay::kLeftDelay] = 7;
    EXPECT_EQ(saved.bytes, TestSupport::BankWithBindings(saved.bytes, bindings));
    gui->destroy(plugin);
}
