// The Linux module's X11 editor as VST 2 hosts drive it: the real module loaded with dlopen, the
// editor opened in a host window of the test's own on a private X server and driven by real
// input, pumped by a thread of its own while the host never idles and by the host's effEditIdle
// calls once it does.

#include "description/EffectDescription.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/LoadedModuleTest.h"
#include "tests/support/StandInHost.h"
#include "tests/support/DrawingLibraries.h"
#include "tests/support/VirtualDisplay.h"
// Last: Xlib's macros (None, Status, Bool) would rewrite the names above.
#include "tests/support/X11HostWindow.h"

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace TestSupport;

const ::testing::Environment* const kDisplay = ::testing::AddGlobalTestEnvironment(new VirtualDisplay);
const ::testing::Environment* const kLibraries =
    ::testing::AddGlobalTestEnvironment(new DrawingLibraries);

constexpr std::chrono::milliseconds kPatience{5000};
// A host's idle timer: effEditIdle this often, sooner after a call of the plug-in's.
constexpr std::chrono::milliseconds kIdleInterval{10};

// The threads of this process, as the kernel lists them.
int ThreadCount()
{
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            count += entry->d_name[0] != '.' ? 1 : 0;
        closedir(tasks);
    }
    return count;
}

// Waits for a thread that was asked to end to be gone from the kernel's list: it leaves the list
// a moment after whoever joined it returned, and nothing tells when.
bool AwaitThreadCount(int count)
{
    return Await([] { std::this_thread::yield(); }, [&] { return ThreadCount() == count; }, kPatience);
}

// The centre of a knob in the host window (the editor sits at its top-left; knobs are 32 × 32).
struct Spot {
    int x;
    int y;
};
Spot KnobCentre(int parameter)
{
    return Spot{MorlentDelay::kControlPositions[parameter].x + 16, MorlentDelay::kControlPositions[parameter].y + 16};
}

std::vector<HostCall> AutomationOf(const std::vector<HostCall>& calls, VstInt32 parameter)
{
    std::vector<HostCall> found;
    for (const HostCall& call : calls)
        if (call.opcode == audioMasterAutomate && call.index == parameter)
            found.push_back(call);
    return found;
}

class Vst2Editor : public LoadedModuleTest {
protected:
    void SetUp() override
    {
        StandInHost::Reset();
        window = std::make_unique<X11HostWindow>();
        ASSERT_TRUE(window->IsOpen());
        // A sanitizer starts a thread of its own when the program makes its first: made here,
        // before the count.
        std::thread([] {}).join();
        threadsBefore = ThreadCount();
        ASSERT_NO_FATAL_FAILURE(OpenInstance());
        // DISPLAY names the private server: the instance offers its editor.
        ASSERT_EQ(effFlagsHasEditor, effect->flags & effFlagsHasEditor);
    }
    void TearDown() override
    {
        LoadedModuleTest::TearDown();
        window.reset();
    }

    void* Parent() const { return reinterpret_cast<void*>(window->Handle()); }
    // effEditOpen in the host window, and the editor's window once the server has mapped it.
    Window OpenEditor()
    {
        EXPECT_EQ(1, Dispatch(effEditOpen, 0, 0, Parent()));
        const Window editor = window->AwaitMappedChild();
        EXPECT_NE(0u, editor) << "no editor window showed in the host's";
        return editor;
    }
    // Presses on a knob, moves up by each step's pixels in turn (down for negative ones) and
    // releases, all as the user's pointer.
    void Drag(int parameter, const std::vector<int>& steps)
    {
        const Spot knob = KnobCentre(parameter);
        window->MoveTo(knob.x, knob.y);
        window->Button(Button1, true);
        int y = knob.y;
        for (int step : steps) {
            y -= step;
            window->MoveTo(knob.x, y);
        }
        window->Button(Button1, false);
    }
    // Waits, without idling, until the parameter's automation has count calls, and answers them
    // all. Meanwhile the host's thread goes on as a host's does while the editor's thread pumps:
    // it plays another parameter's automation and reads the texts it shows.
    std::vector<HostCall> AwaitAutomation(VstInt32 parameter, size_t count)
    {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        for (int step = 0; std::chrono::steady_clock::now() < until; ++step) {
            SetParameter(MorlentDelay::kWetDryMix, static_cast<float>(step % 100) / 100.0f);
            Text(effGetParamDisplay, parameter);
            if (StandInHost::Instance().AwaitCalls(
                    [&](const std::vector<HostCall>& calls) { return AutomationOf(calls, parameter).size() >= count; },
                    std::chrono::milliseconds(1)))
                break;
        }
        return AutomationOf(StandInHost::Instance().CallsOf(audioMasterAutomate), parameter);
    }
    // What a host's idle timer does, until done answers true.
    bool IdleUntil(const std::function<bool()>& done)
    {
        StandInHost& host = StandInHost::Instance();
        return Await(
            [&] {
                const long before = host.Count(audioMasterAutomate);
                Dispatch(effEditIdle);
                host.AwaitCalls([&](const std::vector<HostCall>&) { return host.Count(audioMasterAutomate) > before; },
                                kIdleInterval);
            },
            done, kPatience);
    }
    // The host's first idle calls: once the editor's own thread has gone, every event is the
    // host's to pump.
    void HandOverToTheHostsIdleCalls()
    {
        ASSERT_TRUE(IdleUntil([&] { return ThreadCount() == threadsBefore; })) << "the editor's thread never ended";
    }

