#include "clap/ClapView.h"

#include "clap/ClapCalls.h"
#include "clap/ClapEffect.h"
#include "editor/MorlentDelayView.h"
#include "framework/PluginCore.h"
#include "platform/Module.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace MorlentClap {

namespace {

// ---- The open gesture of a drag, ended when the pointer is released --------------------------

// Effects whose editor drag holds a gesture open, by their timer; user-interface thread only.
std::vector<std::pair<UINT_PTR, ClapEffect*>>& GestureWatches()
{
    static std::vector<std::pair<UINT_PTR, ClapEffect*>> watches;
    return watches;
}

void CALLBACK CheckGesture(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (GetCapture() != nullptr)
        return;
    auto& watches = GestureWatches();
    for (size_t i = 0; i < watches.size(); ++i)
        if (watches[i].first == timer) {
            ClapEffect* effect = watches[i].second;
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
            KillTimer(nullptr, timer);
            effect->EndEditorGesture();
            return;
        }
    KillTimer(nullptr, timer);
}

// ---- The gui extension -------------------------------------------------------------------------

bool Supported(const char* api, bool isFloating)
{
    return api != nullptr && std::strcmp(api, Clap::kWindowApiWin32) == 0 && !isFloating;
}

bool GuiIsApiSupported(const Clap::Plugin*, const char* api, bool isFloating)
{
    return Supported(api, isFloating);
}

bool GuiGetPreferredApi(const Clap::Plugin*, const char** api, bool* isFloating)
{
    if (api == nullptr || isFloating == nullptr)
        return false;
    *api = Clap::kWindowApiWin32;
    *isFloating = false;
    return true;
}

bool GuiCreate(const Clap::Plugin* plugin, const char* api, bool isFloating)
{
    return Call(plugin, false, [&](ClapEffect& effect) {
        if (!Supported(api, isFloating) || effect.View() != nullptr)
            return false;
        effect.SetOpenView(new ClapView(effect.Core().GetModel(), &effect.Core()));
        return true;
    });
}

void GuiDestroy(const Clap::Plugin* plugin)
{
    Call(plugin, false, [](ClapEffect& effect) {
        std::unique_ptr<ClapView> view(effect.View());
        effect.SetOpenView(nullptr);
        ForgetEditorGesture(&effect);
        effect.EndEditorGesture();
        return true;
    });
}

bool GuiSetScale(const Clap::Plugin*, double)
{
    // The editor is drawn at one size.
    return false;
}

bool GuiGetSize(const Clap::Plugin* plugin, uint32_t* width, uint32_t* height)
{
    return Call(plugin, false, [&](ClapEffect& effect) {
        if (effect.View() == nullptr || width == nullptr || height == nullptr)
            return false;
        *width = static_cast<uint32_t>(effect.View()->Width());
        *height = static_cast<uint32_t>(effect.View()->Height());
        return true;
    });
}

bool GuiCanResize(const Clap::Plugin*)
{
    return false;
}

bool GuiGetResizeHints(const Clap::Plugin*, Clap::GuiResizeHints*)
{
    return false;
}

bool GuiAdjustSize(const Clap::Plugin* plugin, uint32_t* width, uint32_t* height)
{
    // Whatever is asked, our one size is the nearest.
    return GuiGetSize(plugin, width, height);
}

bool GuiSetSize(const Clap::Plugin* plugin, uint32_t width, uint32_t height)
{
    return Call(plugin, false, [&](ClapEffect& effect) {
        return effect.View() != nullptr && width == static_cast<uint32_t>(effect.View()->Width()) &&
               height == static_cast<uint32_t>(effect.View()->Height());
    });
}

bool GuiSetParent(const Clap::Plugin* plugin, const Clap::Window* window)
{
    return Call(plugin, false, [&](ClapEffect& effect) {
        if (effect.View() == nullptr || window == nullptr || window->api == nullptr ||
            std::strcmp(window->api, Clap::kWindowApiWin32) != 0 || window->win32 == nullptr)
            return false;
        return effect.View()->Attach(window->win32);
    });
}

bool GuiSetTransient(const Clap::Plugin*, const Clap::Window*)
{
    // Only a floating window has a transient parent; ours is embedded.
    return false;
}

void GuiSuggestTitle(const Clap::Plugin*, const char*) {}

bool GuiShow(const Clap::Plugin* plugin)
{
    return Call(plugin, false, [](ClapEffect& effect) { return effect.View() != nullptr && effect.View()->Show(true); });
}

bool GuiHide(const Clap::Plugin* plugin)
{
    return Call(plugin, false, [](ClapEffect& effect) { return effect.View() != nullptr && effect.View()->Show(false); });
}

constexpr Clap::PluginGui kGui{GuiIsApiSupported, GuiGetPreferredApi, GuiCreate,      GuiDestroy,  GuiSetScale,
                               GuiGetSize,        GuiCanResize,       GuiGetResizeHints, GuiAdjustSize, GuiSetSize,
                               GuiSetParent,      GuiSetTransient,    GuiSuggestTitle, GuiShow,     GuiHide};

} // namespace

const Clap::PluginGui& GuiExtension()
{
    return kGui;
}

bool EditorHoldsPointer()
{
    return GetCapture() != nullptr;
}

void WatchEditorGesture(ClapEffect* effect)
{
    for (const auto& watch : GestureWatches())
        if (watch.second == effect)
            return;
    if (const UINT_PTR timer = SetTimer(nullptr, 0, 20, CheckGesture))
        GestureWatches().emplace_back(timer, effect);
    else
        effect->EndEditorGesture();
}

void ForgetEditorGesture(ClapEffect* effect)
{
    auto& watches = GestureWatches();
    for (size_t i = 0; i < watches.size();)
        if (watches[i].second == effect) {
            KillTimer(nullptr, watches[i].first);
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
}

// ---- The view ----------------------------------------------------------------------------------

ClapView::ClapView(VstToolkit::Model* model, VstToolkit::PluginCore* core) : model(model), core(core)
{
    const SIZE size = MorlentDelayView::PreferredSize(static_cast<HINSTANCE>(Platform::GetModuleInstance()));
    width = size.cx;
    height = size.cy;
}

ClapView::~ClapView()
{
    Detach();
}

bool ClapView::Attach(void* parent)
{
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
        return false;
    view = created;
    view->SetOwnerSlot(&view);
    core->SetView(view);
    ShowWindow(view->GetHandle(), SW_SHOWNORMAL);
    UpdateWindow(view->GetHandle());
    return true;
}

bool ClapView::Show(bool visible)
{
    if (view == nullptr)
        return false;
    ShowWindow(view->GetHandle(), visible ? SW_SHOWNORMAL : SW_HIDE);
    return true;
}

void ClapView::Detach()
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

} // namespace MorlentClap
