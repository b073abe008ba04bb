#include "clap/ClapView.h"

#include "clap/ClapCalls.h"
#include "clap/ClapEffect.h"
#include "editor/EmbeddedEditor.h"
#include "framework/PluginCore.h"

#include <cstring>
#include <memory>
#include <vector>

namespace MorlentClap {

namespace {

// The open views, for the effects' questions about drags; main thread only.
std::vector<ClapView*>& OpenViews()
{
    static std::vector<ClapView*> views;
    return views;
}

const char* NativeApi()
{
    return EditorCore::NativeWindowSystem() == EditorCore::WindowSystem::kWin32 ? Clap::kWindowApiWin32
                                                                                : Clap::kWindowApiX11;
}

uintptr_t ParentOf(const Clap::Window& window)
{
    if (EditorCore::NativeWindowSystem() == EditorCore::WindowSystem::kWin32)
        return reinterpret_cast<uintptr_t>(window.win32);
    return static_cast<uintptr_t>(window.x11);
}

// ---- The gui extension -------------------------------------------------------------------------

bool Supported(const char* api, bool isFloating)
{
    return api != nullptr && std::strcmp(api, NativeApi()) == 0 && !isFloating;
}

bool GuiIsApiSupported(const Clap::Plugin*, const char* api, bool isFloating)
{
    return Supported(api, isFloating);
}

bool GuiGetPreferredApi(const Clap::Plugin*, const char** api, bool* isFloating)
{
    if (api == nullptr || isFloating == nullptr)
        return false;
    *api = NativeApi();
    *isFloating = false;
    return true;
}

bool GuiCreate(const Clap::Plugin* plugin, const char* api, bool isFloating)
{
    return Call(plugin, false, [&](ClapEffect& effect) {
        if (!Supported(api, isFloating) || effect.View() != nullptr)
            return false;
        // An X11 editor with nobody to watch its connection would never draw: refused at once.
        if (EditorCore::NativeWindowSystem() == EditorCore::WindowSystem::kX11 &&
            (effect.HostFds() == nullptr || effect.HostTimers() == nullptr))
            return false;
        effect.SetOpenView(new ClapView(effect));
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
            std::strcmp(window->api, NativeApi()) != 0 || ParentOf(*window) == 0)
            return false;
        return effect.View()->Attach(ParentOf(*window));
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

void OnFd(const Clap::Plugin* plugin, int fd, uint32_t)
{
    Call(plugin, false, [&](ClapEffect& effect) {
        if (effect.View() != nullptr)
            effect.View()->OnFd(fd);
        return true;
    });
}

void OnTimer(const Clap::Plugin* plugin, Clap::Id timerId)
{
    Call(plugin, false, [&](ClapEffect& effect) {
        if (effect.View() != nullptr)
            effect.View()->OnTimer(timerId);
        return true;
    });
}

constexpr Clap::PluginPosixFdSupport kPosixFd{OnFd};
constexpr Clap::PluginTimerSupport kTimer{OnTimer};

constexpr Clap::PluginGui kGui{GuiIsApiSupported, GuiGetPreferredApi, GuiCreate,      GuiDestroy,  GuiSetScale,
                               GuiGetSize,        GuiCanResize,       GuiGetResizeHints, GuiAdjustSize, GuiSetSize,
                               GuiSetParent,      GuiSetTransient,    GuiSuggestTitle, GuiShow,     GuiHide};

} // namespace

const Clap::PluginGui& GuiExtension()
{
    return kGui;
}

const Clap::PluginPosixFdSupport& PosixFdExtension()
{
    return kPosixFd;
}

const Clap::PluginTimerSupport& TimerExtension()
{
    return kTimer;
}

bool EditorHoldsPointer()
{
    for (const ClapView* view : OpenViews())
        if (view->Editor() != nullptr && view->Editor()->IsDragging())
            return true;
    return false;
}

void WatchEditorGesture(ClapEffect* effect)
{
    ClapView* view = effect->View();
    if (view != nullptr && view->Editor() != nullptr)
        view->Editor()->WhenDragEnds([effect] { effect->EndEditorGesture(); });
    else
        effect->EndEditorGesture();
}

void ForgetEditorGesture(ClapEffect*)
{
    // A watch belongs to its editor, which forgets it when it closes.
}

// ---- The view ----------------------------------------------------------------------------------

ClapView::ClapView(ClapEffect& effect) : effect(effect)
{
    const Pictures::Size size = EditorCore::DelayEditorSize();
    width = size.width;
    height = size.height;
    OpenViews().push_back(this);
}

ClapView::~ClapView()
{
    Detach();
    auto& views = OpenViews();
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i] == this) {
            views.erase(views.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
}

bool ClapView::Attach(uintptr_t parent)
{
    Detach();
    std::string error;
    VstToolkit::PluginCore& core = effect.Core();
    editor = EditorCore::OpenDelayEditor(parent, *core.GetModel(), core, error);
    if (editor == nullptr)
        return false;
    if (editor->GetEventSource() >= 0 && !JoinHostReactor()) {
        Detach();
        return false;
    }
    if (!visible)
        editor->SetVisible(false);
    return true;
}

bool ClapView::Show(bool shown)
{
    visible = shown;
    if (editor == nullptr)
        return false;
    editor->SetVisible(shown);
    return true;
}

bool ClapView::JoinHostReactor()
{
    // Create refused a host without both.
    const int fd = editor->GetEventSource();
    if (!effect.HostFds()->registerFd(effect.Host(), fd, Clap::kPosixFdRead))
        return false;
    watchedFd = fd;
    Clap::Id id = Clap::kInvalidId;
    if (!effect.HostTimers()->registerTimer(effect.Host(), EditorCore::kDispatchMilliseconds, &id) ||
        id == Clap::kInvalidId)
        return false;
    timerId = id;
    return true;
}

void ClapView::OnFd(int fd)
{
    if (editor != nullptr && fd == watchedFd)
        editor->DispatchEvents();
}

void ClapView::OnTimer(uint32_t id)
{
    if (editor != nullptr && id == timerId)
        editor->DispatchEvents();
}

void ClapView::Detach()
{
    if (watchedFd >= 0)
        effect.HostFds()->unregisterFd(effect.Host(), watchedFd);
    if (timerId != Clap::kInvalidId)
        effect.HostTimers()->unregisterTimer(effect.Host(), timerId);
    watchedFd = -1;
    timerId = Clap::kInvalidId;
    editor.reset();
}

} // namespace MorlentClap
