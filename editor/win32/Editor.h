#pragma once
// The VST 2 editor on Win32: builds a view window inside the host's window on open and destroys it on
// close. Every operation runs on the host's user-interface thread.

#include "editor/win32/View.h"
#include "effect_base/AEffEditor.h"

#include <windows.h>

namespace VstToolkit {

class Controller;
class Model;

// Everything but the view's type. GDI+ runs for the editor's whole life, once per effect
// instance: the view's pictures are decoded on open and freed on close, before it stops.
class EditorBase : public AEffEditor {
public:
    EditorBase(Controller* controller, HINSTANCE instance);
    // Closes a view that is still open (effClose with the editor open), then stops GDI+.
    ~EditorBase() override;

    // Valid before the first open: the view's size is known when the editor is built.
    bool getRect(ERect** rect) override;
    // Opening while open closes the first view and builds a new one in parent, so a host that
    // moves the editor to another window never ends up with two views on one controller.
    bool open(void* parent) override;
    // Harmless when closed.
    void close() override;

    View* GetView() const noexcept { return view; }
    HINSTANCE GetInstance() const noexcept { return instance; }

protected:
    // Creates the view window in parent; null on failure.
    virtual View* CreateView(HWND parent) = 0;
    void SetSize(SIZE size) noexcept;
    Model* GetModel() const noexcept { return model; }
    Controller* GetController() const noexcept { return controller; }

private:
    HINSTANCE instance;
    ULONG_PTR gdiplusToken = 0;
    Controller* controller;
    Model* model;
    View* view = nullptr; // cleared by the view itself when its window goes
    ERect rect{};
};

// ViewT provides:
//   static ViewT* Create(Model*, PluginCore*, HWND parent, HINSTANCE);
//   static SIZE PreferredSize(HINSTANCE);  // without GDI+: the size its window will have
template <typename ViewT> class Editor : public EditorBase {
public:
    Editor(Controller* controller, HINSTANCE instance) : EditorBase(controller, instance)
    {
        SetSize(ViewT::PreferredSize(instance));
    }

    ViewT* GetTypedView() const noexcept { return static_cast<ViewT*>(GetView()); }

protected:
    View* CreateView(HWND parent) override { return ViewT::Create(GetModel(), GetController(), parent, GetInstance()); }
};

} // namespace VstToolkit
