#include "EditorFixture.h"
#include "support/EffectCalls.h"
#include "support/HostWindow.h"

#include "controls/StatusControl.h"
#include "controls/WindowClasses.h"
#include "delay/MorlentDelayModel.h"

#include <objidl.h>
#include <gdiplus.h>

#include <thread>

namespace EditorTest {

namespace {

constexpr const char* kHostClassName = "MorlentEditorTestHost";
// The PNG encoder's class identifier as GDI+ registers it.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr DWORD kTickMilliseconds = 50;
constexpr DWORD kModalPatienceMilliseconds = 5000;

HWND sharedHost = nullptr;
HHOOK menuHook = nullptr;
std::vector<std::string> lastMenu;
int menusOpened = 0;
std::function<bool(HWND)> dialogStep;
DWORD modalSince = 0;
bool modalSeen = false;

LRESULT CALLBACK RecordMenus(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) {
        auto menu = reinterpret_cast<HMENU>(call->wParam);
        lastMenu.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            lastMenu.emplace_back(text);
        }
        ++menusOpened;
    }
    return CallNextHookEx(menuHook, code, wParam, lParam);
}

// The first visible window of this thread with the class name, or null.
HWND FindThreadWindow(const char* className)
{
    struct Search {
        const char* className;
        HWND found;
    } search{className, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, search->className) != 0 || !IsWindowVisible(window))
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs inside every modal loop (menus and boxes dispatch thread timers).
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindThreadWindow("#32770");
    if (dialog != nullptr && dialogStep && dialogStep(dialog))
        dialogStep = nullptr;
    HWND menu = FindThreadWindow("#32768");
    if (dialog == nullptr && menu == nullptr) {
        modalSeen = false;
        return;
    }
    if (!modalSeen) {
        modalSeen = true;
        modalSince = GetTickCount();
    } else if (GetTickCount() - modalSince > kModalPatienceMilliseconds) {
        ADD_FAILURE() << "a modal menu or box was left open";
        EndMenu();
        if (dialog != nullptr)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        modalSeen = false;
    }
}

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
        menuHook = SetWindowsHookExA(WH_CALLWNDPROC, RecordMenus, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, menuHook);
        timer = SetTimer(nullptr, 0, kTickMilliseconds, Tick);
    }
    void TearDown() override
    {
        KillTimer(nullptr, timer);
        UnhookWindowsHookEx(menuHook);
        DestroyWindow(sharedHost);
        WindowsToolkit::UnregisterWindowClasses(Instance());
        Gdiplus::GdiplusShutdown(token);
    }

private:
    ULONG_PTR token = 0;
    UINT_PTR timer = 0;
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
    lastMenu.clear();
    menusOpened = 0;
    dialogStep = nullptr;
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
    std::thread audio([&] {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.midiData[0] = static_cast<char>(0xB0);
        event.midiData[1] = static_cast<char>(controllerNumber);
        event.midiData[2] = static_cast<char>(value);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&event);
        record->dispatcher(record, effProcessEvents, 0, 0, &events, 0.0f);
        float left[64] = {};
        float right[64] = {};
        float* channels[2] = {left, right};
        record->processReplacing(record, channels, channels, 64);
    });
    audio.join();
}

void EditorFixture::PostKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys) {
        PostMessageA(View()->GetHandle(), WM_KEYDOWN, key, 1);
        PostMessageA(View()->GetHandle(), WM_KEYUP, key, 0xC0000001);
    }
}

std::vector<std::string> EditorFixture::LastMenu()
{
    return lastMenu;
}

int EditorFixture::MenusOpened()
{
    return menusOpened;
}

void EditorFixture::WhenDialogShows(std::function<bool(HWND)> step)
{
    dialogStep = std::move(step);
}

std::string EditorFixture::WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void EditorFixture::SaveScreenshot(HWND window, const char* fileName, bool wholeWindow)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    RECT area{};
    if (wholeWindow) {
        GetWindowRect(window, &area);
        OffsetRect(&area, -area.left, -area.top);
    } else {
        GetClientRect(window, &area);
    }
    HDC source = wholeWindow ? GetWindowDC(window) : GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, area.right, area.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.right, area.bottom, source, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, source);

    const std::string path = std::string(MORLENT_SCREENSHOT_DIR) + "/" + fileName;
    const std::wstring widePath(path.begin(), path.end());
    Gdiplus::GpBitmap* image = nullptr;
    EXPECT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image));
    if (image != nullptr) {
        EXPECT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &kPngEncoder, nullptr))
            << path;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    DeleteObject(bitmap);
}

} // namespace EditorTest
