#include "editor/View.h"

#include "controls/Messages.h"
#include "controls/ParameterControl.h"
#include "framework/PluginCore.h"
#include "framework/Model.h"

#include <cstdio>

namespace VstToolkit {

namespace {

constexpr const char* kClearAllQuestion =
    "This will erase all MIDI Learn data for this bank. Are you sure you want to do this?";
constexpr const char* kClearAllCaption = "Warning!";
constexpr int kMenuTextCapacity = 128;

} // namespace

View::View(Model* model, PluginCore* core, int x, int y, int width, int height) noexcept
    : Window(x, y, width, height), model(model), core(core)
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

void View::UpdateStatusText(int parameterIndex)
{
    char display[Model::kDisplaySize + 1] = {};
    model->GetParameterDisplay(parameterIndex, display);
    std::snprintf(statusBuffer, sizeof statusBuffer, "%s: %s %s", model->GetParameterLongName(parameterIndex),
                  display, model->GetParameterLabel(parameterIndex));
    ShowStatusText(statusBuffer);
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
            core->OnViewParameterValueChanged(index, control->GetValue());
            OnParameterValueChanged(index, control->GetValue());
        } else if (message == UWM_PC_HOVER) {
            UpdateStatusText(index);
        } else if (message == UWM_PC_LEAVE) {
            ShowStatusText(model->IsLearningMidi() ? kLearningText : "");
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
    HWND controlWindow = control.GetHandle();
    POINT anchor{0, 0};
    ClientToScreen(controlWindow, &anchor);

    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_STRING, kMidiLearnCommand, "MIDI Learn");
    if (model->HasController(parameter)) {
        char text[kMenuTextCapacity];
        std::snprintf(text, sizeof text, "Forget CC: %d", model->ParameterToController(parameter));
        AppendMenuA(menu, MF_STRING, kForgetControllerCommand, text);
    }
    bool viewGone = false;
    const UINT command = RunMenu(menu, anchor, viewGone);
    if (viewGone)
        return;

    switch (command) {
    case 0:
        model->StopLearningMidi();
        ShowStatusText("");
        break;
    case kMidiLearnCommand:
        model->StartLearningMidi(parameter);
        ShowStatusText(kLearningText);
        break;
    case kForgetControllerCommand: {
        const int controllerNumber = model->ParameterToController(parameter);
        model->StopLearningMidi();
        if (controllerNumber >= 0)
            model->UnregisterMidiControllerMapping(controllerNumber);
        ShowStatusText("");
        break;
    }
    default:
        break;
    }
}

UINT View::RunMenu(HMENU menu, POINT screenPoint, bool& viewGone)
{
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
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_STRING, kAboutCommand, "About");
    if (model->IsLearningMidi())
        AppendMenuA(menu, MF_STRING, kCancelLearnCommand, "Cancel MIDI Learn");
    AppendMenuA(menu, MF_STRING, kClearAllLearnCommand, "Clear All MIDI Learn");
    bool viewGone = false;
    const UINT command = RunMenu(menu, anchor, viewGone);
    if (viewGone)
        return;

    switch (command) {
    case kAboutCommand:
        ShowAbout();
        break;
    case kCancelLearnCommand:
        model->StopLearningMidi();
        ShowStatusText("");
        break;
    case kClearAllLearnCommand:
        ClearAllMidiLearn();
        break;
    default:
        break;
    }
}

void View::ClearAllMidiLearn()
{
    const std::shared_ptr<bool> stillAlive = alive;
    const int answer = MessageBoxA(GetHandle(), kClearAllQuestion, kClearAllCaption, MB_OKCANCEL | MB_ICONWARNING);
    if (!*stillAlive || answer != IDOK)
        return;
    model->ClearMidiControllerMap();
    model->StopLearningMidi();
    ShowStatusText("");
}

} // namespace VstToolkit
