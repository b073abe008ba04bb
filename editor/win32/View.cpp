#include "editor/win32/View.h"

#include "editor/win32/Messages.h"
#include "editor/win32/ParameterControl.h"
#include "framework/Model.h"
#include "framework/PluginCore.h"

namespace VstToolkit {

View::View(Model* model, PluginCore* core, int x, int y, int width, int height) noexcept
    : Window(x, y, width, height), model(model), core(core), target(*model, *core), behaviour(target, *this)
{
}

View::~View()
{
    *alive = false;
}

void View::AddParameterControl(WindowsToolkit::ParameterControl* control)
{
    if (control != nullptr)
        controls[control->GetParameterIndex()] = control;
}

WindowsToolkit::ParameterControl* View::GetParameterControl(int parameterIndex) const
{
    const auto found = controls.find(parameterIndex);
    return found != controls.end() ? found->second : nullptr;
}

void View::UpdateParameterControl(int parameterIndex, float value)
{
    if (WindowsToolkit::ParameterControl* control = GetParameterControl(parameterIndex))
        control->SetValue(value, false);
}

void View::SetStatusText(const char* text)
{
    if (GetCurrentThreadId() == windowThread.load(std::memory_order_relaxed)) {
        ShowStatusText(text);
        return;
    }
    // Never a sent message: the audio thread must not wait for the window's thread.
    if (HWND window = GetHandle())
        PostMessageA(window, WindowsToolkit::UWM_VIEW_STATUS_TEXT_CHANGED, 0, reinterpret_cast<LPARAM>(text));
}

void View::ShowStatusText(const char* text)
{
    HWND parent = GetParent(GetHandle());
    if (parent != nullptr)
        PostMessageA(parent, WindowsToolkit::UWM_VIEW_STATUS_TEXT_CHANGED, 0, reinterpret_cast<LPARAM>(text));
}

RECT View::GetMenuRect() const
{
    return RECT{0, 0, 0, 0};
}

void View::ShowAbout() {}

void View::OnParameterValueChanged(int parameterIndex, float)
{
    UpdateStatusText(parameterIndex);
}

int View::OnCreate(CREATESTRUCTA*)
{
    windowThread.store(GetCurrentThreadId(), std::memory_order_relaxed);
    return 1;
}

int View::OnLButtonDown(UINT, POINT point)
{
    const RECT menuRect = GetMenuRect();
    if (!PtInRect(&menuRect, point))
        return 0;
    ShowViewMenu(point);
    return 1;
}

int View::OnDestroy()
{
    // A host may destroy its own window, and ours with it, without closing the editor first.
    if (core->GetView() == static_cast<ParameterView*>(this))
        core->SetView(nullptr);
    if (ownerSlot != nullptr && *ownerSlot == this)
        *ownerSlot = nullptr;
    return 0;
}

LRESULT View::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace WindowsToolkit;
    if (message == 0)
        return Window::WindowProc(message, wParam, lParam);
    if (message == UWM_VIEW_STATUS_TEXT_CHANGED) {
        ShowStatusText(reinterpret_cast<const char*>(lParam));
        return 0;
    }
    if (message == UWM_PC_VALUE_CHANGED || message == UWM_PC_HOVER || message == UWM_PC_LEAVE ||
        message == UWM_PC_RIGHT_CLICKED) {
        // Trust the map, not the pointer in the message: only our own controls count.
        const int index = static_cast<int>(wParam);
        ParameterControl* control = GetParameterControl(index);
        if (control == nullptr || control != reinterpret_cast<ParameterControl*>(lParam))
            return 0;
        if (message == UWM_PC_VALUE_CHANGED) {
            target.EditFromView(index, control->GetValue());
            OnParameterValueChanged(index, control->GetValue());
        } else if (message == UWM_PC_HOVER) {
            UpdateStatusText(index);
        } else if (message == UWM_PC_LEAVE) {
            behaviour.OnLeave();
        } else {
            OnParameterControlRightClicked(*control);
        }
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}

void View::OnParameterControlRightClicked(WindowsToolkit::ParameterControl& control)
{
    const int parameter = control.GetParameterIndex();
    POINT anchor{0, 0};
    ClientToScreen(control.GetHandle(), &anchor);
    bool viewGone = false;
    const UINT command = RunMenu(behaviour.ControlMenu(parameter), anchor, viewGone);
    if (!viewGone)
        behaviour.OnControlMenuCommand(parameter, command);
}

UINT View::RunMenu(const EditorCore::Menu& entries, POINT screenPoint, bool& viewGone)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        viewGone = true; // nothing was shown: nothing to answer either
        return 0;
    }
    for (int i = 0; i < entries.count; ++i)
        AppendMenuA(menu, MF_STRING, entries.entries[i].command, entries.entries[i].text);
    // The menu's loop runs messages: the host may close the editor before it returns.
    const std::shared_ptr<bool> stillAlive = alive;
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, screenPoint.x, screenPoint.y, 0, GetHandle(), nullptr));
    DestroyMenu(menu);
    viewGone = !*stillAlive;
    return command;
}

void View::ShowViewMenu(POINT point)
{
    POINT anchor = point;
    ClientToScreen(GetHandle(), &anchor);
    bool viewGone = false;
    const UINT command = RunMenu(behaviour.ViewMenu(), anchor, viewGone);
    if (viewGone)
        return;
    switch (behaviour.OnViewMenuCommand(command)) {
    case EditorCore::ViewBehaviour::ViewMenuAction::kShowAbout:
        ShowAbout();
        break;
    case EditorCore::ViewBehaviour::ViewMenuAction::kAskToClearAll:
        ClearAllMidiLearn();
        break;
    case EditorCore::ViewBehaviour::ViewMenuAction::kNothing:
        break;
    }
}

void View::ClearAllMidiLearn()
{
    const std::shared_ptr<bool> stillAlive = alive;
    const int answer = MessageBoxA(GetHandle(), EditorCore::kClearAllQuestion, EditorCore::kClearAllCaption,
                                   MB_OKCANCEL | MB_ICONWARNING);
    if (!*stillAlive || answer != IDOK)
        return;
    behaviour.OnClearAllConfirmed();
}

} // namespace VstToolkit
