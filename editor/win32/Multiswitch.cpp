#include "editor/win32/Multiswitch.h"

#include "editor/win32/WindowClasses.h"

namespace WindowsToolkit {

Multiswitch* Multiswitch::Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue,
                                 float initialValue, const Pictures::ImageStrip* strip, int x, int y, HWND parent,
                                 HINSTANCE instance)
{
    auto* control = new Multiswitch(background, strip, parameterIndex, defaultValue, x, y);
    if (CreateToolkitWindow(control, kMultiswitchClassName, parent, instance) == nullptr)
        return nullptr;
    control->SetValue(initialValue, false);
    return control;
}

Multiswitch::Multiswitch(const Pictures::ImageResource* background, const Pictures::ImageStrip* strip,
                         int parameterIndex, float defaultValue, int x, int y)
    : GraphicsParameterControl(background, std::make_unique<Controls::Multiswitch>(strip, parameterIndex, defaultValue,
                                                                                   Controls::Point{x, y}))
{
}

} // namespace WindowsToolkit
