#pragma once
// The first-generation toolkit's window class names, registered by each editor.

namespace WindowToolkit {

constexpr const char kViewClassName[] = "DelayView";
constexpr const char kKnobClassName[] = "Knob";
constexpr const char kSelectorButtonClassName[] = "SelectorButton";
constexpr const char kSwitchClassName[] = "Switch";
constexpr const char kLabelClassName[] = "Label";

} // namespace WindowToolkit
