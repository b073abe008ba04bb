#include "tests/editor/win32/EditorFixture.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/HostWindow.h"

#include "editor/win32/StatusControl.h"
#include "editor/win32/WindowClasses.h"
#include "delay/MorlentDelayModel.h"

#include <objidl.h>
#include <gdiplus.h>


namespace EditorTest {

namespace {

constexpr const char* kHostClassName = "MorlentEditorTestHost";

HWND sharedHost = nullptr;

class EditorEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // GDI+ of the test's own, for saving screenshots; each editor starts its own as well.
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
        ASSERT_TRUE(WindowsToolkit::RegisterWindowClasses(Instance()));
        sharedHost = CreateSharedHostWindow(Instance(), kHostClassName, "editor host");
        ASSERT_NE(nullptr, sharedHost);
        ASSERT_TRUE(GuiDriver::Start());
    }
    void TearDown() override
    {
        GuiDriver::Stop();
        DestroyWindow(sharedHost);
        WindowsToolkit::UnregisterWindowClasses(Instance());
        Gdiplus::GdiplusShutdown(token);
    }

private:
    ULONG_PTR token = 0;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new EditorEnvironment);

} // namespace

HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

void EditorFixture::SetUp()
{
    host = sharedHost;
    ASSERT_NE(nullptr, host);
    // Wine's own hover and leave tracking then only reports what a test asks for.
    TakeForegroundAndParkPointer(host);
    RecordingHost::Reset();
    GuiDriver::Reset();
    model = new MorlentDelayModel;
    controller = new VstToolkit::Controller(RecordingHost::Callback, model);
    editor = new DelayEditor(controller, Instance());
    controller->setEditor(editor);
    record = controller->getAeffect();
}

void EditorFixture::TearDown()
{
    if (record != nullptr)
        Dispatch(effClose);
    if (GetCapture() != nullptr)
        ReleaseCapture();
    Pump();
    EXPECT_EQ(0, ViewWindowCount()) << "a view outlived its effect";
}

VstIntPtr EditorFixture::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr)
{
    return TestSupport::Dispatch(record, opcode, index, value, ptr);
}

void EditorFixture::Open()
{
    ASSERT_EQ(1, Dispatch(effEditOpen, 0, 0, host));
    ASSERT_NE(nullptr, View());
    Pump();
}

WindowsToolkit::ParameterControl* EditorFixture::Control(int parameter) const
{
    return View() != nullptr ? View()->GetParameterControl(parameter) : nullptr;
}

std::string EditorFixture::StatusText() const
{
    // The status control is found as a host would find it: by its class among the view's children.
    HWND window = FindWindowExA(View()->GetHandle(), nullptr, WindowsToolkit::kStatusControlClassName, nullptr);
    auto* status = static_cast<WindowsToolkit::StatusControl*>(GetPropA(window, WindowsToolkit::kObjectProperty));
    return status != nullptr ? status->GetText() : "<no status control>";
}

int EditorFixture::ViewWindowCount() const
{
    int count = 0;
    for (HWND child = FindWindowExA(host, nullptr, WindowsToolkit::kViewClassName, nullptr); child != nullptr;
         child = FindWindowExA(host, child, WindowsToolkit::kViewClassName, nullptr))
        ++count;
    return count;
}

void EditorFixture::Pump(DWORD milliseconds)
{
    PumpMessagesFor(milliseconds);
}

LRESULT EditorFixture::Send(HWND window, UINT message, UINT keys, int x, int y)
{
    return SendMessageA(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void EditorFixture::ControlChangeOnAudioThread(int controllerNumber, int value)
{
    TestSupport::ControlChangeOnAudioThread(record, controllerNumber, value);
}

void EditorFixture::PostKeys(std::initializer_list<WORD> keys)
{
    GuiDriver::PostKeys(View()->GetHandle(), keys);
}

std::vector<std::string> EditorFixture::LastMenu()
{
    return GuiDriver::Current().lastMenu;
}

int EditorFixture::MenusOpened()
{
    return GuiDriver::Current().menusOpened;
}

void EditorFixture::WhenDialogShows(std::function<bool(HWND)> step)
{
    GuiDriver::WhenDialogShows(std::move(step));
}

std::string EditorFixture::WindowText(HWND window)
{
    return GuiDriver::WindowText(window);
}

void EditorFixture::SaveScreenshot(HWND window, const char* fileName, bool wholeWindow)
{
    GuiDriver::SaveScreenshot(window, std::string(MORLENT_SCREENSHOT_DIR) + "/" + fileName, wholeWindow);
}

} // namespace EditorTest
