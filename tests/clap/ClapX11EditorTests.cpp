// The Linux editor through the gui extension, as a CLAP host on Linux opens it: embedded in a
// host window of the test's own on a private X server, given time only by the host's reactor
// (posix-fd-support and timer-support, turned by the test), driven by real input, its edits
// reaching the host as gestures in the output events of a flush.

#include "clap/ClapEffect.h"
#include "description/EffectDescription.h"
#include "framework/DisplayUnits.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/support/DrawingLibraries.h"
#include "tests/support/VirtualDisplay.h"
// Last: Xlib's macros (None, Status, Bool) would rewrite the names above.
#include "tests/support/X11HostWindow.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

extern "C" const Clap::PluginEntry clap_entry;

namespace {

using namespace ClapTest;

const ::testing::Environment* const kDisplay =
    ::testing::AddGlobalTestEnvironment(new TestSupport::VirtualDisplay);
const ::testing::Environment* const kLibraries =
    ::testing::AddGlobalTestEnvironment(new TestSupport::DrawingLibraries);

constexpr std::chrono::milliseconds kPatience{5000};

template <typename Extension> const Extension* Ext(const Clap::Plugin* plugin, const char* id)
{
    return static_cast<const Extension*>(plugin->getExtension(plugin, id));
}

struct Spot {
    int x;
    int y;
};
// The centre of a knob in the host window (the editor sits at its top-left; knobs are 32 × 32).
Spot KnobCentre(int parameter)
{
    return Spot{MorlentDelay::kControlPositions[parameter].x + 16, MorlentDelay::kControlPositions[parameter].y + 16};
}

// An output event as the test keeps it: its type, parameter and value (for value events).
struct Told {
    uint16_t type;
    Clap::Id id;
    double value;
};

class ClapX11Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<TestSupport::X11HostWindow>();
        ASSERT_TRUE(window->IsOpen());
        ASSERT_TRUE(clap_entry.init("/test/MorlentDelay.clap"));
        factory = static_cast<const Clap::PluginFactory*>(clap_entry.getFactory(Clap::kPluginFactoryId));
        ASSERT_NE(factory, nullptr);
        host.offersFds = host.offersTimers = true;
    }
    void TearDown() override
    {
        Destroy();
        clap_entry.deinit();
        EXPECT_EQ(host.wrongThreadCalls, 0);
        window.reset();
    }

    // A plug-in made for the host as it is configured now: it looks at the host's extensions in init.
    void Make()
    {
        Destroy();
        plugin = factory->createPlugin(factory, &host.host, MorlentClap::EffectId());
        ASSERT_NE(plugin, nullptr);
        ASSERT_TRUE(plugin->init(plugin));
        gui = Ext<Clap::PluginGui>(plugin, Clap::kExtGui);
        params = Ext<Clap::PluginParams>(plugin, Clap::kExtParams);
        ASSERT_NE(gui, nullptr);
        ASSERT_NE(params, nullptr);
    }
    void Destroy()
    {
        if (plugin != nullptr)
            plugin->destroy(plugin);
        plugin = nullptr;
    }
    bool SetParent(unsigned long id)
    {
        Clap::Window parent{};
        parent.api = Clap::kWindowApiX11;
        parent.x11 = id;
        return gui->setParent(plugin, &parent);
    }
    // create, set_parent and show as hosts call them, and the editor's window once the server
    // has mapped it.
    Window Open()
    {
        EXPECT_TRUE(gui->create(plugin, Clap::kWindowApiX11, false));
        EXPECT_TRUE(SetParent(window->GetWindow()));
        EXPECT_TRUE(gui->show(plugin));
        return window->AwaitMappedChild();
    }
    bool TurnUntil(const std::function<bool()>& done)
    {
        return TestSupport::Await([&] { host.Turn(plugin); }, done, kPatience);
    }
    // The editor's face, drawn in the time the reactor gave it.
    bool Painted() { return window->HoldsAPaintedChild(MorlentDelay::kEditorWidth, MorlentDelay::kEditorHeight); }
    // A flush outside processing, as the host makes when asked; what the plug-in told it.
    std::vector<Told> Flush()
    {
        EventList in, out;
        params->flush(plugin, &in.in, &out.out);
        std::vector<Told> told;
        for (uint32_t i = 0; i < out.Size(); ++i) {
            const uint16_t type = out.At(i)->type;
            if (type == Clap::kEventParamValue) {
                EXPECT_NE(out.At(i)->flags & Clap::kEventIsLive, 0u) << "the user's own edit is live";
                told.push_back({type, out.As<Clap::ParamValueEvent>(i).paramId, out.As<Clap::ParamValueEvent>(i).value});
            } else {
                told.push_back({type, out.As<Clap::ParamGestureEvent>(i).paramId, 0.0});
            }
        }
        return told;
    }
    // Turns the reactor, flushing whenever the plug-in has asked since it had asked flushed
    // times, until the told events end a gesture.
    std::vector<Told> TurnAndFlushUntilAGestureEnds(int flushed)
    {
        std::vector<Told> told;
        TurnUntil([&] {
            if (host.flushRequests > flushed) {
                flushed = host.flushRequests;
                for (const Told& one : Flush())
                    told.push_back(one);
            }
            return !told.empty() && told.back().type == Clap::kEventParamGestureEnd;
        });
        return told;
    }

    RecordingHost host;
    std::unique_ptr<TestSupport::X11HostWindow> window;
    const Clap::PluginFactory* factory = nullptr;
    const Clap::Plugin* plugin = nullptr;
    const Clap::PluginGui* gui = nullptr;
    const Clap::PluginParams* params = nullptr;
};

} // namespace

