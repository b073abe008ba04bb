// Windows only: opens the plug-in's editor in a window of our own and saves its pixels as PNG.

#include "host/Commands.h"
#include "host/PluginInstance.h"
#include "pictures/win32/PngFile.h"

#include <windows.h>
// After windows.h, which GDI+ builds on.
#include <gdiplus.h>

#include <cstdio>

namespace MorlentHost {

namespace {

constexpr char kWindowClass[] = "MorlentHostEditorFrame";
constexpr DWORD kSettleMilliseconds = 600;  // long enough for an editor's first paint and idle timers
constexpr DWORD kIdleMilliseconds = 20;
// The PNG encoder's class identifier as GDI+ registers it.

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void ResizeClient(HWND window, int width, int height)
{
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_SHOWWINDOW);
}

void PumpAndIdle(PluginInstance& plugin, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        plugin.IdleEditor();
        Sleep(kIdleMilliseconds);
    }
}

// Copies the window's client area as it is on the screen. The frame is the topmost window and
// freshly painted, so the screen holds the editor's own pixels; PrintWindow would depend on every
// child control answering WM_PRINTCLIENT, which painted-only controls do not.
HBITMAP CaptureClient(HWND window, int width, int height)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return bitmap;
}

bool SavePng(HBITMAP bitmap, const std::string& path, std::string& error)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        error = "GDI+ did not start";
        return false;
    }
    const bool ok = Pictures::SaveAsPng(bitmap, path);
    Gdiplus::GdiplusShutdown(token);
    if (!ok)
        error = "cannot save " + path + " as PNG";
    return ok;
}

} // namespace

int RunScreenshot(const CommandLine& command)
{
    std::string error;
    auto plugin = LoadForScreenshot(command, error);
    if (!plugin)
        return Failure(error);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = FrameProcedure;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.lpszClassName = kWindowClass;
    RegisterClassA(&frameClass);
    HWND window = CreateWindowA(kWindowClass, "Morlent host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return Failure("cannot create the editor's window");

    // Some editors know their size only once open, so ask again afterwards.
    int width = 0, height = 0;
    plugin->EditorSize(width, height);
    plugin->Resume(44100.0f, 512);
    const bool opened = plugin->OpenEditor(window);
    if (!plugin->EditorSize(width, height)) {
        if (opened)
            plugin->CloseEditor();
        DestroyWindow(window);
        return Failure("the plug-in's editor reports no size (effEditGetRect)");
    }
    ResizeClient(window, width, height);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpAndIdle(*plugin, kSettleMilliseconds);

    HBITMAP bitmap = CaptureClient(window, width, height);
    const bool saved = SavePng(bitmap, command.output, error);
    DeleteObject(bitmap);
    plugin->CloseEditor();
    DestroyWindow(window);
    UnregisterClassA(kWindowClass, instance);
    if (!saved)
        return Failure(error);
    std::printf("saved the %dx%d editor to %s\n", width, height, command.output.c_str());
    return kExitOk;
}

} // namespace MorlentHost
