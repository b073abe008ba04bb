#pragma once
// The stand-in for a host's window in the Windows GUI tests.

#include <windows.h>

// Registers className (a plain black window) and creates one visible top-level window of it.
// Tests share one such window for the whole run: Wine without a window manager stalls for two
// seconds whenever a top-level window is destroyed. Answers null when either step fails.
inline HWND CreateSharedHostWindow(HINSTANCE instance, const char* className, const char* title)
{
    WNDCLASSEXA hostClass{};
    hostClass.cbSize = sizeof hostClass;
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = instance;
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    hostClass.lpszClassName = className;
    if (RegisterClassExA(&hostClass) == 0)
        return nullptr;
    return CreateWindowExA(0, className, title, WS_POPUP | WS_VISIBLE, 0, 0, 496, 344, nullptr, nullptr, instance,
                           nullptr);
}

// Makes the host window the active foreground window with the keyboard focus, and parks the
// real pointer at the screen's far corner, away from every window. A test that relies on
// focus or on Wine's own hover tracking starts from here instead of from what an earlier test
// (or another program) left behind.
inline void TakeForegroundAndParkPointer(HWND host)
{
    SetCursorPos(1279, 1023);
    SetForegroundWindow(host);
    SetActiveWindow(host);
    SetFocus(host);
}

// Dispatches this thread's messages for the given time, waking as soon as one arrives.
inline void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(until - now) <= 0)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, until - now, QS_ALLINPUT);
    }
}
