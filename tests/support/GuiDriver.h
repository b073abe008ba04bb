#pragma once
// What the Windows editor tests share to drive an opened editor: a record of the popup menus that
// open, a thread timer that answers modal boxes and cancels forgotten ones, and screenshots.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "pictures/win32/PngFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace GuiDriver {

constexpr DWORD kTickMilliseconds = 50;
constexpr DWORD kModalPatienceMilliseconds = 5000;

struct State {
    HHOOK menuHook = nullptr;
    UINT_PTR timer = 0;
    std::vector<std::string> lastMenu;
    int menusOpened = 0;
    std::function<bool(HWND)> dialogStep;
    DWORD modalSince = 0;
    bool modalSeen = false;
};

inline State& Current()
{
    static State state;
    return state;
}

inline LRESULT CALLBACK RecordMenus(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) {
        auto menu = reinterpret_cast<HMENU>(call->wParam);
        Current().lastMenu.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            Current().lastMenu.emplace_back(text);
        }
        ++Current().menusOpened;
    }
    return CallNextHookEx(Current().menuHook, code, wParam, lParam);
}

struct WindowSearch {
    const char* className;
    HWND found;
};

// A named callback: 32-bit Windows wants it stdcall, which no lambda converts to.
inline BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, search->className) != 0 || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The first visible window of this thread with the class name, or null.
inline HWND FindThreadWindow(const char* className)
{
    WindowSearch search{className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs inside every modal loop (menus and boxes dispatch thread timers).
inline void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    State& state = Current();
    HWND dialog = FindThreadWindow("#32770");
    if (dialog != nullptr && state.dialogStep && state.dialogStep(dialog))
        state.dialogStep = nullptr;
    HWND menu = FindThreadWindow("#32768");
    if (dialog == nullptr && menu == nullptr) {
        state.modalSeen = false;
        return;
    }
    if (!state.modalSeen) {
        state.modalSeen = true;
        state.modalSince = GetTickCount();
    } else if (GetTickCount() - state.modalSince > kModalPatienceMilliseconds) {
        ADD_FAILURE() << "a modal menu or box was left open";
        EndMenu();
        if (dialog != nullptr)
            EndDialog(dialog, IDCANCEL);
        state.modalSeen = false;
    }
}

// Once per test program, on the thread that runs the tests.
inline bool Start()
{
    State& state = Current();
    state.menuHook = SetWindowsHookExA(WH_CALLWNDPROC, RecordMenus, nullptr, GetCurrentThreadId());
    state.timer = SetTimer(nullptr, 0, kTickMilliseconds, Tick);
    return state.menuHook != nullptr && state.timer != 0;
}

inline void Stop()
{
    KillTimer(nullptr, Current().timer);
    UnhookWindowsHookEx(Current().menuHook);
}

// Forgets the menus, the pending dialog step and the patience clock of an earlier test.
inline void Reset()
{
    Current().modalSeen = false;
    Current().lastMenu.clear();
    Current().menusOpened = 0;
    Current().dialogStep = nullptr;
}

// Calls step with the first dialog box of this thread once it shows, again at every tick until
// step answers true. A box or menu still open after a few seconds is cancelled, so a broken test
// fails instead of hanging.
inline void WhenDialogShows(std::function<bool(HWND)> step)
{
    Current().dialogStep = std::move(step);
}

// Key presses queued for window; a modal menu's loop reads them when it opens.
inline void PostKeys(HWND window, std::initializer_list<WORD> keys)
{
    for (WORD key : keys) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
}

inline std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Saves a window's pixels (client area, or the whole window with its frame) as a PNG file.
// GDI+ must be running.
inline void SaveScreenshot(HWND window, const std::string& path, bool wholeWindow = false)
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

    EXPECT_TRUE(Pictures::SaveAsPng(bitmap, path)) << path;
    DeleteObject(bitmap);
}

} // namespace GuiDriver
