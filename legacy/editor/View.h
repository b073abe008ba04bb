#pragma once

#include "legacy/controls/ValueControl.h"
#include "legacy/framework/Model.h"
#include "legacy/framework/ModelObserverInterface.h"
#include "platform/RecursiveLock.h"

#include <map>

namespace VovezEdeduvo {

// The editor's window: keeps the controls in step with the model, the status line and the MIDI
// Learn menus. Changes made elsewhere (host automation, programs, learned controllers) arrive
// on any thread and are only queued; the editor's idle turns the queue into messages to this
// window, so no other thread ever touches a window.
class View : public WindowToolkit::Window, public ModelObserverInterface {
public:
    // The queue holds one entry per parameter and the update-all entry: it never grows.
    static constexpr int32_t kMaxParameters = 128;
    static constexpr int kMidiLearnCommand = 1;
    static constexpr int kForgetCommand = 2;
    static constexpr int kAboutCommand = 1;
    static constexpr int kCancelLearnCommand = 2;
    static constexpr int kClearAllCommand = 3;

    explicit View(Model* model);
    ~View() override;

    // --- user-interface thread ---
    // Posts what is queued to this window, in queue order, and empties the queue.
    void FlushUpdates();
    virtual RECT GetMenuRect() const;
    virtual void SetStatusText(const char* text);
    virtual void UpdateParameterControl(int32_t index, float value);
    virtual void UpdateAllControls();
    virtual void ShowAbout() {}
    const char* GetStatusText() const noexcept { return statusText; }
    // The controls that show a parameter: the first one, or null.
    WindowToolkit::ValueControl* GetControl(int32_t index) const;
    // Cleared when the view goes, so an owner never keeps a dangling pointer.
    void SetOwnerSlot(View** slot) noexcept { ownerSlot = slot; }

    // --- any thread: only the queue is touched ---
    void OnParameterChanged(Model* model, int32_t index, float value) override;
    void OnProgramChanged(Model* model) override;

    // --- window messages ---
    int OnLButtonDown(WPARAM keys, int x, int y) override;
    int OnDestroy() override;
    void OnControlValueChanged(WindowToolkit::ValueControl* control, float value) override;
    void OnControlMouseHover(WindowToolkit::ValueControl* control) override;
    void OnControlMouseLeave(WindowToolkit::ValueControl* control) override;
    void OnControlRightClicked(WindowToolkit::ValueControl* control) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    Model* GetModel() const noexcept { return model; }
    void AddControl(WindowToolkit::ValueControl* control);
    void UpdateStatusText(int32_t index);

private:
    struct Update {
        bool all;
        int32_t index;
        float value;
    };
    // A control of ours, not just any pointer a message carries.
    bool IsOwnControl(const WindowToolkit::ValueControl* control) const;
    void Detach();
    // TrackPopupMenu with TPM_RETURNCMD at a screen point; false when the view went meanwhile.
    bool RunMenu(HMENU menu, POINT anchor, UINT& command);
    void ShowViewMenu(int x, int y);

    Update pending[kMaxParameters + 1];
    int32_t pendingCount = 0;
    std::multimap<int32_t, WindowToolkit::ValueControl*> controls;
    Platform::RecursiveLock updateLock;
    Model* model;
    bool observing = false;
    View** ownerSlot = nullptr;
    // Set by the destructor, seen by a menu or box loop that outlives the view.
    bool* goneFlag = nullptr;
    char longName[64] = {};
    char display[8] = {};
    char label[8] = {};
    char statusText[512] = {};
};

} // namespace VovezEdeduvo