TEST_F(ClapX11Editor, GuiOffersEmbeddedX11WindowsOnlyAtOneSize)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    EXPECT_TRUE(gui->isApiSupported(plugin, Clap::kWindowApiX11, false));
    EXPECT_FALSE(gui->isApiSupported(plugin, Clap::kWindowApiX11, true));
    EXPECT_FALSE(gui->isApiSupported(plugin, Clap::kWindowApiWin32, false));
    EXPECT_FALSE(gui->isApiSupported(plugin, "cocoa", false));
    EXPECT_FALSE(gui->isApiSupported(plugin, nullptr, false));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->getPreferredApi(plugin, &api, &floating));
    EXPECT_STREQ(api, Clap::kWindowApiX11);
    EXPECT_FALSE(floating);
    EXPECT_FALSE(gui->getPreferredApi(plugin, nullptr, &floating));

    EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiWin32, false));
    EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiX11, true));
    ASSERT_TRUE(gui->create(plugin, Clap::kWindowApiX11, false));
    EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiX11, false)) << "one view at a time";
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->getSize(plugin, &width, &height));
    EXPECT_EQ(width, static_cast<uint32_t>(MorlentDelay::kEditorWidth));
    EXPECT_EQ(height, static_cast<uint32_t>(MorlentDelay::kEditorHeight));
    EXPECT_FALSE(gui->canResize(plugin));
    EXPECT_FALSE(gui->setScale(plugin, 2.0));
    EXPECT_FALSE(gui->setSize(plugin, 800, 600));
    EXPECT_TRUE(gui->setSize(plugin, width, height));
    uint32_t askedWidth = 800, askedHeight = 600;
    ASSERT_TRUE(gui->adjustSize(plugin, &askedWidth, &askedHeight));
    EXPECT_EQ(askedWidth, width);
    EXPECT_EQ(askedHeight, height);

    // Parents that are not X11 windows, or no window at all, open nothing.
    Clap::Window other{};
    other.api = Clap::kWindowApiWin32;
    other.win32 = reinterpret_cast<void*>(window->Handle());
    EXPECT_FALSE(gui->setParent(plugin, &other));
    EXPECT_FALSE(gui->setParent(plugin, nullptr));
    EXPECT_FALSE(SetParent(0));
    EXPECT_FALSE(SetParent(0x7FFFFF0)) << "no such window";
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(host.fds.empty());
    EXPECT_TRUE(host.timers.empty());
    gui->destroy(plugin);
}

