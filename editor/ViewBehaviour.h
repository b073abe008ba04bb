#pragma once
// What the editor's view does, written once for every window system: what the controls' notices
// mean to the plug-in, what the status line says, which entries the menus offer and what their
// commands do. A backend shows the results: it hands this class its controls' notices and the
// menus' answers, and shows the texts it is given.

#include "editor/EditTarget.h"
#include "editor/Menus.h"

namespace EditorCore {

// Where the status line's text goes. User-interface thread.
class StatusDisplay {
public:
    virtual void ShowStatusText(const char* text) = 0;

protected:
    ~StatusDisplay() = default;
};

class ViewBehaviour {
public:
    static constexpr int kStatusCapacity = 256;
    static constexpr const char* kLearningText = "Learning...";

    // What a view-menu command asks the backend to do next.
    enum class ViewMenuAction { kNothing, kShowAbout, kAskToClearAll };

    // Neither is owned; both outlive this object.
    ViewBehaviour(EditTarget& target, StatusDisplay& display) noexcept : target(target), display(display) {}

    // ---- User-interface thread ----------------------------------------------------------------
    // The user changed the control of parameter to value: the plug-in hears it, and the status
    // line shows the new display text (value as the control reads back, once the plug-in took it).
    void OnValueChanged(int parameter, float value);
    // "long name: display label" of parameter into the status buffer, then shown.
    void UpdateStatusText(int parameter);
    // The pointer left a control: the status line empties, or says that learning goes on.
    void OnLeave();
    const char* GetStatusBuffer() const noexcept { return statusBuffer; }

    // The MIDI Learn menu of parameter's control: "MIDI Learn", and "Forget CC: n" when a
    // controller is bound to it.
    Menu ControlMenu(int parameter) const;
    // The answer of that menu (0 when it was dismissed).
    void OnControlMenuCommand(int parameter, unsigned command);
    // "About", "Cancel MIDI Learn" while learning, "Clear All MIDI Learn".
    Menu ViewMenu() const;
    ViewMenuAction OnViewMenuCommand(unsigned command);
    // The user agreed to clear every binding.
    void OnClearAllConfirmed();

    EditTarget& GetTarget() const noexcept { return target; }

private:
    EditTarget& target;
    StatusDisplay& display;
    char statusBuffer[kStatusCapacity] = {};
};

} // namespace EditorCore
