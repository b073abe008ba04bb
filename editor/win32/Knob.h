#pragma once
// The knob's toolkit window: a Controls::Knob in a window of class "MorlentWindowsToolkitKnob".

#include "controls/Knob.h"
#include "editor/win32/GraphicsParameterControl.h"

namespace WindowsToolkit {

class Knob : public GraphicsParameterControl {
public:
    // Creates the knob's window at (x, y), the strip's frame size, in parent, then shows
    // initialValue without notification. Null when the window cannot be created.
    // User-interface thread.
    static Knob* Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue,
                        float initialValue, const Pictures::ImageStrip* strip, int x, int y, HWND parent,
                        HINSTANCE instance);

    Knob(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip, int parameterIndex,
         float defaultValue, int x, int y);
};

} // namespace WindowsToolkit
