// The window base and its procedure on real windows: binding, results, ownership and the
// module-wide classes and messages.

#include "tests/editor/win32/ToolkitFixture.h"

#include "editor/win32/Knob.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

using namespace ToolkitTest;
using WindowsToolkit::Window;

// What happened to probe windows, in order.
std::vector<std::string> journal;

// A window that notes its handlers and its deletion; the handler of one message may throw.
class Probe : public Window {
public:
    Probe(const char* name, int refuse = 0) : Window(1, 2, 30, 40), name(name), refuse(refuse) {}
    ~Probe() override { journal.push_back(std::string("delete ") + name); }
    int OnCreate(CREATESTRUCTA* create) override
    {
        created = create;
        sawHandleOnCreate = GetHandle() != nullptr;
        journal.push_back(std::string("create ") + name);
        ThrowOn(WM_CREATE);
        return refuse ? 0 : 1;
    }
    int OnNcDestroy() override
    {
        journal.push_back(std::string("ncdestroy ") + name);
        ThrowOn(WM_NCDESTROY);
        return 0;
    }
    int OnPaint() override
    {
        ++paints;
        ThrowOn(WM_PAINT);
        return paintResult;
    }
    int OnEraseBackground(HDC) override
    {
        ThrowOn(WM_ERASEBKGND);
        return eraseResult;
    }
    int OnLButtonDown(UINT keys, POINT point) override
    {
        ThrowOn(WM_LBUTTONDOWN);
        lastKeys = keys;
        lastPoint = point;
        return 1;
    }
    int OnMouseWheel(UINT keys, short delta, POINT point) override
    {
        lastKeys = keys;
        lastDelta = delta;
        lastPoint = point;
        return 1;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        ThrowOn(message);
        if (message == WM_APP + 7)
            return 0x5A5A;
        if (message == WM_PAINT)
            ++paintsPassedOn;
        return Window::WindowProc(message, wParam, lParam);
    }

    void ThrowOn(UINT message) const
    {
        if (message == throwing)
            throw std::runtime_error("handler failed");
    }

    const char* name;
    int refuse;
    UINT throwing = 0;
    CREATESTRUCTA* created = nullptr;
    bool sawHandleOnCreate = false;
    int paints = 0;
    int paintsPassedOn = 0;
    int paintResult = 1;
    int eraseResult = 1;
    UINT lastKeys = 0;
    short lastDelta = 0;
    POINT lastPoint{};
};

// A knob that notes its deletion.
class CountedKnob : public WindowsToolkit::Knob {
public:
    using Knob::Knob;
    ~CountedKnob() override { journal.push_back("delete knob " + std::to_string(GetParameterIndex())); }
};

class WindowProcedure : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        journal.clear();
    }
    Probe* Create(const char* name, HWND parent, int refuse = 0)
    {
        auto* probe = new Probe(name, refuse);
        return Window::CreateToolkitWindow(probe, WindowsToolkit::kKnobClassName, parent, Instance()) != nullptr
                   ? probe
                   : nullptr;
    }
};

TEST_F(WindowProcedure, BindsTheObjectOnCreateThroughTheObjectProperty)
{
    Probe* probe = Create("a", viewWindow);
    ASSERT_NE(nullptr, probe);
    HWND window = probe->GetHandle();
    EXPECT_TRUE(probe->sawHandleOnCreate);
    EXPECT_EQ(static_cast<void*>(probe), GetPropA(window, "object"));
    EXPECT_EQ(viewWindow, GetParent(window));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE),
              GetWindowLongPtrA(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS));
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, viewWindow, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(1, place.left);
    EXPECT_EQ(2, place.top);
    EXPECT_EQ(30, place.right - place.left);
    EXPECT_EQ(40, place.bottom - place.top);
    EXPECT_EQ(std::vector<std::string>{"create a"}, journal);
}

TEST_F(WindowProcedure, RefusalOnCreateDeletesTheObjectAndFailsTheWindow)
{
    EXPECT_EQ(nullptr, Create("refused", viewWindow, 1));
    EXPECT_EQ((std::vector<std::string>{"create refused", "delete refused"}), journal);
}

