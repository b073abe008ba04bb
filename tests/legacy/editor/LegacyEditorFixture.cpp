#include "tests/legacy/editor/LegacyEditorFixture.h"

#include "description/EffectDescription.h"
#include "legacy/controls/ToolkitClasses.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/HostWindow.h"


namespace LegacyEditorTest {

namespace {

HWND sharedHost = nullptr;
HWND secondHost = nullptr;

class LegacyEditorEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // GDI+ of the test's own, for saving screenshots; each editor starts its own as well.
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
        sharedHost = CreateSharedHostWindow(Instance(), "MorlentLegacyEditorTestHost", "first-generation host");
        ASSERT_NE(nullptr, sharedHost);
        // Beside the first, never over it: both show their pixels on the screen at once.
        secondHost = CreateWindowExA(0, "MorlentLegacyEditorTestHost", "second host", WS_POPUP | WS_VISIBLE, 560, 0,
                                     496, 344, nullptr, nullptr, Instance(), nullptr);
        ASSERT_NE(nullptr, secondHost);
        ASSERT_TRUE(GuiDriver::Start());
    }
    void TearDown() override
    {
        GuiDriver::Stop();
        DestroyWindow(secondHost);
        DestroyWindow(sharedHost);
        Gdiplus::GdiplusShutdown(token);
    }

private:
    ULONG_PTR token = 0;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new LegacyEditorEnvironment);

} // namespace

HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

HWND SecondHost()
{
    return secondHost;
}

Pixels Capture(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(window, &client);
    Pixels pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;
    pixels.values.resize(static_cast<size_t>(pixels.width * pixels.height));
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.values.size(); ++i)
        pixels.values[i] = source[i] & 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

int DifferentPixels(const Pixels& a, const Pixels& b, RECT area)
{
    int different = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            different += a.At(x, y) != b.At(x, y) ? 1 : 0;
    return different;
}

Effect MakeEffect()
{
    Effect made;
    made.model = new VovezEdeduvo::DelayModel(MorlentDelay::kInputCount, MorlentDelay::kOutputCount,
                                              MorlentDelay::kProgramCount);
    made.plugin = new VovezEdeduvo::Vst::Plugin(TestSupport::StandInHost::Callback, MorlentDelay::kEffectName,
                                                MorlentDelay::kVendorName, MorlentDelay::kProductName,
                                                MorlentDelay::kFirstGenerationVendorVersion, MorlentDelay::kUniqueId,
                                                MorlentDelay::kCategory, made.model);
    made.editor = new VovezEdeduvo::Vst::DelayEditor(made.plugin, Instance(), made.model);
    made.plugin->setEditor(made.editor);
    made.record = made.plugin->getAeffect();
    return made;
}

void LegacyEditorFixture::SetUp()
{
    host = sharedHost;
    ASSERT_NE(nullptr, host);
    // Wine's own hover and leave tracking then only reports what a test asks for.
    TakeForegroundAndParkPointer(host);
    TestSupport::StandInHost::Reset();
    GuiDriver::Reset();
    const Effect made = MakeEffect();
    model = made.model;
    plugin = made.plugin;
    editor = made.editor;
    record = made.record;
}

void LegacyEditorFixture::TearDown()
{
    if (record != nullptr)
        Dispatch(effClose);
    if (GetCapture() != nullptr)
        ReleaseCapture();
    Pump();
    EXPECT_EQ(0, ViewWindowCount(host)) << "a view outlived its effect";
}

VstIntPtr LegacyEditorFixture::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr)
{
    return TestSupport::Dispatch(record, opcode, index, value, ptr);
}

void LegacyEditorFixture::Open()
{
    ASSERT_EQ(1, Dispatch(effEditOpen, 0, 0, host));
    ASSERT_NE(nullptr, View());
    Pump();
}

VovezEdeduvo::DelayView* LegacyEditorFixture::View() const
{
    return static_cast<VovezEdeduvo::DelayView*>(editor->GetView());
}

WindowToolkit::ValueControl* LegacyEditorFixture::Control(int parameter) const
{
    return View() != nullptr ? View()->GetControl(parameter) : nullptr;
}

std::string LegacyEditorFixture::StatusText() const
{
    // Found as a host would find it: by its class among the view's children.
    HWND window = FindWindowExA(View()->GetHandle(), nullptr, WindowToolkit::kLabelClassName, nullptr);
    auto* label = static_cast<WindowToolkit::Label*>(GetPropA(window, WindowToolkit::kObjectProperty));
    return label != nullptr ? label->GetText() : "<no label>";
}

std::string LegacyEditorFixture::StatusFor(int parameter) const
{
    char name[64] = {};
    char display[8] = {};
    char label[8] = {};
    model->GetParameterLongName(parameter, name, sizeof name);
    model->GetParameterDisplay(parameter, display, sizeof display);
    model->GetParameterLabel(parameter, label, sizeof label);
    return std::string(name) + ": " + display + " " + label;
}

int LegacyEditorFixture::ViewWindowCount(HWND host)
{
    int count = 0;
    for (HWND child = FindWindowExA(host, nullptr, WindowToolkit::kViewClassName, nullptr); child != nullptr;
         child = FindWindowExA(host, child, WindowToolkit::kViewClassName, nullptr))
        ++count;
    return count;
}

void LegacyEditorFixture::Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT LegacyEditorFixture::Send(HWND window, UINT message, WPARAM keys, int x, int y)
{
    return SendMessageA(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

std::vector<TestSupport::HostCall> LegacyEditorFixture::Automations() const
{
    return TestSupport::StandInHost::Instance().CallsOf(audioMasterAutomate);
}

void LegacyEditorFixture::ControlChangeOnAudioThread(int controllerNumber, int value)
{
    TestSupport::ControlChangeOnAudioThread(record, controllerNumber, value);
}

void LegacyEditorFixture::PostKeys(std::initializer_list<WORD> keys)
{
    GuiDriver::PostKeys(View()->GetHandle(), keys);
}

void LegacyEditorFixture::ClickView(int x, int y, std::initializer_list<WORD> keys)
{
    PostKeys(keys);
    Send(View()->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Pump();
}

void LegacyEditorFixture::RightClick(int parameter, std::initializer_list<WORD> keys)
{
    Send(Control(parameter)->GetHandle(), WM_RBUTTONDOWN, MK_RBUTTON, 4, 4);
    // Behind the right click the control posted to the view, so the menu finds them.
    PostKeys(keys);
    Pump();
}

void LegacyEditorFixture::SaveScreenshot(HWND window, const char* fileName, bool wholeWindow)
{
    GuiDriver::SaveScreenshot(window, std::string(MORLENT_SCREENSHOT_DIR) + "/" + fileName, wholeWindow);
}

} // namespace LegacyEditorTest