TEST_F(ClapX11Editor, CreateIsRefusedWhereTheHostOffersNoDescriptorOrNoTimerSupport)
{
    struct Case {
        bool fds, timers;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "descriptors " << c.fds << ", timers " << c.timers);
        host.offersFds = c.fds;
        host.offersTimers = c.timers;
        ASSERT_NO_FATAL_FAILURE(Make());
        EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiX11, false));
        EXPECT_FALSE(SetParent(window->GetWindow()));
        EXPECT_TRUE(window->Children().empty());
    }
    // A descriptor support without a way to unregister is no support.
    host.offersFds = host.offersTimers = true;
    host.fdSupport.unregisterFd = nullptr;
    ASSERT_NO_FATAL_FAILURE(Make());
    EXPECT_FALSE(gui->create(plugin, Clap::kWindowApiX11, false));
}

TEST_F(ClapX11Editor, SetParentRegistersTheConnectionAndATimerThatAloneDrawItAndDestroyUnregistersThem)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    const Window shown = Open();
    ASSERT_NE(shown, 0u);
    EXPECT_EQ(window->Children(), std::vector<Window>{shown});
    XWindowAttributes attributes{};
    ASSERT_TRUE(window->Attributes(shown, attributes));
    EXPECT_EQ(attributes.width, MorlentDelay::kEditorWidth);
    EXPECT_EQ(attributes.height, MorlentDelay::kEditorHeight);
    ASSERT_EQ(host.fds.size(), 1u);
    EXPECT_GE(host.fds[0].fd, 0);
    EXPECT_NE(host.fds[0].flags & Clap::kPosixFdRead, 0u);
    ASSERT_EQ(host.timers.size(), 1u);
    EXPECT_EQ(host.timers[0].period, 20u);

    ASSERT_TRUE(TurnUntil([&] { return Painted(); })) << "the reactor's calls never drew the face";
    // Calls for what the plug-in never registered do nothing.
    Ext<Clap::PluginPosixFdSupport>(plugin, Clap::kExtPosixFdSupport)->onFd(plugin, host.fds[0].fd + 100, Clap::kPosixFdRead);
    Ext<Clap::PluginTimerSupport>(plugin, Clap::kExtTimerSupport)->onTimer(plugin, host.timers[0].id + 100);

    // A second set_parent: still one window, one descriptor, one timer.
    ASSERT_TRUE(SetParent(window->GetWindow()));
    ASSERT_NE(window->AwaitMappedChild(), 0u);
    EXPECT_EQ(window->Children().size(), 1u);
    EXPECT_EQ(host.fds.size(), 1u);
    EXPECT_EQ(host.timers.size(), 1u);

    gui->destroy(plugin);
    EXPECT_TRUE(host.fds.empty());
    EXPECT_TRUE(host.timers.empty());
    EXPECT_TRUE(window->Children().empty());
    // A reactor's late calls after the view went are harmless.
    Ext<Clap::PluginPosixFdSupport>(plugin, Clap::kExtPosixFdSupport)->onFd(plugin, 3, Clap::kPosixFdRead);
    Ext<Clap::PluginTimerSupport>(plugin, Clap::kExtTimerSupport)->onTimer(plugin, 7);
}

TEST_F(ClapX11Editor, AHostWhoseReactorTakesNothingGetsNoEditorAndKeepsNoRegistration)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    host.refusesRegistration = true;
    ASSERT_TRUE(gui->create(plugin, Clap::kWindowApiX11, false));
    EXPECT_FALSE(SetParent(window->GetWindow()));
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(host.fds.empty());
    EXPECT_TRUE(host.timers.empty());
    host.refusesRegistration = false;
    EXPECT_TRUE(SetParent(window->GetWindow()));
    EXPECT_NE(window->AwaitMappedChild(), 0u);
}

