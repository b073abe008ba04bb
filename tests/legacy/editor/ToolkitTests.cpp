// The first-generation toolkit's window procedure: binding, refusals and the answers it gives.

#include "tests/legacy/editor/LegacyEditorFixture.h"

#include "legacy/controls/Window.h"

namespace {

using namespace LegacyEditorTest;
using WindowToolkit::Window;

constexpr const char kProbeClass[] = "LegacyToolkitProbe";

struct Log {
    int deleted = 0;
    int lastHandler = 0;
    int unknownMessages = 0;
    WindowToolkit::ValueControl* control = nullptr;
    float value = 0.0f;
};

// A window that answers as told and reports what reached it.
class Probe : public Window {
public:
    Probe(Log& log, int ncCreate, int create, int handled) : log(log), ncCreate(ncCreate), create(create), handled(handled) {}
    ~Probe() override { ++log.deleted; }
    int OnNcCreate(CREATESTRUCTA*) override { return ncCreate; }
    int OnCreate(CREATESTRUCTA*) override { return create; }
    int OnEraseBackground(WPARAM) override { return Note(WM_ERASEBKGND); }
    int OnCommand(WPARAM, LPARAM) override { return Note(WM_COMMAND); }
    int OnClose() override { return Note(WM_CLOSE); }
    int OnKeyDown(WPARAM, int, int) override { return Note(WM_KEYDOWN); }
    int OnMouseWheel(int, int, int, int) override { return Note(WM_MOUSEWHEEL); }
    void OnControlValueChanged(WindowToolkit::ValueControl* control, float value) override
    {
        log.control = control;
        log.value = value;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_APP)
            ++log.unknownMessages;
        return Window::WindowProc(message, wParam, lParam);
    }

private:
    int Note(int message)
    {
        log.lastHandler = message;
        return handled;
    }
    Log& log;
    int ncCreate;
    int create;
    int handled;
};

class ToolkitWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WindowToolkit::RegisterToolkitWindowClass(0, 0, 0, Instance(), nullptr, nullptr, nullptr, nullptr, kProbeClass,
                                                  nullptr);
    }
    HWND Make(Probe* probe, const char* className = kProbeClass)
    {
        return WindowToolkit::CreateToolkitWindow(probe, className, 0, 0, 10, 10, SecondHost(), nullptr, Instance());
    }
    Log log;
};

TEST_F(ToolkitWindow, BindsOnCreationAndDeletesTheObjectWithTheWindow)
{
    auto* probe = new Probe(log, 1, 0, 1);
    HWND window = Make(probe);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(probe, GetPropA(window, WindowToolkit::kObjectProperty));
    EXPECT_EQ(window, probe->GetHandle());
    DestroyWindow(window);
    EXPECT_EQ(1, log.deleted);
}

TEST_F(ToolkitWindow, ARefusedWindowOrAnUnknownClassLeavesNoObjectBehind)
{
    EXPECT_EQ(nullptr, Make(new Probe(log, 0, 0, 1))); // refused on WM_NCCREATE
    EXPECT_EQ(1, log.deleted);
    EXPECT_EQ(nullptr, Make(new Probe(log, 1, -1, 1))); // refused on WM_CREATE
    EXPECT_EQ(2, log.deleted);
    EXPECT_EQ(nullptr, Make(new Probe(log, 1, 0, 1), "NoSuchToolkitClass"));
    EXPECT_EQ(3, log.deleted);
}

TEST_F(ToolkitWindow, HandledMessagesAnswerAsDesignedAndTheRestGetTheDefault)
{
    auto* probe = new Probe(log, 1, 0, 1);
    HWND window = Make(probe);
    ASSERT_NE(nullptr, window);
    // Handled: 1 for erase, draw-item and command, 0 otherwise.
    EXPECT_EQ(1, SendMessageA(window, WM_ERASEBKGND, 0, 0));
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, 0, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_KEYDOWN, 'A', 0));
    // A handled WM_CLOSE does not reach the default, which would destroy the window.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(WM_CLOSE, log.lastHandler);

    // The private messages carry the control and the value's bits.
    auto* marker = reinterpret_cast<WindowToolkit::ValueControl*>(probe);
    EXPECT_EQ(0, SendMessageA(window, WindowToolkit::WM_VC_VALUE_CHANGED, reinterpret_cast<WPARAM>(marker),
                              WindowToolkit::FloatToLParam(0.725f)));
    EXPECT_EQ(marker, log.control);
    EXPECT_EQ(0.725f, log.value);
    // Messages outside the table reach the object's own procedure.
    SendMessageA(window, WindowToolkit::WM_VIEW_UPDATE_PARAMETER, 0, 0);
    EXPECT_EQ(1, log.unknownMessages);
    DestroyWindow(window);
    EXPECT_EQ(1, log.deleted);
}

TEST_F(ToolkitWindow, AnUnhandledCloseFallsThroughToTheDefault)
{
    HWND window = Make(new Probe(log, 1, 0, 0));
    ASSERT_NE(nullptr, window);
    SendMessageA(window, WM_CLOSE, 0, 0); // the default destroys the window
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(1, log.deleted);
}

} // namespace
