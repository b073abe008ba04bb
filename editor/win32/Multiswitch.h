#pragma once
// The switch's toolkit window: a Controls::Multiswitch in a window of class
// "MorlentWindowsToolkitMultiswitch".

#include "controls/Multiswitch.h"
#include "editor/win32/GraphicsParameterControl.h"

namespace WindowsToolkit {

class Multiswitch : public GraphicsParameterControl {
public:
    // As Knob::Create.
    static Multiswitch* Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue,
                               float initialValue, const Pictures::ImageStrip* strip, int x, int y, HWND parent,
                               HINSTANCE instance);

    Multiswitch(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip, int parameterIndex,
                float defaultValue, int x, int y);
};

} // namespace WindowsToolkit
