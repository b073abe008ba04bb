#include "editor/win32/Messages.h"

namespace WindowsToolkit {

// Dynamic initialisation: runs in the module's load notification, before DllMain's own code.
const UINT UWM_PC_VALUE_CHANGED = RegisterWindowMessageA(kValueChangedMessageName);
const UINT UWM_PC_HOVER = RegisterWindowMessageA(kHoverMessageName);
const UINT UWM_PC_LEAVE = RegisterWindowMessageA(kLeaveMessageName);
const UINT UWM_PC_RIGHT_CLICKED = RegisterWindowMessageA(kRightClickedMessageName);
const UINT UWM_VIEW_STATUS_TEXT_CHANGED = RegisterWindowMessageA(kStatusTextChangedMessageName);

} // namespace WindowsToolkit
