#include "tests/editor/win32/ToolkitFixture.h"
#include "tests/support/HostWindow.h"

#include <cstdlib>

namespace ToolkitTest {

using namespace Gdiplus::DllExports;
using Pictures::ImageResource;
using Pictures::ImageStrip;

namespace {

constexpr const char* kHostClassName = "MorlentControlsTestHost";
HWND sharedHost = nullptr;

// GDI+ and the toolkit's classes for the whole run, as the module and its editor provide them.
class ToolkitEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
        ASSERT_TRUE(WindowsToolkit::RegisterWindowClasses(Instance()));
        sharedHost = CreateSharedHostWindow(Instance(), kHostClassName, "controls");
        ASSERT_NE(nullptr, sharedHost);
    }
    void TearDown() override
    {
        DestroyWindow(sharedHost);
        UnregisterClassA(kHostClassName, Instance());
        WindowsToolkit::UnregisterWindowClasses(Instance());
        Gdiplus::GdiplusShutdown(token);
    }

private:
    ULONG_PTR token = 0;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

bool IsToolkitMessage(UINT message)
{
    using namespace WindowsToolkit;
    return message == UWM_PC_VALUE_CHANGED || message == UWM_PC_HOVER || message == UWM_PC_LEAVE ||
           message == UWM_PC_RIGHT_CLICKED || message == UWM_VIEW_STATUS_TEXT_CHANGED;
}

Pictures::ImageResource* LoadPicture(int id)
{
    auto* image = new Pictures::ImageResource;
    EXPECT_TRUE(image->Load(MAKEINTRESOURCEA(id), Instance())) << "picture " << id;
    return image;
}

} // namespace

HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

LRESULT RecordingView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsToolkitMessage(message)) {
        received.push_back(Posted{message, wParam, lParam});
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}

Pixel Over(Pixel top, Pixel below)
{
    const int alpha = static_cast<int>(top >> 24);
    auto channel = [&](int shift) {
        const int a = static_cast<int>((top >> shift) & 0xFF);
        const int b = static_cast<int>((below >> shift) & 0xFF);
        return static_cast<Pixel>((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

bool Near(Pixel a, Pixel b, int tolerance)
{
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

Pixel PicturePixel(const Pictures::ImageResource& image, int x, int y)
{
    Gdiplus::ARGB colour = 0;
    GdipBitmapGetPixel(image.GetBitmap(), x, y, &colour);
    return colour;
}

Pictures::ImageResource* ToolkitFixture::background = nullptr;
Pictures::ImageResource* ToolkitFixture::knobImage = nullptr;
Pictures::ImageResource* ToolkitFixture::switchImage = nullptr;
Pictures::ImageResource* ToolkitFixture::syncButtonImage = nullptr;
Pictures::ImageResource* ToolkitFixture::syncLedImage = nullptr;
std::unique_ptr<ImageStrip> ToolkitFixture::knobStrip;
std::unique_ptr<ImageStrip> ToolkitFixture::switchStrip;
std::unique_ptr<ImageStrip> ToolkitFixture::syncButtonStrip;
std::unique_ptr<ImageStrip> ToolkitFixture::syncLedStrip;

void ToolkitFixture::SetUpTestSuite()
{
    background = LoadPicture(kBackgroundId);
    knobImage = LoadPicture(kKnobId);
    switchImage = LoadPicture(kSwitchId);
    syncButtonImage = LoadPicture(kSyncButtonId);
    syncLedImage = LoadPicture(kSyncLedId);
    knobStrip = std::make_unique<ImageStrip>(knobImage, 91, true);
    switchStrip = std::make_unique<ImageStrip>(switchImage, 2, true);
    syncButtonStrip = std::make_unique<ImageStrip>(syncButtonImage, 2, true);
    syncLedStrip = std::make_unique<ImageStrip>(syncLedImage, 5, false);
}

void ToolkitFixture::TearDownTestSuite()
{
    knobStrip.reset();
    switchStrip.reset();
    syncButtonStrip.reset();
    syncLedStrip.reset();
    for (Pictures::ImageResource** image : {&background, &knobImage, &switchImage, &syncButtonImage, &syncLedImage}) {
        delete *image;
        *image = nullptr;
    }
}

void ToolkitFixture::SetUp()
{
    host = sharedHost;
    ASSERT_NE(nullptr, host);
    // Wine's own hover and leave tracking then only reports what a test asks for.
    TakeForegroundAndParkPointer(host);
    view = new RecordingView;
    viewWindow = WindowsToolkit::Window::CreateToolkitWindow(view, WindowsToolkit::kViewClassName, host, Instance());
    ASSERT_NE(nullptr, viewWindow);
    Pump();
    view->received.clear();
}

void ToolkitFixture::TearDown()
{
    if (IsWindow(viewWindow))
        DestroyWindow(viewWindow);
    if (GetCapture() != nullptr)
        ReleaseCapture();
    Pump();
}

void ToolkitFixture::Pump(DWORD milliseconds)
{
    PumpMessagesFor(milliseconds);
}

std::vector<Posted> ToolkitFixture::TakePosted(DWORD milliseconds)
{
    Pump(milliseconds);
    std::vector<Posted> posted;
    posted.swap(view->received);
    return posted;
}

int ToolkitFixture::Count(const std::vector<Posted>& posted, UINT message)
{
    int count = 0;
    for (const Posted& entry : posted)
        count += entry.message == message ? 1 : 0;
    return count;
}

LRESULT ToolkitFixture::Send(HWND window, UINT message, UINT keys, int x, int y)
{
    return SendMessageA(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

LRESULT ToolkitFixture::Wheel(HWND window, UINT keys, short delta)
{
    RECT place{};
    GetWindowRect(window, &place);
    return SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
                        MAKELPARAM(static_cast<WORD>(place.left + 1), static_cast<WORD>(place.top + 1)));
}

std::vector<Pixel> ToolkitFixture::Capture(HWND window, int& width, int& height)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    std::vector<Pixel> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (pixels.empty())
        return pixels;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDc, section);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const Pixel*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = source[i] | 0xFF000000u;
    SelectObject(memoryDc, previous);
    DeleteObject(section);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return pixels;
}

} // namespace ToolkitTest