TEST_F(ClapX11Editor, ADragPumpedThroughOnFdAndOnTimerIsOneGestureInTheFlushesTheHostIsAskedFor)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    const Clap::Id id = MorlentDelay::kFeedbackLevel;
    {
        EventList in, out;
        in.AddValue(0, id, VstToolkit::ExactDisplayValue(MorlentDelay::kFeedbackLevel, 0.5f));
        params->flush(plugin, &in.in, &out.out);
    }
    ASSERT_NE(Open(), 0u);
    ASSERT_TRUE(TurnUntil([&] { return Painted(); }));
    EXPECT_TRUE(Flush().empty());

    const Spot knob = KnobCentre(MorlentDelay::kFeedbackLevel);
    window->MoveTo(knob.x, knob.y);
    window->Button(Button1, true);
    for (int step = 1; step <= 3; ++step)
        window->MoveTo(knob.x, knob.y - 10 * step);
    window->Button(Button1, false);
    // The input waits on the editor's connection: nobody but the host's reactor hands it on.
    pollfd waiting{host.fds.at(0).fd, POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, static_cast<int>(kPatience.count())), 1);
    const int requests = host.flushRequests;
    EXPECT_TRUE(Flush().empty());
    // The next turn finds the descriptor readable and hands it to the plug-in's on_fd.
    const int fdCalls = host.fdCalls;
    host.Turn(plugin);
    EXPECT_EQ(host.fdCalls, fdCalls + 1);

    const std::vector<Told> told = TurnAndFlushUntilAGestureEnds(requests);
    EXPECT_GT(host.flushRequests, requests) << "the host was asked to flush";
    const auto value = [](float normalised) {
        return static_cast<double>(VstToolkit::ExactDisplayValue(MorlentDelay::kFeedbackLevel, normalised));
    };
    const std::vector<Told> expected = {{Clap::kEventParamGestureBegin, id, 0.0},
                                        {Clap::kEventParamValue, id, value(0.6f)},
                                        {Clap::kEventParamValue, id, value(0.7f)},
                                        {Clap::kEventParamValue, id, value(0.8f)},
                                        {Clap::kEventParamGestureEnd, id, 0.0}};
    ASSERT_EQ(told.size(), expected.size());
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].type, expected[i].type) << i;
        EXPECT_EQ(told[i].id, expected[i].id) << i;
        EXPECT_NEAR(told[i].value, expected[i].value, 1e-3) << i;
    }
    double now = -1.0;
    ASSERT_TRUE(params->getValue(plugin, id, &now));
    EXPECT_NEAR(now, value(0.8f), 1e-3);
    EXPECT_TRUE(Flush().empty()) << "told once";
}

TEST_F(ClapX11Editor, DestroyingTheGuiInTheMiddleOfADragEndsItsGesture)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    ASSERT_NE(Open(), 0u);
    const Spot knob = KnobCentre(MorlentDelay::kWetDryMix);
    window->MoveTo(knob.x, knob.y);
    window->Button(Button1, true);
    window->MoveTo(knob.x, knob.y - 5);
    const int requests = host.flushRequests;
    ASSERT_TRUE(TurnUntil([&] { return host.flushRequests > requests; }));
    gui->destroy(plugin);
    window->Button(Button1, false);
    const std::vector<Told> told = Flush();
    ASSERT_GE(told.size(), 3u);
    EXPECT_EQ(told.front().type, Clap::kEventParamGestureBegin);
    EXPECT_EQ(told.back().type, Clap::kEventParamGestureEnd);
    EXPECT_EQ(told.back().id, static_cast<Clap::Id>(MorlentDelay::kWetDryMix));
}

TEST_F(ClapX11Editor, DestroyingThePluginWithItsEditorOpenClosesItAndUnregistersEverything)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    ASSERT_NE(Open(), 0u);
    ASSERT_TRUE(TurnUntil([&] { return Painted(); }));
    Destroy();
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(host.fds.empty());
    EXPECT_TRUE(host.timers.empty());
}