    std::unique_ptr<X11HostWindow> window;
    int threadsBefore = 0;
};

TEST_F(Vst2Editor, OpensAsAChildOfTheHostWindowAtTheSizeItReportsBeforeAndAfterAndOpensAgainInPlace)
{
    ERect* rect = nullptr;
    ASSERT_EQ(1, Dispatch(effEditGetRect, 0, 0, &rect));
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(0, rect->top);
    EXPECT_EQ(0, rect->left);
    EXPECT_EQ(MorlentDelay::kEditorHeight, rect->bottom);
    EXPECT_EQ(MorlentDelay::kEditorWidth, rect->right);

    const Window first = OpenEditor();
    ASSERT_NE(0u, first);
    EXPECT_EQ(std::vector<Window>{first}, window->Children());
    XWindowAttributes attributes{};
    ASSERT_TRUE(window->Attributes(first, attributes));
    EXPECT_EQ(0, attributes.x);
    EXPECT_EQ(0, attributes.y);
    EXPECT_EQ(MorlentDelay::kEditorWidth, attributes.width);
    EXPECT_EQ(MorlentDelay::kEditorHeight, attributes.height);
    rect = nullptr;
    ASSERT_EQ(1, Dispatch(effEditGetRect, 0, 0, &rect));
    EXPECT_EQ(MorlentDelay::kEditorHeight, rect->bottom);
    EXPECT_EQ(MorlentDelay::kEditorWidth, rect->right);
    EXPECT_EQ(threadsBefore + 1, ThreadCount()) << "a thread of the editor's own pumps until the host idles";

    // Opened again while open: the first view goes (the server may give its id to the new one),
    // one editor shows, one thread pumps it.
    const Window second = OpenEditor();
    ASSERT_NE(0u, second);
    EXPECT_EQ(std::vector<Window>{second}, window->Children());
    EXPECT_TRUE(AwaitThreadCount(threadsBefore + 1));

    // Closed twice: the window and the thread go at the first, the second changes nothing.
    Dispatch(effEditClose);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(AwaitThreadCount(threadsBefore));
    Dispatch(effEditClose);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_NE(0u, OpenEditor());
    EXPECT_TRUE(StandInHost::Instance().CallsOf(audioMasterAutomate).empty());
}

TEST_F(Vst2Editor, RefusedOpensLeaveNoWindowNorThreadAndTheCloseAfterThemIsHarmless)
{
    EXPECT_EQ(0, Dispatch(effEditOpen, 0, 0, nullptr));
    Dispatch(effEditClose);
    EXPECT_EQ(0, Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x7FFFFF0}))); // no such window
    Dispatch(effEditClose);
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", ":9999", 1); // no server there
    EXPECT_EQ(0, Dispatch(effEditOpen, 0, 0, Parent()));
    setenv("DISPLAY", display.c_str(), 1);
    Dispatch(effEditClose);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_EQ(threadsBefore, ThreadCount());
    // Nothing of the refusals stays in the way of a real open.
    EXPECT_NE(0u, OpenEditor());
}

TEST_F(Vst2Editor, WithoutIdleCallsItsOwnThreadCarriesADragToTheHostAndAfterTheFirstIdleTheHostsThreadDoes)
{
    SetParameter(MorlentDelay::kFeedbackLevel, 0.5f);
    ASSERT_NE(0u, OpenEditor());

    // The host never idles: the editor's own thread hears the drag and tells the host.
    Drag(MorlentDelay::kFeedbackLevel, {10, 10, 10});
    const std::vector<HostCall> up = AwaitAutomation(MorlentDelay::kFeedbackLevel, 3);
    ASSERT_EQ(3u, up.size());
    const float rising[] = {0.6f, 0.7f, 0.8f};
    for (size_t i = 0; i < up.size(); ++i) {
        EXPECT_NEAR(rising[i], up[i].opt, 1e-5f) << i;
        EXPECT_EQ(effect, up[i].effect);
        EXPECT_NE(std::this_thread::get_id(), up[i].thread) << "the host never idled: its thread pumps nothing";
    }
    EXPECT_NEAR(0.8f, GetParameter(MorlentDelay::kFeedbackLevel), 1e-5f);

    // The host starts idling: its first call hands over, and the editor's thread goes.
    ASSERT_NO_FATAL_FAILURE(HandOverToTheHostsIdleCalls());
    Drag(MorlentDelay::kFeedbackLevel, {-10, -10, -10});
    const auto automation = [] {
        return AutomationOf(StandInHost::Instance().CallsOf(audioMasterAutomate), MorlentDelay::kFeedbackLevel);
    };
    ASSERT_TRUE(IdleUntil([&] { return automation().size() >= 6; }));
    const std::vector<HostCall> all = automation();
    ASSERT_EQ(6u, all.size());
    const float falling[] = {0.7f, 0.6f, 0.5f};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(falling[i], all[3 + i].opt, 1e-5f) << i;
        EXPECT_EQ(std::this_thread::get_id(), all[3 + i].thread) << "after the hand-over the host's idle calls pump";
    }
}

