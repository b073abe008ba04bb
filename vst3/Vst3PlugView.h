#pragma once
// The editor in the host's window through the format's plug-in view: the 64-bit module's delay
// view, fixed in size, opened on attached and closed on removed. Every call runs on the host's
// user-interface thread.

#include "vst3/ReferenceCounting.h"
#include "vst3/Vst3Interface.h"

#include <memory>

namespace EditorCore {
class EmbeddedEditor;
}

namespace VstToolkit {
class Model;
class PluginCore;
} // namespace VstToolkit

namespace MorlentVst3 {

class Vst3Effect;

class Vst3PlugView final : public Vst3::IPlugView, private Vst3::ReferenceCounted<Vst3PlugView> {
public:
    // Holds a reference to the effect until the view is released.
    Vst3PlugView(Vst3Effect* effect, VstToolkit::Model* model, VstToolkit::PluginCore* core);

    Vst3::tresult VST3_API queryInterface(const Vst3::TUID iid, void** object) override;
    Vst3::uint32 VST3_API addRef() override;
    Vst3::uint32 VST3_API release() override;

    Vst3::tresult VST3_API isPlatformTypeSupported(Vst3::FIDString type) override;
    Vst3::tresult VST3_API attached(void* parent, Vst3::FIDString type) override;
    Vst3::tresult VST3_API removed() override;
    Vst3::tresult VST3_API onWheel(float distance) override;
    Vst3::tresult VST3_API onKeyDown(Vst3::char16 key, Vst3::int16 keyCode, Vst3::int16 modifiers) override;
    Vst3::tresult VST3_API onKeyUp(Vst3::char16 key, Vst3::int16 keyCode, Vst3::int16 modifiers) override;
    Vst3::tresult VST3_API getSize(Vst3::ViewRect* size) override;
    Vst3::tresult VST3_API onSize(Vst3::ViewRect* newSize) override;
    Vst3::tresult VST3_API onFocus(Vst3::TBool state) override;
    Vst3::tresult VST3_API setFrame(Vst3::IPlugFrame* frame) override;
    Vst3::tresult VST3_API canResize() override;
    Vst3::tresult VST3_API checkSizeConstraint(Vst3::ViewRect* rect) override;

    // The effect ends: the window goes now, whatever the host still does with this object.
    void EffectEnded();
    EditorCore::EmbeddedEditor* GetEditor() const noexcept { return editor.get(); }

private:
    friend class Vst3::ReferenceCounted<Vst3PlugView>;
    // What the host's run loop calls (Linux): the editor's connection has events, or it is time.
    class RunLoopClient final : public Vst3::IEventHandler, public Vst3::ITimerHandler {
    public:
        explicit RunLoopClient(Vst3PlugView& view) : view(view) {}
        Vst3::tresult VST3_API queryInterface(const Vst3::TUID iid, void** object) override;
        // A run loop that keeps references to its handlers keeps the view.
        Vst3::uint32 VST3_API addRef() override { return view.addRef(); }
        Vst3::uint32 VST3_API release() override { return view.release(); }
        void VST3_API onFDIsSet(Vst3::FileDescriptor) override { Dispatch(); }
        void VST3_API onTimer() override { Dispatch(); }

    private:
        void Dispatch();
        Vst3PlugView& view;
    };

    ~Vst3PlugView();
    void Detach();
    // Hands the editor's events and timer to the frame's run loop; false when there is none.
    bool JoinRunLoop();

    Vst3Effect* effect;
    VstToolkit::Model* model;
    VstToolkit::PluginCore* core;
    std::unique_ptr<EditorCore::EmbeddedEditor> editor;
    Vst3::IPlugFrame* frame = nullptr;   // the host's, valid until the next setFrame
    Vst3::IRunLoop* runLoop = nullptr;   // a reference of ours while the editor is open
    RunLoopClient runLoopClient{*this};
    int width;
    int height;
};

// While the user drags a control, the effect's open edit stays open; this ends it once the drag
// is over. User-interface thread.
void WatchDragEnd(Vst3Effect* effect);
void ForgetDragWatch(Vst3Effect* effect);
bool PointerCaptured();

} // namespace MorlentVst3