TEST_F(WindowProcedure, CreationThatFailsBeforeCreateFreesTheObjectOnce)
{
    auto* probe = new Probe("orphan");
    EXPECT_EQ(nullptr, Window::CreateToolkitWindow(probe, "NoSuchMorlentClass", viewWindow, Instance()));
    EXPECT_EQ(std::vector<std::string>{"delete orphan"}, journal);
}

TEST_F(WindowProcedure, AWindowWithoutObjectLivesOnDefaults)
{
    HWND bare = CreateWindowExA(0, WindowsToolkit::kKnobClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, viewWindow,
                                nullptr, Instance(), nullptr);
    ASSERT_NE(nullptr, bare);
    EXPECT_EQ(nullptr, GetPropA(bare, "object"));
    EXPECT_EQ(0, SendMessageA(bare, WM_APP + 7, 0, 0));
    EXPECT_TRUE(DestroyWindow(bare));
}

TEST_F(WindowProcedure, HandledMessagesAnswerByTheirKindAndUnhandledOnesReachWindowProc)
{
    Probe* probe = Create("a", viewWindow);
    ASSERT_NE(nullptr, probe);
    HWND window = probe->GetHandle();
    HDC dc = GetDC(window);
    EXPECT_EQ(1, SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    probe->eraseResult = 0; // the class brush erases and DefWindowProcA reports it
    EXPECT_NE(0, SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(window, dc);
    EXPECT_EQ(0, Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4));
    EXPECT_EQ(0x5A5A, SendMessageA(window, WM_APP + 7, 0, 0));

    // A paint handler that declines leaves the validation to DefWindowProcA.
    probe->paintResult = 0;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(1, probe->paints);
    EXPECT_EQ(1, probe->paintsPassedOn);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(WindowProcedure, AHandlerThatThrowsGetsTheDefaultAnswerAndTheWindowKeepsWorking)
{
    Probe* probe = Create("a", viewWindow);
    ASSERT_NE(nullptr, probe);
    HWND window = probe->GetHandle();
    probe->throwing = WM_LBUTTONDOWN;
    EXPECT_EQ(0, Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4));
    probe->throwing = WM_APP + 7;
    EXPECT_EQ(0, SendMessageA(window, WM_APP + 7, 0, 0));
    // DefWindowProcA erases with the class brush and says so.
    probe->throwing = WM_ERASEBKGND;
    HDC dc = GetDC(window);
    EXPECT_NE(0, SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(window, dc);
    // A paint handler that throws before BeginPaint must not leave the window to repaint forever.
    probe->throwing = WM_PAINT;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(1, probe->paints);
    EXPECT_EQ(0, probe->paintsPassedOn) << "the object's WindowProc is not asked after its handler threw";
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    probe->throwing = 0;
    EXPECT_EQ(static_cast<void*>(probe), GetPropA(window, "object"));
    EXPECT_EQ(0, Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4));
    EXPECT_EQ(3, probe->lastPoint.x);
    EXPECT_EQ(0x5A5A, SendMessageA(window, WM_APP + 7, 0, 0));
}

TEST_F(WindowProcedure, CreateAndNcDestroyHandlersThatThrowStillFreeTheObjectOnce)
{
    auto* thrower = new Probe("thrower");
    thrower->throwing = WM_CREATE;
    EXPECT_EQ(nullptr,
              Window::CreateToolkitWindow(thrower, WindowsToolkit::kKnobClassName, viewWindow, Instance()));
    EXPECT_EQ((std::vector<std::string>{"create thrower", "delete thrower"}), journal);

    Probe* last = Create("last", viewWindow);
    ASSERT_NE(nullptr, last);
    HWND window = last->GetHandle();
    last->throwing = WM_NCDESTROY;
    journal.clear();
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ((std::vector<std::string>{"ncdestroy last", "delete last"}), journal);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowProcedure, PointsAreSignExtendedAndWheelDeltasSigned)
{
    Probe* probe = Create("a", viewWindow);
    ASSERT_NE(nullptr, probe);
    HWND window = probe->GetHandle();
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, -7, -300);
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON | MK_SHIFT), probe->lastKeys);
    EXPECT_EQ(-7, probe->lastPoint.x);
    EXPECT_EQ(-300, probe->lastPoint.y);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240)), MAKELPARAM(5, 6));
    EXPECT_EQ(-240, probe->lastDelta);
    EXPECT_EQ(static_cast<UINT>(MK_CONTROL), probe->lastKeys);
}

