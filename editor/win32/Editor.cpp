#include "editor/win32/Editor.h"

#include "vst2/Controller.h"
#include "platform/Trace.h"

#include <objidl.h>
#include <gdiplus.h>

namespace VstToolkit {

EditorBase::EditorBase(Controller* controller, HINSTANCE instance)
    : AEffEditor(controller), instance(instance), controller(controller), model(controller->GetModel())
{
    Gdiplus::GdiplusStartupInput input;
    // Without GDI+ the pictures do not load: the view still opens, with controls that draw nothing.
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        gdiplusToken = 0;
}

EditorBase::~EditorBase()
{
    close();
    if (gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(gdiplusToken);
}

void EditorBase::SetSize(SIZE size) noexcept
{
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(size.cy);
    rect.right = static_cast<VstInt16>(size.cx);
}

bool EditorBase::getRect(ERect** out)
{
    *out = &rect;
    return true;
}

bool EditorBase::open(void* parent)
{
    Platform::Trace("Editor::open\r\n");
    close();
    if (parent == nullptr)
        return false;
    View* created = CreateView(static_cast<HWND>(parent));
    if (created == nullptr)
        return false;
    systemWindow = parent;
    view = created;
    view->SetOwnerSlot(&view);
    controller->SetView(view);
    rect.top = static_cast<VstInt16>(view->GetY());
    rect.left = static_cast<VstInt16>(view->GetX());
    rect.bottom = static_cast<VstInt16>(view->GetY() + view->GetHeight());
    rect.right = static_cast<VstInt16>(view->GetX() + view->GetWidth());
    ShowWindow(view->GetHandle(), SW_SHOWNORMAL);
    UpdateWindow(view->GetHandle());
    return true;
}

void EditorBase::close()
{
    Platform::Trace("Editor::close\r\n");
    systemWindow = nullptr;
    if (view == nullptr)
        return;
    HWND window = view->GetHandle();
    // Detach first: SetView returns only once no host thread is inside the view any more.
    controller->SetView(nullptr);
    view = nullptr;
    DestroyWindow(window);
}

} // namespace VstToolkit
