#pragma once
// The toolkit's five window classes, registered for the module's lifetime.

#include <windows.h>

namespace WindowsToolkit {

inline constexpr const char* kViewClassName = "MorlentDelayWindowClass";
inline constexpr const char* kKnobClassName = "MorlentWindowsToolkitKnob";
inline constexpr const char* kMultiswitchClassName = "MorlentWindowsToolkitMultiswitch";
inline constexpr const char* kIncrementButtonClassName = "MorlentWindowsToolkitIncrementButton";
inline constexpr const char* kStatusControlClassName = "MorlentWindowsToolkitStatusControl";

// In registration order.
inline constexpr const char* kWindowClassNames[] = {kViewClassName, kKnobClassName, kMultiswitchClassName,
                                                    kIncrementButtonClassName, kStatusControlClassName};

// Registers the five classes in order for instance; false at the first failure (the classes
// registered before it stay registered).
bool RegisterWindowClasses(HINSTANCE instance);
// Unregisters them in the same order, ignoring failures.
void UnregisterWindowClasses(HINSTANCE instance);

// The module's load and unload notifications, with Platform::GetModuleInstance() already set.
// ProcessAttach answers FALSE, failing the load, when a class cannot be registered.
BOOL ProcessAttach();
BOOL ProcessDetach();

} // namespace WindowsToolkit