TEST_F(WindowProcedure, FiveClassesShareTheProcedureAndTakeNoDoubleClicks)
{
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    for (const char* name : WindowsToolkit::kWindowClassNames) {
        ASSERT_TRUE(GetClassInfoExA(Instance(), name, &info)) << name;
        EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), info.style) << name;
        EXPECT_EQ(WindowsToolkit::WndProc, info.lpfnWndProc) << name;
        EXPECT_EQ(0, info.cbClsExtra);
        EXPECT_EQ(0, info.cbWndExtra);
        EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), info.hbrBackground) << name;
        EXPECT_EQ(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)), info.hCursor) << name;
        EXPECT_EQ(nullptr, info.hIcon);
    }
}

TEST_F(WindowProcedure, DestroyingTheViewDeletesEveryChildOnceAndTheViewLast)
{
    Probe* outer = Create("view", viewWindow);
    ASSERT_NE(nullptr, outer);
    for (int index = 0; index < 3; ++index) {
        auto* knob = new CountedKnob(background, knobStrip.get(), index, 0.5f, 10 + 40 * index, 10);
        ASSERT_NE(nullptr, Window::CreateToolkitWindow(knob, WindowsToolkit::kKnobClassName, outer->GetHandle(),
                                                      Instance()));
    }
    ASSERT_NE(nullptr, Create("sibling", outer->GetHandle()));
    journal.clear();
    DestroyWindow(outer->GetHandle());
    ASSERT_EQ(7u, journal.size());
    EXPECT_EQ("ncdestroy view", journal[5]) << "the view goes after its children";
    EXPECT_EQ("delete view", journal[6]);
    std::vector<std::string> children(journal.begin(), journal.begin() + 5);
    std::sort(children.begin(), children.end());
    EXPECT_EQ((std::vector<std::string>{"delete knob 0", "delete knob 1", "delete knob 2", "delete sibling",
                                        "ncdestroy sibling"}),
              children);
}

TEST(RegisteredMessages, CarryTheirNamesAndAreDistinct)
{
    using namespace WindowsToolkit;
    const std::pair<UINT, const char*> messages[] = {
        {UWM_PC_VALUE_CHANGED, "UWM_PC_VALUE_CHANGED-{19E51BEB-CF75-46aa-9890-B4178F0367D8}"},
        {UWM_PC_HOVER, "UWM_PC_HOVER-{19E51BEB-CF75-46aa-9890-B4178F0367D8}"},
        {UWM_PC_LEAVE, "UWM_PC_LEAVE-{19E51BEB-CF75-46aa-9890-B4178F0367D8}"},
        {UWM_PC_RIGHT_CLICKED, "UWM_PC_RIGHT_CLICKED-{19E51BEB-CF75-46aa-9890-B4178F0367D8}"},
        {UWM_VIEW_STATUS_TEXT_CHANGED, "UWM_VIEW_STATUS_TEXT_CHANGED-{19E51BEB-CF75-46aa-9890-B4178F0367D8}"},
    };
    for (const auto& [identifier, name] : messages) {
        EXPECT_GE(identifier, 0xC000u) << name;
        EXPECT_EQ(identifier, RegisterWindowMessageA(name)) << name;
    }
    for (size_t i = 0; i < 5; ++i)
        for (size_t j = i + 1; j < 5; ++j)
            EXPECT_NE(messages[i].first, messages[j].first);
}

TEST(WindowClassRegistration, ASecondRegistrationFailsAtTheFirstClass)
{
    // The suite's environment registered them for this executable already.
    EXPECT_FALSE(WindowsToolkit::RegisterWindowClasses(Instance()));
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(Instance(), WindowsToolkit::kStatusControlClassName, &info));
}

} // namespace
