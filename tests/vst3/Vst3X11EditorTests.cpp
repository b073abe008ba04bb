// The Linux editor through the plug-in view, as a host on Linux opens it: in a host window of the
// test's own on a private X server, with a run loop of the host's that the view finds on its
// frame and that alone gives the editor time, driven by real input.

#include "description/EffectDescription.h"
#include "vst3/Vst3Effect.h"
#include "vst3/Vst3Interface.h"
#include "tests/support/DrawingLibraries.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/vst3/Vst3TestHost.h"
// Last: Xlib's macros (None, Status, Bool) would rewrite the names above.
#include "tests/support/X11HostWindow.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Vst3;
using namespace Vst3Test;
using MorlentVst3::Vst3Effect;

namespace {

const ::testing::Environment* const kDisplay =
    ::testing::AddGlobalTestEnvironment(new TestSupport::VirtualDisplay);
const ::testing::Environment* const kLibraries =
    ::testing::AddGlobalTestEnvironment(new TestSupport::DrawingLibraries);

constexpr std::chrono::milliseconds kPatience{5000};

// The host's frame around the view, with or without a run loop, keeping what the view asked of
// it. The run loop turns as a host's does: it waits for a registered descriptor or the next
// timer, then calls whoever is due.
class HostFrame final : public IPlugFrame, public IRunLoop {
public:
    struct Watch {
        IEventHandler* handler;
        FileDescriptor fd;
    };
    struct Timer {
        ITimerHandler* handler;
        TimerInterval interval;
        std::chrono::steady_clock::time_point due;
    };

    explicit HostFrame(bool offersRunLoop) : offersRunLoop(offersRunLoop) {}

    tresult VST3_API queryInterface(const TUID iid, void** object) override
    {
        if (object == nullptr || iid == nullptr)
            return kInvalidArgument;
        *object = nullptr;
        if (kIRunLoopIid.Matches(iid)) {
            ++runLoopAsks;
            if (!offersRunLoop)
                return kNoInterface;
            *object = static_cast<IRunLoop*>(this);
        } else if (kFUnknownIid.Matches(iid) || kIPlugFrameIid.Matches(iid)) {
            *object = static_cast<IPlugFrame*>(this);
        } else {
            return kNoInterface;
        }
        addRef();
        return kResultOk;
    }
    uint32 VST3_API addRef() override { return static_cast<uint32>(++references); }
    uint32 VST3_API release() override { return static_cast<uint32>(--references); }
    tresult VST3_API resizeView(IPlugView*, ViewRect*) override
    {
        ++resizeAsks;
        return kResultFalse;
    }

    tresult VST3_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) override
    {
        if (refusesRegistration || handler == nullptr || fd < 0)
            return kResultFalse;
        watched.push_back({handler, fd});
        return kResultOk;
    }
    tresult VST3_API unregisterEventHandler(IEventHandler* handler) override
    {
        const auto before = watched.size();
        watched.erase(std::remove_if(watched.begin(), watched.end(),
                                     [&](const Watch& watch) { return watch.handler == handler; }),
                      watched.end());
        return watched.size() < before ? kResultOk : kInvalidArgument;
    }
    tresult VST3_API registerTimer(ITimerHandler* handler, TimerInterval milliseconds) override
    {
        if (refusesRegistration || handler == nullptr || milliseconds == 0)
            return kResultFalse;
        timers.push_back({handler, milliseconds, std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)});
        return kResultOk;
    }
    tresult VST3_API unregisterTimer(ITimerHandler* handler) override
    {
        const auto before = timers.size();
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const Timer& timer) { return timer.handler == handler; }),
                     timers.end());
        return timers.size() < before ? kResultOk : kInvalidArgument;
    }

    // One turn: waits until a watched descriptor is readable or the next timer is due, then calls
    // the handlers of what is ready.
    void Turn()
    {
        const auto now = std::chrono::steady_clock::now();
        auto wait = std::chrono::milliseconds(100);
        for (const Timer& timer : timers)
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(timer.due - now));
        std::vector<pollfd> waiting;
        for (const Watch& watch : watched)
            waiting.push_back({watch.fd, POLLIN, 0});
        poll(waiting.data(), waiting.size(), static_cast<int>(std::max(wait.count(), std::int64_t{0})));
        const std::vector<Watch> watches = watched;
        for (size_t i = 0; i < waiting.size(); ++i)
            if ((waiting[i].revents & POLLIN) != 0) {
                ++descriptorCalls;
                watches[i].handler->onFDIsSet(watches[i].fd);
            }
        const auto later = std::chrono::steady_clock::now();
        for (Timer& timer : timers)
            if (later >= timer.due) {
                timer.due = later + std::chrono::milliseconds(timer.interval);
                ++timerCalls;
                timer.handler->onTimer();
            }
    }
    bool TurnUntil(const std::function<bool()>& done)
    {
        return TestSupport::Await([&] { Turn(); }, done, kPatience);
    }

    const bool offersRunLoop;
    bool refusesRegistration = false;
    int references = 0; // beyond the host's own
    int runLoopAsks = 0;
    int resizeAsks = 0;
    int descriptorCalls = 0;
    int timerCalls = 0;
    std::vector<Watch> watched;
    std::vector<Timer> timers;
};

