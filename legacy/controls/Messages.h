#pragma once
// The first-generation toolkit's private window messages: fixed numbers above WM_APP. Controls
// post the first four to their parent; the view posts the last two to itself.

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace WindowToolkit {

constexpr UINT WM_VC_VALUE_CHANGED = WM_APP + 1;      // wParam: the control; lParam: value bits
constexpr UINT WM_VC_HOVER = WM_APP + 2;              // wParam: the control
constexpr UINT WM_VC_LEAVE = WM_APP + 3;              // wParam: the control
constexpr UINT WM_VC_RIGHT_CLICKED = WM_APP + 4;      // wParam: the control
constexpr UINT WM_VIEW_UPDATE_PARAMETER = WM_APP + 5; // wParam: parameter index; lParam: value bits
constexpr UINT WM_VIEW_UPDATE_ALL = WM_APP + 6;

// A 32-bit float travels as its bit pattern in the low half of lParam.
inline LPARAM FloatToLParam(float value) noexcept
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<LPARAM>(bits);
}

inline float LParamToFloat(LPARAM lParam) noexcept
{
    const auto bits = static_cast<uint32_t>(lParam);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace WindowToolkit
