#include "legacy/editor/Editor.h"

#include "legacy/editor/View.h"

#include <objidl.h>
#include <gdiplus.h>

namespace VovezEdeduvo {
namespace Vst {

Editor::Editor(AudioEffect* effect, HINSTANCE instance, Model* model)
    : AEffEditor(effect), instance(instance), model(model)
{
    Gdiplus::GdiplusStartupInput input;
    // Without GDI+ no picture loads: the editor still opens, 0 × 0.
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        gdiplusToken = 0;
}

Editor::~Editor()
{
    Editor::close();
    if (gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(gdiplusToken);
}

bool Editor::open(void* parent)
{
    close();
    if (parent == nullptr || !IsWindow(static_cast<HWND>(parent)))
        return false;
    systemWindow = parent;
    view = CreateView(instance, static_cast<HWND>(parent), model);
    if (view == nullptr) {
        systemWindow = nullptr;
        return false;
    }
    // Forgotten by the view itself if the host destroys its window first.
    view->SetOwnerSlot(&view);
    ShowWindow(view->GetHandle(), SW_SHOWNORMAL);
    UpdateWindow(view->GetHandle());
    return true;
}

void Editor::close()
{
    systemWindow = nullptr;
    if (view == nullptr)
        return;
    HWND window = view->GetHandle();
    view = nullptr;
    // The window procedure deletes the view and its controls.
    DestroyWindow(window);
}

void Editor::idle()
{
    if (view != nullptr)
        view->FlushUpdates();
}

} // namespace Vst
} // namespace VovezEdeduvo
