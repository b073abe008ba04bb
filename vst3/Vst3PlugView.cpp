#include "vst3/Vst3PlugView.h"

#include "editor/MorlentDelayView.h"
#include "framework/PluginCore.h"
#include "platform/Module.h"
#include "vst3/Vst3Effect.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <vector>

namespace MorlentVst3 {

using namespace Vst3;

namespace {

// Effects with an edit open during a drag, by their timer; user-interface thread only.
std::vector<std::pair<UINT_PTR, Vst3Effect*>>& DragWatches()
{
    static std::vector<std::pair<UINT_PTR, Vst3Effect*>> watches;
    return watches;
}

void CALLBACK CheckDrag(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (GetCapture() != nullptr)
        return;
    auto& watches = DragWatches();
    for (size_t i = 0; i < watches.size(); ++i)
        if (watches[i].first == timer) {
            Vst3Effect* effect = watches[i].second;
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
            KillTimer(nullptr, timer);
            effect->EndOpenEdit();
            return;
        }
    KillTimer(nullptr, timer);
}

} // namespace

bool PointerCaptured()
{
    return GetCapture() != nullptr;
}

void WatchDragEnd(Vst3Effect* effect)
{
    for (const auto& watch : DragWatches())
        if (watch.second == effect)
            return;
    if (const UINT_PTR timer = SetTimer(nullptr, 0, 20, CheckDrag))
        DragWatches().emplace_back(timer, effect);
    else
        effect->EndOpenEdit();
}

void ForgetDragWatch(Vst3Effect* effect)
{
    auto& watches = DragWatches();
    for (size_t i = 0; i < watches.size();)
        if (watches[i].second == effect) {
            KillTimer(nullptr, watches[i].first);
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
}

Vst3PlugView::Vst3PlugView(Vst3Effect* effect, VstToolkit::Model* model, VstToolkit::PluginCore* core)
    : effect(effect), model(model), core(core)
{
    effect->addRef();
    const SIZE size = MorlentDelayView::PreferredSize(static_cast<HINSTANCE>(Platform::GetModuleInstance()));
    width = size.cx;
    height = size.cy;
}

Vst3PlugView::~Vst3PlugView()
{
    Detach();
    effect->ForgetView(this);
    effect->release();
}

tresult VST3_API Vst3PlugView::queryInterface(const TUID iid, void** object)
{
    if (object == nullptr)
        return kInvalidArgument;
    *object = nullptr;
    if (iid == nullptr)
        return kInvalidArgument;
    if (!kFUnknownIid.Matches(iid) && !kIPlugViewIid.Matches(iid))
        return kNoInterface;
    *object = static_cast<IPlugView*>(this);
    addRef();
    return kResultOk;
}

uint32 VST3_API Vst3PlugView::addRef()
{
    return AddReference();
}

uint32 VST3_API Vst3PlugView::release()
{
    return DropReference();
}

tresult VST3_API Vst3PlugView::isPlatformTypeSupported(FIDString type)
{
    return type != nullptr && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultTrue : kResultFalse;
}

tresult VST3_API Vst3PlugView::attached(void* parent, FIDString type)
{
    try {
        if (parent == nullptr || isPlatformTypeSupported(type) != kResultTrue)
            return kInvalidArgument;
        if (model == nullptr)
            return kResultFalse; // the effect has ended
        Detach();
        if (gdiplusToken == 0) {
            Gdiplus::GdiplusStartupInput input;
            ULONG_PTR token = 0;
            // Without GDI+ the pictures do not load: the view still opens, with controls that draw nothing.
            if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok)
                gdiplusToken = token;
        }
        MorlentDelayView* created = MorlentDelayView::Create(model, core, static_cast<HWND>(parent),
                                                             static_cast<HINSTANCE>(Platform::GetModuleInstance()));
        if (created == nullptr)
            return kResultFalse;
        view = created;
        view->SetOwnerSlot(&view);
        core->SetView(view);
        ShowWindow(view->GetHandle(), SW_SHOWNORMAL);
        UpdateWindow(view->GetHandle());
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

tresult VST3_API Vst3PlugView::removed()
{
    if (view == nullptr)
        return kResultFalse;
    Detach();
    return kResultOk;
}

void Vst3PlugView::Detach()
{
    if (view != nullptr) {
        HWND window = view->GetHandle();
        // Detach first: SetView returns only once no host thread is inside the view any more.
        core->SetView(nullptr);
        view = nullptr;
        DestroyWindow(window);
    }
    if (gdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(static_cast<ULONG_PTR>(gdiplusToken));
        gdiplusToken = 0;
    }
}

void Vst3PlugView::EffectEnded()
{
    Detach();
    model = nullptr;
}

tresult VST3_API Vst3PlugView::onWheel(float)
{
    return kResultFalse;
}

tresult VST3_API Vst3PlugView::onKeyDown(char16, int16, int16)
{
    return kResultFalse;
}

tresult VST3_API Vst3PlugView::onKeyUp(char16, int16, int16)
{
    return kResultFalse;
}

tresult VST3_API Vst3PlugView::getSize(ViewRect* size)
{
    if (size == nullptr)
        return kInvalidArgument;
    *size = ViewRect{0, 0, width, height};
    return kResultOk;
}

tresult VST3_API Vst3PlugView::onSize(ViewRect* newSize)
{
    if (newSize == nullptr)
        return kInvalidArgument;
    return newSize->right - newSize->left == width && newSize->bottom - newSize->top == height ? kResultOk
                                                                                               : kResultFalse;
}

tresult VST3_API Vst3PlugView::onFocus(TBool)
{
    return kResultOk;
}

tresult VST3_API Vst3PlugView::setFrame(IPlugFrame*)
{
    // The view never asks to change its size.
    return kResultOk;
}

tresult VST3_API Vst3PlugView::canResize()
{
    return kResultFalse;
}

tresult VST3_API Vst3PlugView::checkSizeConstraint(ViewRect* rect)
{
    if (rect == nullptr)
        return kInvalidArgument;
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return kResultOk;
}

} // namespace MorlentVst3
