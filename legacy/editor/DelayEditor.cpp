#include "legacy/editor/DelayEditor.h"

#include "description/EffectDescription.h"
#include "legacy/controls/ToolkitClasses.h"
#include "legacy/editor/DelayView.h"

namespace VovezEdeduvo {
namespace Vst {

void RegisterEditorWindowClasses(HINSTANCE instance)
{
    using namespace WindowToolkit;
    // Never unregistered: another instance's editor may still use them.
    for (const char* name : {kViewClassName, kKnobClassName, kSelectorButtonClassName, kSwitchClassName, kLabelClassName})
        RegisterToolkitWindowClass(CS_HREDRAW | CS_VREDRAW, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW),
                                   nullptr, nullptr, name, nullptr);
}

DelayEditor::DelayEditor(AudioEffect* effect, HINSTANCE instance, Model* model) : Editor(effect, instance, model)
{
    using WindowToolkit::LoadPngResource;
    if (HasGdiplus()) {
        knob = LoadPngResource(instance, MorlentDelay::kKnobName);
        background = LoadPngResource(instance, MorlentDelay::kBackgroundName);
        syncButton = LoadPngResource(instance, MorlentDelay::kSyncButtonName);
        syncLed = LoadPngResource(instance, MorlentDelay::kSyncLedName);
        toggle = LoadPngResource(instance, MorlentDelay::kSwitchName);
    }
    if (background != nullptr) {
        rect.bottom = static_cast<VstInt16>(background->GetHeight());
        rect.right = static_cast<VstInt16>(background->GetWidth());
    }
    RegisterEditorWindowClasses(instance);
}

DelayEditor::~DelayEditor()
{
    // The view's controls draw from the pictures: it goes first.
    close();
}

bool DelayEditor::getRect(ERect** out)
{
    if (out == nullptr)
        return false;
    *out = &rect;
    return true;
}

View* DelayEditor::CreateView(HINSTANCE instance, HWND parent, Model* model)
{
    const DelayView::Pictures pictures{knob.get(), background.get(), syncButton.get(), syncLed.get(), toggle.get()};
    return DelayView::Create(pictures, model, instance, parent);
}

} // namespace Vst
} // namespace VovezEdeduvo
