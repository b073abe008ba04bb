#include "editor/win32/Knob.h"

#include "editor/win32/WindowClasses.h"

namespace WindowsToolkit {

Knob* Knob::Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue,
                   float initialValue, const Pictures::ImageStrip* strip, int x, int y, HWND parent, HINSTANCE instance)
{
    auto* knob = new Knob(background, strip, parameterIndex, defaultValue, x, y);
    if (CreateToolkitWindow(knob, kKnobClassName, parent, instance) == nullptr)
        return nullptr;
    knob->SetValue(initialValue, false);
    return knob;
}

Knob::Knob(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip, int parameterIndex,
           float defaultValue, int x, int y)
    : GraphicsParameterControl(background,
                               std::make_unique<Controls::Knob>(strip, parameterIndex, defaultValue, Controls::Point{x, y}))
{
}

} // namespace WindowsToolkit
