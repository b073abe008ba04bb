#include "legacy/editor/View.h"

#include <cstdio>

namespace VovezEdeduvo {

namespace {

constexpr const char kLearningText[] = "Learning...";
constexpr const char kClearAllQuestion[] =
    "This will erase all MIDI Learn data for this bank. Are you sure you want to do this?";
constexpr const char kClearAllCaption[] = "Warning!";

} // namespace

View::View(Model* model) : model(model)
{
    observing = model != nullptr && model->AddObserver(this);
}

View::~View()
{
    Detach();
    if (goneFlag != nullptr)
        *goneFlag = true;
}

void View::Detach()
{
    // Once this returns no thread is inside OnParameterChanged: the model notifies under its
    // lock, which RemoveObserver takes.
    if (observing)
        model->RemoveObserver(this);
    observing = false;
    if (ownerSlot != nullptr && *ownerSlot == this)
        *ownerSlot = nullptr;
    ownerSlot = nullptr;
}

int View::OnDestroy()
{
    // A host may destroy its window, and ours with it, without closing the editor.
    Detach();
    return 0;
}

// --- the queue ---

void View::OnParameterChanged(Model*, int32_t index, float value)
{
    if (index < 0 || index >= kMaxParameters)
        return;
    Platform::ScopedLock<Platform::RecursiveLock> held(updateLock);
    // The latest value replaces an earlier one and moves to the end; a pending update-all
    // entry stays, whatever parameter follows it.
    int32_t kept = 0;
    for (int32_t i = 0; i < pendingCount; ++i)
        if (pending[i].all || pending[i].index != index)
            pending[kept++] = pending[i];
    pendingCount = kept;
    if (pendingCount < kMaxParameters + 1)
        pending[pendingCount++] = Update{false, index, value};
}

void View::OnProgramChanged(Model*)
{
    Platform::ScopedLock<Platform::RecursiveLock> held(updateLock);
    pending[0] = Update{true, 0, 0.0f};
    pendingCount = 1;
}

void View::FlushUpdates()
{
    // Copied out under the lock and posted after it: the audio thread, which may queue a learned
    // controller's change, never waits for the window system.
    Update taken[kMaxParameters + 1];
    int32_t count = 0;
    {
        Platform::ScopedLock<Platform::RecursiveLock> held(updateLock);
        count = pendingCount;
        for (int32_t i = 0; i < count; ++i)
            taken[i] = pending[i];
        pendingCount = 0;
    }
    HWND window = GetHandle();
    if (window == nullptr)
        return;
    for (int32_t i = 0; i < count; ++i) {
        if (taken[i].all)
            PostMessageA(window, WindowToolkit::WM_VIEW_UPDATE_ALL, 0, 0);
        else
            PostMessageA(window, WindowToolkit::WM_VIEW_UPDATE_PARAMETER, static_cast<WPARAM>(taken[i].index),
                         WindowToolkit::FloatToLParam(taken[i].value));
    }
}

LRESULT View::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WindowToolkit::WM_VIEW_UPDATE_PARAMETER) {
        UpdateParameterControl(static_cast<int32_t>(wParam), WindowToolkit::LParamToFloat(lParam));
        return 0;
    }
    if (message == WindowToolkit::WM_VIEW_UPDATE_ALL) {
        UpdateAllControls();
        return 0;
    }
    return DefWindowProcA(GetHandle(), message, wParam, lParam);
}

// --- controls ---

void View::AddControl(WindowToolkit::ValueControl* control)
{
    if (control != nullptr)
        controls.emplace(control->GetIdentifier(), control);
}

WindowToolkit::ValueControl* View::GetControl(int32_t index) const
{
    const auto found = controls.find(index);
    return found != controls.end() ? found->second : nullptr;
}

bool View::IsOwnControl(const WindowToolkit::ValueControl* control) const
{
    if (control == nullptr)
        return false;
    const auto range = controls.equal_range(control->GetIdentifier());
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == control)
            return true;
    return false;
}

void View::UpdateParameterControl(int32_t index, float value)
{
    if (index < 0 || index >= model->GetParameterCount())
        return;
    const auto range = controls.equal_range(index);
    for (auto it = range.first; it != range.second; ++it)
        it->second->SetValue(value);
    UpdateStatusText(index);
}

void View::UpdateAllControls()
{
    for (int32_t i = 0; i < model->GetParameterCount(); ++i)
        UpdateParameterControl(i, model->GetParameterValue(i));
}

