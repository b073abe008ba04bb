// The delay editor in a host's Win32 window, for the formats' view glue: the same view the VST 2
// editor opens, with GDI+ running for as long as it is open.

#include "editor/EmbeddedEditor.h"
#include "editor/win32/MorlentDelayView.h"
#include "framework/PluginCore.h"
#include "platform/Module.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>
#include <vector>

namespace EditorCore {

namespace {

// Drags being watched, by their timer; user-interface thread only.
struct DragWatch {
    UINT_PTR timer;
    const void* owner;
    std::function<void()> ended;
};

std::vector<DragWatch>& DragWatches()
{
    static std::vector<DragWatch> watches;
    return watches;
}

// The mouse capture is how Win32 tells a drag: a control holds it from press to release.
void CALLBACK CheckDrag(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (GetCapture() != nullptr)
        return;
    auto& watches = DragWatches();
    for (size_t i = 0; i < watches.size(); ++i)
        if (watches[i].timer == timer) {
            std::function<void()> ended = std::move(watches[i].ended);
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
            KillTimer(nullptr, timer);
            ended();
            return;
        }
    KillTimer(nullptr, timer);
}

void ForgetDragWatches(const void* owner)
{
    auto& watches = DragWatches();
    for (size_t i = 0; i < watches.size();)
        if (watches[i].owner == owner) {
            KillTimer(nullptr, watches[i].timer);
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
}

class Win32Editor final : public EmbeddedEditor {
public:
    Win32Editor(VstToolkit::PluginCore& core, ULONG_PTR gdiplusToken) : core(core), gdiplusToken(gdiplusToken) {}

    ~Win32Editor() override
    {
        ForgetDragWatches(this);
        if (view != nullptr) {
            HWND window = view->GetHandle();
            // Detach first: SetView returns only once no host thread is inside the view any more.
            core.SetView(nullptr);
            view = nullptr;
            DestroyWindow(window);
        }
        if (gdiplusToken != 0)
            Gdiplus::GdiplusShutdown(gdiplusToken);
    }

    bool Open(HWND parent, VstToolkit::Model& model)
    {
        MorlentDelayView* created =
            MorlentDelayView::Create(&model, &core, parent, static_cast<HINSTANCE>(Platform::GetModuleInstance()));
        if (created == nullptr)
            return false;
        view = created;
        view->SetOwnerSlot(&view);
        core.SetView(view);
        ShowWindow(view->GetHandle(), SW_SHOWNORMAL);
        UpdateWindow(view->GetHandle());
        return true;
    }

    bool IsOpen() const override { return view != nullptr; }

    void SetVisible(bool visible) override
    {
        if (view != nullptr)
            ShowWindow(view->GetHandle(), visible ? SW_SHOWNORMAL : SW_HIDE);
    }
    bool IsDragging() const override { return GetCapture() != nullptr; }

    void WhenDragEnds(std::function<void()> ended) override
    {
        if (!IsDragging()) {
            ended();
            return;
        }
        for (DragWatch& watch : DragWatches())
            if (watch.owner == this) {
                watch.ended = std::move(ended);
                return;
            }
        if (const UINT_PTR timer = SetTimer(nullptr, 0, 20, CheckDrag))
            DragWatches().push_back(DragWatch{timer, this, std::move(ended)});
        else
            ended();
    }

private:
    VstToolkit::PluginCore& core;
    ULONG_PTR gdiplusToken;
    VstToolkit::View* view = nullptr; // cleared by the view itself when its window goes
};

} // namespace

WindowSystem NativeWindowSystem()
{
    return WindowSystem::kWin32;
}

Pictures::Size DelayEditorSize()
{
    const SIZE size = MorlentDelayView::PreferredSize(static_cast<HINSTANCE>(Platform::GetModuleInstance()));
    return Pictures::Size{size.cx, size.cy};
}

std::unique_ptr<EmbeddedEditor> OpenDelayEditor(uintptr_t parent, VstToolkit::Model& model,
                                                VstToolkit::PluginCore& core, std::string& error)
{
    if (parent == 0) {
        error = "no parent window";
        return nullptr;
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    // Without GDI+ the pictures do not load: the view still opens, with controls that draw nothing.
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        token = 0;
    auto editor = std::make_unique<Win32Editor>(core, token);
    if (!editor->Open(reinterpret_cast<HWND>(parent), model)) {
        error = "the editor's window could not be created";
        return nullptr;
    }
    return editor;
}

} // namespace EditorCore