TEST_F(Vst2Editor, RightClickMidiLearnThenAControllerFromTheAudioThreadBindsTheKnob)
{
    Start(44100.0f, 64);
    ASSERT_NE(0u, OpenEditor());
    ASSERT_NO_FATAL_FAILURE(HandOverToTheHostsIdleCalls());

    const Spot knob = KnobCentre(MorlentDelay::kLeftDelay);
    window->Click(knob.x, knob.y, Button3);
    ASSERT_TRUE(IdleUntil([&] { return window->ShownPopup() != 0; })) << "no menu";
    // The menu opens at the knob's top-left; its first item is "MIDI Learn".
    const MorlentDelay::Point at = MorlentDelay::kControlPositions[MorlentDelay::kLeftDelay];
    window->MoveTo(at.x + 30, at.y + 10);
    window->Click(at.x + 30, at.y + 10);
    // Whatever the editor makes of the click is done when the idle call that closed the menu returns.
    ASSERT_TRUE(IdleUntil([&] { return window->ShownPopup() == 0; })) << "the menu stayed";

    const std::vector<uint8_t> before = Chunk(false);
    ControlChangeOnAudioThread(effect, 21, 64); // learned: binds, moves nothing
    ControlChangeOnAudioThread(effect, 21, 127);
    EXPECT_FLOAT_EQ(1.0f, GetParameter(MorlentDelay::kLeftDelay));
    const std::vector<HostCall> told = AutomationOf(StandInHost::Instance().CallsOf(audioMasterAutomate),
                                                    MorlentDelay::kLeftDelay);
    ASSERT_EQ(1u, told.size());
    EXPECT_FLOAT_EQ(1.0f, told[0].opt);
    EXPECT_NE(std::this_thread::get_id(), told[0].thread) << "told from the audio thread, at its frame";
    int controllers[MorlentDelay::kParameterCount];
    for (int& controller : controllers)
        controller = -1;
    controllers[MorlentDelay::kLeftDelay] = 21;
    const std::vector<uint8_t> bank = Chunk(false);
    EXPECT_EQ(BankWithBindings(bank, controllers), bank) << "the binding is in the bank";
    EXPECT_NE(before, bank);
}

TEST_F(Vst2Editor, ClosingTheInstanceWithItsEditorOpenTakesTheWindowAndTheThread)
{
    ASSERT_NE(0u, OpenEditor());
    EXPECT_EQ(1, Dispatch(effClose));
    effect = nullptr;
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(AwaitThreadCount(threadsBefore));

    // Closed at the host's first idle call, while the editor's thread is still on its way out.
    ASSERT_NO_FATAL_FAILURE(OpenInstance());
    ASSERT_NE(0u, OpenEditor());
    Dispatch(effEditIdle);
    EXPECT_EQ(1, Dispatch(effClose));
    effect = nullptr;
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(AwaitThreadCount(threadsBefore));
}

TEST_F(Vst2Editor, AHostThatDestroysItsWindowUnderTheOpenEditorStillIdlesAutomatesClosesAndOpensAgain)
{
    for (const bool hostIdles : {false, true}) {
        SCOPED_TRACE(hostIdles ? "the host idles" : "the editor's own thread pumps");
        ASSERT_NE(0u, OpenEditor());
        if (hostIdles) {
            ASSERT_NO_FATAL_FAILURE(HandOverToTheHostsIdleCalls());
        }
        window->DestroyWindow();
        // The host goes on as hosts do: values, idle calls, then the close.
        for (int step = 0; step <= 10; ++step) {
            SetParameter(MorlentDelay::kLeftDelay, step / 10.0f);
            if (hostIdles)
                Dispatch(effEditIdle);
        }
        Dispatch(effEditClose);
        EXPECT_TRUE(AwaitThreadCount(threadsBefore));
        window = std::make_unique<X11HostWindow>();
        ASSERT_NE(0u, OpenEditor());
        EXPECT_EQ(1u, window->Children().size());
        Dispatch(effEditClose);
    }
}

} // namespace
