#pragma once
// What the tests of a format's Windows editor share: the module loaded once, GDI+, one host
// window for the whole suite, the driver of real input, and the editor's windows inside it.

#include "description/EffectDescription.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/HostWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

class HostWindowSuite : public ::testing::Test {
protected:
    // A suite's SetUpTestSuite: the module, GDI+, the host window and the input driver.
    static void StartSuite(const char* modulePath, const char* className, const char* title)
    {
        module = LoadLibraryA(modulePath);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
        window = CreateSharedHostWindow(GetModuleHandleA(nullptr), className, title);
        started = GuiDriver::Start();
    }
    static void TearDownTestSuite()
    {
        GuiDriver::Stop();
        Gdiplus::GdiplusShutdown(gdiplus);
    }
    // The start of a test's SetUp: fails it where the suite could not start.
    static void ExpectSuiteStarted()
    {
        ASSERT_NE(module, nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(started);
        GuiDriver::Reset();
    }

    static HWND ViewWindow() { return GetWindow(window, GW_CHILD); }
    static HWND ControlWindow(int parameter)
    {
        const MorlentDelay::Point at = MorlentDelay::kControlPositions[parameter];
        return ChildWindowFromPoint(ViewWindow(), POINT{at.x + 4, at.y + 4});
    }
    static void Send(HWND target, UINT message, WPARAM keys, int x, int y)
    {
        SendMessageA(target, message, keys, MAKELPARAM(x, y));
    }

    static inline HMODULE module = nullptr;
    static inline ULONG_PTR gdiplus = 0;
    static inline HWND window = nullptr;
    static inline bool started = false;
};