struct Spot {
    int x;
    int y;
};
// The centre of a knob in the host window (the editor sits at its top-left; knobs are 32 × 32).
Spot KnobCentre(int parameter)
{
    return Spot{MorlentDelay::kControlPositions[parameter].x + 16, MorlentDelay::kControlPositions[parameter].y + 16};
}

class Vst3X11Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<TestSupport::X11HostWindow>();
        ASSERT_TRUE(window->IsOpen());
        effect = new Vst3Effect;
        controller = effect;
        ASSERT_EQ(controller->initialize(nullptr), kResultOk);
        ASSERT_EQ(controller->setComponentHandler(&handler), kResultOk);
        view = controller->createView(kEditorViewName);
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override
    {
        if (view != nullptr) {
            view->removed();
            view->setFrame(nullptr);
            view->release();
        }
        controller->terminate();
        controller->release();
        window.reset();
        EXPECT_EQ(loop.references, 0) << "every reference the view took on the run loop it gave back";
    }

    void* Parent() const { return reinterpret_cast<void*>(window->Handle()); }
    // Attached with the run loop, and the editor's window once the server has mapped it.
    Window Attach()
    {
        EXPECT_EQ(view->setFrame(&loop), kResultOk);
        EXPECT_EQ(view->attached(Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
        return window->AwaitMappedChild();
    }
    // The editor's face, drawn in the time the run loop gave it.
    bool Painted() { return window->HoldsAPaintedChild(MorlentDelay::kEditorWidth, MorlentDelay::kEditorHeight); }
    size_t Count(const std::string& prefix) const
    {
        return static_cast<size_t>(std::count_if(handler.calls.begin(), handler.calls.end(),
                                                 [&](const std::string& call) { return call.rfind(prefix, 0) == 0; }));
    }

    std::unique_ptr<TestSupport::X11HostWindow> window;
    Vst3Effect* effect = nullptr;
    IEditController* controller = nullptr;
    IPlugView* view = nullptr;
    RecordingHandler handler;
    HostFrame loop{true};
};

} // namespace

TEST_F(Vst3X11Editor, OffersX11EmbeddingOnlyAtItsOneSize)
{
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported("NSView"), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
    EXPECT_EQ(view->setFrame(&loop), kResultOk);
    EXPECT_EQ(view->attached(Parent(), kPlatformTypeHWND), kInvalidArgument);
    EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kInvalidArgument);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(loop.watched.empty());

    // Fixed in size, open or not: other sizes are refused, our own is the answer to any ask.
    ASSERT_NE(Attach(), 0u);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, MorlentDelay::kEditorWidth);
    EXPECT_EQ(size.bottom - size.top, MorlentDelay::kEditorHeight);
    EXPECT_EQ(view->canResize(), kResultFalse);
    ViewRect bigger{0, 0, 800, 600};
    EXPECT_EQ(view->onSize(&bigger), kResultFalse);
    ViewRect same{10, 20, 10 + MorlentDelay::kEditorWidth, 20 + MorlentDelay::kEditorHeight};
    EXPECT_EQ(view->onSize(&same), kResultOk);
    EXPECT_EQ(view->onSize(nullptr), kInvalidArgument);
    ASSERT_EQ(view->checkSizeConstraint(&bigger), kResultOk);
    EXPECT_EQ(bigger.right - bigger.left, MorlentDelay::kEditorWidth);
    EXPECT_EQ(bigger.bottom - bigger.top, MorlentDelay::kEditorHeight);
    XWindowAttributes attributes{};
    ASSERT_TRUE(window->Attributes(window->Children().at(0), attributes));
    EXPECT_EQ(attributes.width, MorlentDelay::kEditorWidth);
    EXPECT_EQ(attributes.height, MorlentDelay::kEditorHeight);
    EXPECT_EQ(loop.resizeAsks, 0);
}

