#pragma once
// The registered messages a toolkit window posts to its parent (never sends). None carries a
// value: the receiver asks the posting control for its state when the message arrives.

#include <windows.h>

namespace WindowsToolkit {

// Registered while the module loads, before any window exists; read-only afterwards. A failed
// registration leaves 0, which no posted message matches.
//
// wParam = the control's parameter index, lParam = the control as ParameterControl*.
extern const UINT UWM_PC_VALUE_CHANGED; // the user (or a notifying SetValue/SetIndex) changed it
extern const UINT UWM_PC_HOVER;         // the pointer rests on the control
extern const UINT UWM_PC_LEAVE;         // the pointer left the control
extern const UINT UWM_PC_RIGHT_CLICKED; // right button pressed on the control
// wParam = 0, lParam = a NUL-terminated text that outlives the message (a constant or the
// posting view's own buffer); posted by a view without a status display to its parent.
extern const UINT UWM_VIEW_STATUS_TEXT_CHANGED;

// The registered strings; the GUID keeps them apart from any other program's messages.
inline constexpr const char* kValueChangedMessageName = "UWM_PC_VALUE_CHANGED-{19E51BEB-CF75-46aa-9890-B4178F0367D8}";
inline constexpr const char* kHoverMessageName = "UWM_PC_HOVER-{19E51BEB-CF75-46aa-9890-B4178F0367D8}";
inline constexpr const char* kLeaveMessageName = "UWM_PC_LEAVE-{19E51BEB-CF75-46aa-9890-B4178F0367D8}";
inline constexpr const char* kRightClickedMessageName = "UWM_PC_RIGHT_CLICKED-{19E51BEB-CF75-46aa-9890-B4178F0367D8}";
inline constexpr const char* kStatusTextChangedMessageName =
    "UWM_VIEW_STATUS_TEXT_CHANGED-{19E51BEB-CF75-46aa-9890-B4178F0367D8}";

} // namespace WindowsToolkit
