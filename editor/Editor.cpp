#include "editor/Editor.h"

#include "framework/Controller.h"
#include "platform/Trace.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstring>

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

SIZE PngResourceSize(HMODULE module, const char* name)
{
    // Signature (8 bytes), then the IHDR chunk: length (4), type (4), width and height (4 each,
    // big-endian).
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr DWORD kHeaderBytes = 24;
    HRSRC resource = FindResourceA(module, name, "PNG");
    if (resource == nullptr || SizeofResource(module, resource) < kHeaderBytes)
        return SIZE{0, 0};
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* bytes = static_cast<const unsigned char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr || std::memcmp(bytes, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return SIZE{0, 0};
    auto bigEndian = [](const unsigned char* p) {
        return static_cast<LONG>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3]);
    };
    return SIZE{bigEndian(bytes + 16), bigEndian(bytes + 20)};
}

} // namespace VstToolkit
