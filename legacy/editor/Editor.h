#pragma once

#include "effect_base/AEffEditor.h"
#include "legacy/framework/Model.h"

#include <windows.h>

namespace VovezEdeduvo {

class View;

namespace Vst {

// The first generation's VST editor: starts GDI+ for its instance, opens a view in the host's
// window and hands the model's queued changes to it on idle. User-interface thread.
class Editor : public AEffEditor {
public:
    Editor(AudioEffect* effect, HINSTANCE instance, Model* model);
    ~Editor() override;

    bool open(void* parent) override;
    void close() override;
    bool isOpen() override { return view != nullptr; }
    void idle() override;

    View* GetView() const noexcept { return view; }

protected:
    // The view window in parent, or null.
    virtual View* CreateView(HINSTANCE instance, HWND parent, Model* model) = 0;
    HINSTANCE GetInstance() const noexcept { return instance; }
    bool HasGdiplus() const noexcept { return gdiplusToken != 0; }

private:
    HINSTANCE instance;
    ULONG_PTR gdiplusToken = 0;
    Model* model;
    View* view = nullptr;
};

} // namespace Vst
} // namespace VovezEdeduvo
