// The delay editor in a host's X11 window, for the formats' view glue: the editor on an edit
// target of the plug-in core, attached to the core as its view for as long as it is open.

#include "editor/CoreEditTarget.h"
#include "editor/EmbeddedEditor.h"
#include "editor/x11/X11Editor.h"
#include "framework/PluginCore.h"
#include "pictures/PngHeader.h"
#include "resources/EmbeddedArtwork.h"

namespace EditorCore {

namespace {

class CoreAttachedEditor final : public EmbeddedEditor {
public:
    CoreAttachedEditor(VstToolkit::Model& model, VstToolkit::PluginCore& core) : core(core), target(model, core) {}

    ~CoreAttachedEditor() override
    {
        // Detach first: SetView returns only once no host thread is inside the view any more.
        if (editor != nullptr && core.GetView() == editor->GetParameterView())
            core.SetView(nullptr);
    }

    bool Open(uintptr_t parent, std::string& error)
    {
        editor = X11Toolkit::X11Editor::Open(parent, target, error);
        if (editor == nullptr)
            return false;
        core.SetView(editor->GetParameterView());
        return true;
    }

    int GetEventSource() const override { return editor->GetEventSource(); }
    void DispatchEvents() override { editor->DispatchEvents(); }
    bool IsOpen() const override { return editor->IsOpen(); }
    void SetVisible(bool visible) override { editor->SetVisible(visible); }
    bool IsDragging() const override { return editor->IsDragging(); }
    void WhenDragEnds(std::function<void()> ended) override { editor->WhenDragEnds(std::move(ended)); }

private:
    VstToolkit::PluginCore& core;
    CoreEditTarget target;
    std::unique_ptr<X11Toolkit::X11Editor> editor;
};

} // namespace

WindowSystem NativeWindowSystem()
{
    return WindowSystem::kX11;
}

Pictures::Size DelayEditorSize()
{
    const Resources::Blob background = Resources::ArtworkPng(Resources::Artwork::kBackground);
    return Pictures::PngHeaderSize(background.data, background.size);
}

std::unique_ptr<EmbeddedEditor> OpenDelayEditor(uintptr_t parent, VstToolkit::Model& model,
                                                VstToolkit::PluginCore& core, std::string& error)
{
    auto editor = std::make_unique<CoreAttachedEditor>(model, core);
    if (!editor->Open(parent, error))
        return nullptr;
    return editor;
}

} // namespace EditorCore
