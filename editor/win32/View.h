#pragma once
// The base of an editor's view on Win32: a toolkit window that keeps one control window per
// parameter, turns the controls' registered messages into the view's behaviour, shows the status
// line, and runs the MIDI Learn menu on each control and a view menu on a click area as Win32
// popup menus. What those mean is decided by EditorCore::ViewBehaviour.

#include "editor/CoreEditTarget.h"
#include "editor/ViewBehaviour.h"
#include "editor/win32/Window.h"
#include "framework/ParameterView.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

namespace WindowsToolkit {
class ParameterControl;
}

namespace VstToolkit {

class Model;
class PluginCore;

class View : public WindowsToolkit::Window, public ParameterView, protected EditorCore::StatusDisplay {
public:
    static constexpr int kStatusCapacity = EditorCore::ViewBehaviour::kStatusCapacity;
    static constexpr const char* kLearningText = EditorCore::ViewBehaviour::kLearningText;

    View(Model* model, PluginCore* core, int x, int y, int width, int height) noexcept;
    ~View() override;

    // ---- Building (user-interface thread, before the core knows the view) -------------
    // Binds control to its parameter, replacing an earlier control of the same parameter. The
    // map is read from other threads once the view is attached, so it never changes after.
    void AddParameterControl(WindowsToolkit::ParameterControl* control);
    WindowsToolkit::ParameterControl* GetParameterControl(int parameterIndex) const;
    // slot is cleared when the window is destroyed, whoever destroys it (the editor's pointer).
    void SetOwnerSlot(View** slot) noexcept { ownerSlot = slot; }

    // ---- ParameterView: any thread ----------------------------------------------------------
    // Stores the value in the parameter's control and invalidates it; posts nothing.
    void UpdateParameterControl(int parameterIndex, float value) override;
    // On the window's own thread shows text at once; from any other thread posts it to the
    // window, so text must outlive the message (the core passes constants).
    void SetStatusText(const char* text) override;

    // ---- User-interface thread --------------------------------------------------------------
    // Shows text in this view's status display. Base: a view without a display passes the text
    // on to its parent window, up to the first enclosing view that shows it.
    void ShowStatusText(const char* text) override;
    // The click area of the view menu in client coordinates; empty (no menu) in the base.
    virtual RECT GetMenuRect() const;
    virtual void ShowAbout();
    // After the user changed a parameter: the status line shows its new display string.
    virtual void OnParameterValueChanged(int parameterIndex, float value);
    // "long name: display label" of a parameter into the status buffer, then shown.
    void UpdateStatusText(int parameterIndex) { behaviour.UpdateStatusText(parameterIndex); }
    const char* GetStatusBuffer() const noexcept { return behaviour.GetStatusBuffer(); }

    int OnCreate(CREATESTRUCTA* create) override;
    int OnLButtonDown(UINT keys, POINT point) override; // opens the view menu inside GetMenuRect
    int OnDestroy() override;                           // detaches from the core
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    Model* GetModel() const noexcept { return model; }
    PluginCore* GetCore() const noexcept { return core; }

private:
    void OnParameterControlRightClicked(WindowsToolkit::ParameterControl& control);
    void ShowViewMenu(POINT point);
    // Shows the menu, then destroys it; viewGone tells that the view was destroyed meanwhile.
    UINT RunMenu(const EditorCore::Menu& entries, POINT screenPoint, bool& viewGone);
    void ClearAllMidiLearn();

    Model* model;
    PluginCore* core;
    EditorCore::CoreEditTarget target;
    EditorCore::ViewBehaviour behaviour;
    std::map<int32_t, WindowsToolkit::ParameterControl*> controls; // not owned: child windows
    View** ownerSlot = nullptr;
    std::atomic<DWORD> windowThread{0};
    // False once the object is gone: a menu or dialog loop may outlive its window (a host that
    // closes the editor from inside it), and the code after the loop must not touch us then.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

} // namespace VstToolkit
