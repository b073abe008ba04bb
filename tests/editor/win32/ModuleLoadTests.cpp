// The toolkit's classes live exactly as long as the module that carries them.

#include "editor/win32/WindowClasses.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool Registered(HINSTANCE module, const char* name)
{
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    return GetClassInfoExA(module, name, &info) != FALSE && info.hInstance == module;
}

void ExpectClassesFollowTheModule(const char* path)
{
    HMODULE module = LoadLibraryA(path);
    ASSERT_NE(nullptr, module) << GetLastError();
    for (const char* name : WindowsToolkit::kWindowClassNames)
        EXPECT_TRUE(Registered(module, name)) << name;
    // The module's classes belong to it: a window made with its instance is a toolkit window.
    HWND window = CreateWindowExA(0, WindowsToolkit::kStatusControlClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, module, nullptr);
    EXPECT_NE(nullptr, window);
    DestroyWindow(window);

    ASSERT_TRUE(FreeLibrary(module));
    for (const char* name : WindowsToolkit::kWindowClassNames)
        EXPECT_FALSE(Registered(module, name)) << name;

    // And again: unloading left nothing behind that would make a second load fail.
    module = LoadLibraryA(path);
    ASSERT_NE(nullptr, module);
    EXPECT_TRUE(Registered(module, WindowsToolkit::kViewClassName));
    FreeLibrary(module);
}

TEST(ModuleLoad, LoadingRegistersTheFiveClassesAndUnloadingRemovesThem)
{
    ExpectClassesFollowTheModule(MORLENT_TOOLKIT_TEST_MODULE);
}

#ifdef MORLENT_PLUGIN_MODULE
TEST(ModuleLoad, ThePluginsLoadNotificationRegistersTheClasses)
{
    ExpectClassesFollowTheModule(MORLENT_PLUGIN_MODULE);
}
#endif

} // namespace
