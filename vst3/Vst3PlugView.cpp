#include "vst3/Vst3PlugView.h"

#include "editor/EmbeddedEditor.h"
#include "framework/PluginCore.h"
#include "vst3/Vst3Effect.h"

#include <cstring>
#include <utility>
#include <vector>

namespace MorlentVst3 {

using namespace Vst3;

namespace {

// The views of this module's effects, for the effects' questions about drags; user-interface
// thread only.
std::vector<std::pair<Vst3Effect*, Vst3PlugView*>>& Views()
{
    static std::vector<std::pair<Vst3Effect*, Vst3PlugView*>> views;
    return views;
}

EditorCore::EmbeddedEditor* EditorOf(Vst3Effect* effect)
{
    for (const auto& entry : Views())
        if (entry.first == effect)
            return entry.second->GetEditor();
    return nullptr;
}

const char* NativePlatformType()
{
    return EditorCore::NativeWindowSystem() == EditorCore::WindowSystem::kWin32 ? kPlatformTypeHWND
                                                                                : kPlatformTypeX11EmbedWindowID;
}

} // namespace

bool PointerCaptured()
{
    for (const auto& entry : Views())
        if (EditorCore::EmbeddedEditor* editor = entry.second->GetEditor())
            if (editor->IsDragging())
                return true;
    return false;
}

void WatchDragEnd(Vst3Effect* effect)
{
    if (EditorCore::EmbeddedEditor* editor = EditorOf(effect))
        editor->WhenDragEnds([effect] { effect->EndOpenEdit(); });
    else
        effect->EndOpenEdit();
}

void ForgetDragWatch(Vst3Effect*)
{
    // A watch belongs to its editor, which forgets it when it closes.
}

Vst3PlugView::Vst3PlugView(Vst3Effect* effect, VstToolkit::Model* model, VstToolkit::PluginCore* core)
    : effect(effect), model(model), core(core)
{
    effect->addRef();
    const Pictures::Size size = EditorCore::DelayEditorSize();
    width = size.width;
    height = size.height;
    Views().emplace_back(effect, this);
}

Vst3PlugView::~Vst3PlugView()
{
    Detach();
    auto& views = Views();
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i].second == this) {
            views.erase(views.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
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
    return type != nullptr && std::strcmp(type, NativePlatformType()) == 0 ? kResultTrue : kResultFalse;
}

tresult VST3_API Vst3PlugView::attached(void* parent, FIDString type)
{
    try {
        if (parent == nullptr || isPlatformTypeSupported(type) != kResultTrue)
            return kInvalidArgument;
        if (model == nullptr)
            return kResultFalse; // the effect has ended
        Detach();
        std::string error;
        editor = EditorCore::OpenDelayEditor(reinterpret_cast<uintptr_t>(parent), *model, *core, error);
        if (editor == nullptr)
            return kResultFalse;
        if (editor->GetEventSource() >= 0 && !JoinRunLoop()) {
            // An editor nobody gives time to would never draw or answer: refused, window gone.
            Detach();
            return kResultFalse;
        }
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

bool Vst3PlugView::JoinRunLoop()
{
    void* found = nullptr;
    if (frame == nullptr || frame->queryInterface(kIRunLoopIid.bytes, &found) != kResultOk || found == nullptr)
        return false;
    runLoop = static_cast<IRunLoop*>(found);
    if (runLoop->registerEventHandler(&runLoopClient, editor->GetEventSource()) != kResultOk ||
        runLoop->registerTimer(&runLoopClient, EditorCore::kDispatchMilliseconds) != kResultOk)
        return false;
    return true;
}

tresult VST3_API Vst3PlugView::RunLoopClient::queryInterface(const TUID iid, void** object)
{
    if (object == nullptr)
        return kInvalidArgument;
    *object = nullptr;
    if (iid == nullptr)
        return kInvalidArgument;
    if (kFUnknownIid.Matches(iid) || kIEventHandlerIid.Matches(iid))
        *object = static_cast<IEventHandler*>(this);
    else if (kITimerHandlerIid.Matches(iid))
        *object = static_cast<ITimerHandler*>(this);
    return *object != nullptr ? kResultOk : kNoInterface;
}

void Vst3PlugView::RunLoopClient::Dispatch()
{
    try {
        if (view.editor != nullptr)
            view.editor->DispatchEvents();
    } catch (...) {
    }
}

tresult VST3_API Vst3PlugView::removed()
{
    if (editor == nullptr)
        return kResultFalse;
    Detach();
    return kResultOk;
}

void Vst3PlugView::Detach()
{
    if (runLoop != nullptr) {
        runLoop->unregisterTimer(&runLoopClient);
        runLoop->unregisterEventHandler(&runLoopClient);
        runLoop->release();
        runLoop = nullptr;
    }
    if (editor == nullptr)
        return;
    editor.reset();
    // A drag cut short by the window going ends its edit too.
    effect->EndOpenEdit();
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

tresult VST3_API Vst3PlugView::setFrame(IPlugFrame* newFrame)
{
    // The view never asks to change its size; on Linux the frame is where the run loop is.
    frame = newFrame;
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