TEST_F(Vst3X11Editor, AttachedWithoutAFrameOrARunLoopOrWithARunLoopThatRefusesIsRefusedAndLeavesNothing)
{
    // No frame at all.
    EXPECT_EQ(view->attached(Parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_EQ(view->removed(), kResultFalse) << "nothing was attached";

    // A frame without a run loop.
    HostFrame bare(false);
    ASSERT_EQ(view->setFrame(&bare), kResultOk);
    EXPECT_EQ(view->attached(Parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_GT(bare.runLoopAsks, 0);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_EQ(bare.references, 0);

    // A run loop that takes neither the descriptor nor the timer: whatever was registered goes.
    HostFrame refusing(true);
    refusing.refusesRegistration = true;
    ASSERT_EQ(view->setFrame(&refusing), kResultOk);
    EXPECT_EQ(view->attached(Parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(refusing.watched.empty());
    EXPECT_TRUE(refusing.timers.empty());
    EXPECT_EQ(refusing.references, 0);

    // A run loop, but a parent window that does not exist: nothing opens, nothing is registered.
    ASSERT_EQ(view->setFrame(&loop), kResultOk);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(uintptr_t{0x7FFFFF0}), kPlatformTypeX11EmbedWindowID),
              kResultFalse);
    EXPECT_TRUE(loop.watched.empty());
    EXPECT_TRUE(loop.timers.empty());
    EXPECT_EQ(loop.references, 0);

    // And a real parent after all that: the view opens.
    EXPECT_NE(Attach(), 0u);
    EXPECT_EQ(window->Children().size(), 1u);
}

TEST_F(Vst3X11Editor, AttachedRegistersItsConnectionAndATimerThatAloneDrawItAndRemovedUnregistersBoth)
{
    const Window shown = Attach();
    ASSERT_NE(shown, 0u);
    EXPECT_EQ(window->Children(), std::vector<Window>{shown});
    ASSERT_EQ(loop.watched.size(), 1u);
    EXPECT_GE(loop.watched[0].fd, 0);
    ASSERT_EQ(loop.timers.size(), 1u);
    EXPECT_EQ(loop.timers[0].interval, 20u);
    EXPECT_EQ(loop.references, 1) << "the view holds the run loop while it is attached";

    ASSERT_TRUE(loop.TurnUntil([&] { return Painted(); })) << "the run loop's calls never drew the face";

    // Attached again without a removed: still one window, one descriptor and one timer.
    ASSERT_NE(Attach(), 0u);
    EXPECT_EQ(window->Children().size(), 1u);
    EXPECT_EQ(loop.watched.size(), 1u);
    EXPECT_EQ(loop.timers.size(), 1u);

    ASSERT_EQ(view->removed(), kResultOk);
    EXPECT_TRUE(loop.watched.empty());
    EXPECT_TRUE(loop.timers.empty());
    EXPECT_TRUE(window->Children().empty());
    EXPECT_EQ(loop.references, 0);
    EXPECT_EQ(view->removed(), kResultFalse);
}

TEST_F(Vst3X11Editor, ADragPumpedOnlyByTheRunLoopIsOneEditFromPressToRelease)
{
    ASSERT_EQ(controller->setParamNormalized(MorlentDelay::kFeedbackLevel, 0.5), kResultOk);
    ASSERT_NE(Attach(), 0u);
    ASSERT_TRUE(loop.TurnUntil([&] { return Painted(); }));

    const Spot knob = KnobCentre(MorlentDelay::kFeedbackLevel);
    window->MoveTo(knob.x, knob.y);
    window->Button(Button1, true);
    for (int step = 1; step <= 3; ++step)
        window->MoveTo(knob.x, knob.y - 10 * step);
    // The input waits on the editor's connection: nobody but the run loop hands it on.
    pollfd waiting{loop.watched.at(0).fd, POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, static_cast<int>(kPatience.count())), 1);
    EXPECT_TRUE(handler.calls.empty());
    // The next turn finds the descriptor readable and hands it to the view's event handler.
    const int descriptorCalls = loop.descriptorCalls;
    loop.Turn();
    EXPECT_EQ(loop.descriptorCalls, descriptorCalls + 1);

    ASSERT_TRUE(loop.TurnUntil([&] { return Count("perform") >= 3; }));
    const std::string id = std::to_string(MorlentDelay::kFeedbackLevel);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"begin " + id, "perform " + id, "perform " + id,
                                                       "perform " + id}))
        << "still dragging: the edit stays open";
    ASSERT_EQ(handler.values.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(handler.values[i], 0.6 + 0.1 * static_cast<double>(i), 1e-5) << i;

    window->Button(Button1, false);
    ASSERT_TRUE(loop.TurnUntil([&] { return Count("end") > 0; }));
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"begin " + id, "perform " + id, "perform " + id,
                                                       "perform " + id, "end " + id}));
    EXPECT_NEAR(controller->getParamNormalized(MorlentDelay::kFeedbackLevel), 0.8, 1e-5);
}

