#pragma once

#include "legacy/controls/Picture.h"
#include "legacy/editor/Editor.h"

#include <memory>

namespace VovezEdeduvo {
namespace Vst {

// The delay's editor: owns the pictures of the face and opens a DelayView.
class DelayEditor : public Editor {
public:
    DelayEditor(AudioEffect* effect, HINSTANCE instance, Model* model);
    ~DelayEditor() override;

    // Valid before the first open: the background picture's size.
    bool getRect(ERect** rect) override;

protected:
    View* CreateView(HINSTANCE instance, HWND parent, Model* model) override;

private:
    std::unique_ptr<WindowToolkit::Picture> knob;
    std::unique_ptr<WindowToolkit::Picture> background;
    std::unique_ptr<WindowToolkit::Picture> syncButton;
    std::unique_ptr<WindowToolkit::Picture> syncLed;
    std::unique_ptr<WindowToolkit::Picture> toggle;
    ERect rect{};
};

// Registers the toolkit's classes for instance. A class registered before stays as it is.
void RegisterEditorWindowClasses(HINSTANCE instance);

} // namespace Vst
} // namespace VovezEdeduvo