void View::UpdateStatusText(int32_t index)
{
    model->GetParameterLongName(index, longName, sizeof longName);
    model->GetParameterDisplay(index, display, sizeof display);
    model->GetParameterLabel(index, label, sizeof label);
    std::snprintf(statusText, sizeof statusText, "%s: %s %s", longName, display, label);
    SetStatusText(statusText);
}

void View::SetStatusText(const char*) {}

RECT View::GetMenuRect() const
{
    return RECT{0, 0, 0, 0};
}

// --- messages from the controls ---
// Only pointers of controls this view made are followed: the numbers are plain WM_APP ones.

void View::OnControlValueChanged(WindowToolkit::ValueControl* control, float value)
{
    if (!IsOwnControl(control))
        return;
    const int32_t index = control->GetIdentifier();
    {
        Platform::ScopedLock<Model> held(*model);
        model->SetParameterValue(index, value);
        // The host hears of it through the plug-in; the view knows already.
        model->NotifyParameterChanged(this, index);
    }
    UpdateStatusText(index);
}

void View::OnControlMouseHover(WindowToolkit::ValueControl* control)
{
    if (IsOwnControl(control) && !model->IsLearning())
        UpdateStatusText(control->GetIdentifier());
}

void View::OnControlMouseLeave(WindowToolkit::ValueControl* control)
{
    if (IsOwnControl(control) && !model->IsLearning())
        SetStatusText("");
}

bool View::RunMenu(HMENU menu, POINT anchor, UINT& command)
{
    // The menu's loop dispatches messages: the host may close the editor before it returns.
    bool gone = false;
    goneFlag = &gone;
    command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, anchor.x, anchor.y, 0, GetHandle(), nullptr));
    DestroyMenu(menu);
    if (gone)
        return false;
    goneFlag = nullptr;
    return true;
}

void View::OnControlRightClicked(WindowToolkit::ValueControl* control)
{
    if (!IsOwnControl(control))
        return;
    const int32_t index = control->GetIdentifier();
    POINT anchor{0, 0};
    ClientToScreen(control->GetHandle(), &anchor);

    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_STRING, kMidiLearnCommand, "MIDI Learn");
    if (model->IsMapped(index)) {
        char text[128];
        std::snprintf(text, sizeof text, "Forget CC: %d", model->GetController(index) & 0xFF);
        AppendMenuA(menu, MF_STRING, kForgetCommand, text);
    }
    UINT command = 0;
    if (!RunMenu(menu, anchor, command))
        return;

    Platform::ScopedLock<Model> held(*model);
    switch (command) {
    case 0:
        model->SetLearning(false);
        SetStatusText("");
        break;
    case kMidiLearnCommand:
        model->SetLearnParameter(index);
        model->SetLearning(true);
        SetStatusText(kLearningText);
        break;
    case kForgetCommand:
        model->SetLearning(false);
        model->Unmap(index);
        SetStatusText("");
        break;
    default:
        break;
    }
}

int View::OnLButtonDown(WPARAM, int x, int y)
{
    const RECT menuRect = GetMenuRect();
    if (!PtInRect(&menuRect, POINT{x, y}))
        return 0;
    ShowViewMenu(x, y);
    return 1;
}

void View::ShowViewMenu(int x, int y)
{
    POINT anchor{x, y};
    ClientToScreen(GetHandle(), &anchor);
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_STRING, kAboutCommand, "About");
    AppendMenuA(menu, MF_STRING, kCancelLearnCommand, "Cancel MIDI Learn");
    AppendMenuA(menu, MF_STRING, kClearAllCommand, "Clear All MIDI Learn");
    UINT command = 0;
    if (!RunMenu(menu, anchor, command))
        return;

    if (command == kAboutCommand) {
        bool gone = false;
        goneFlag = &gone;
        ShowAbout();
        if (!gone)
            goneFlag = nullptr;
        return;
    }
    if (command == kClearAllCommand) {
        bool gone = false;
        goneFlag = &gone;
        const int answer =
            MessageBoxA(GetHandle(), kClearAllQuestion, kClearAllCaption, MB_OKCANCEL | MB_ICONWARNING);
        if (gone)
            return;
        goneFlag = nullptr;
        if (answer != IDOK)
            return;
    } else if (command != kCancelLearnCommand) {
        return;
    }
    Platform::ScopedLock<Model> held(*model);
    if (command == kClearAllCommand)
        model->Clear();
    if (model->IsLearning()) {
        model->SetLearning(false);
        SetStatusText("");
    }
}

} // namespace VovezEdeduvo