TEST_F(Vst3X11Editor, RemovedInTheMiddleOfADragEndsItsEdit)
{
    ASSERT_NE(Attach(), 0u);
    const Spot knob = KnobCentre(MorlentDelay::kWetDryMix);
    window->MoveTo(knob.x, knob.y);
    window->Button(Button1, true);
    window->MoveTo(knob.x, knob.y - 5);
    ASSERT_TRUE(loop.TurnUntil([&] { return Count("perform") > 0; }));
    ASSERT_EQ(view->removed(), kResultOk);
    window->Button(Button1, false);
    const std::string id = std::to_string(MorlentDelay::kWetDryMix);
    ASSERT_FALSE(handler.calls.empty());
    EXPECT_EQ(handler.calls.front(), "begin " + id);
    EXPECT_EQ(handler.calls.back(), "end " + id);
    EXPECT_EQ(Count("end"), 1u);
}

TEST_F(Vst3X11Editor, TerminateWithTheViewAttachedClosesTheWindowAndEmptiesTheRunLoop)
{
    ASSERT_NE(Attach(), 0u);
    ASSERT_EQ(controller->terminate(), kResultOk);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(loop.watched.empty());
    EXPECT_TRUE(loop.timers.empty());
    EXPECT_EQ(loop.references, 0);
    // The host's late calls on the view change nothing and break nothing.
    EXPECT_EQ(view->attached(Parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->removed(), kResultFalse);
    EXPECT_TRUE(window->Children().empty());
    EXPECT_TRUE(loop.watched.empty());
}

// A run loop may keep its own references to the handlers it was given and let them go later
// than the view: they keep the view, so the last one frees it.
TEST_F(Vst3X11Editor, AHandlerTheRunLoopStillHoldsKeepsTheViewUntilItsLastRelease)
{
    ASSERT_NE(Attach(), 0u);
    ASSERT_EQ(loop.watched.size(), 1u);
    IEventHandler* held = loop.watched[0].handler;
    EXPECT_GT(held->addRef(), 1u) << "the handler's reference is the view's";
    EXPECT_EQ(view->removed(), kResultOk);
    view->setFrame(nullptr);
    EXPECT_GT(view->release(), 0u) << "the run loop's reference still holds the view";
    view = nullptr;
    EXPECT_EQ(held->release(), 0u);
}
