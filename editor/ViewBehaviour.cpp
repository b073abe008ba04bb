#include "editor/ViewBehaviour.h"

#include "common/FixedString.h"

#include <cstdio>

namespace EditorCore {

void Menu::Add(unsigned command, const char* text)
{
    if (count >= kMostEntries)
        return;
    entries[count].command = command;
    Morlent::CopyFixedString(entries[count].text, text, MenuEntry::kTextCapacity);
    ++count;
}

void ViewBehaviour::OnValueChanged(int parameter, float value)
{
    target.EditFromView(parameter, value);
    UpdateStatusText(parameter);
}

void ViewBehaviour::UpdateStatusText(int parameter)
{
    char text[MorlentDelay::kDisplaySize + 1] = {};
    target.GetDisplay(parameter, text);
    std::snprintf(statusBuffer, sizeof statusBuffer, "%s: %s %s", target.GetLongName(parameter), text,
                  target.GetLabel(parameter));
    display.ShowStatusText(statusBuffer);
}

void ViewBehaviour::OnLeave()
{
    display.ShowStatusText(target.IsLearningMidi() ? kLearningText : "");
}

Menu ViewBehaviour::ControlMenu(int parameter) const
{
    Menu menu;
    menu.Add(kMidiLearnCommand, kMidiLearnText);
    const int controller = target.ControllerOf(parameter);
    if (controller >= 0) {
        char text[MenuEntry::kTextCapacity];
        std::snprintf(text, sizeof text, kForgetControllerFormat, controller);
        menu.Add(kForgetControllerCommand, text);
    }
    return menu;
}

void ViewBehaviour::OnControlMenuCommand(int parameter, unsigned command)
{
    switch (command) {
    case 0:
        target.StopLearningMidi();
        display.ShowStatusText("");
        break;
    case kMidiLearnCommand:
        target.StartLearningMidi(parameter);
        display.ShowStatusText(kLearningText);
        break;
    case kForgetControllerCommand: {
        const int controllerNumber = target.ControllerOf(parameter);
        target.StopLearningMidi();
        if (controllerNumber >= 0)
            target.ForgetController(controllerNumber);
        display.ShowStatusText("");
        break;
    }
    default:
        break;
    }
}

Menu ViewBehaviour::ViewMenu() const
{
    Menu menu;
    menu.Add(kAboutCommand, kAboutText);
    if (target.IsLearningMidi())
        menu.Add(kCancelLearnCommand, kCancelLearnText);
    menu.Add(kClearAllLearnCommand, kClearAllLearnText);
    return menu;
}

ViewBehaviour::ViewMenuAction ViewBehaviour::OnViewMenuCommand(unsigned command)
{
    switch (command) {
    case kAboutCommand:
        return ViewMenuAction::kShowAbout;
    case kCancelLearnCommand:
        target.StopLearningMidi();
        display.ShowStatusText("");
        return ViewMenuAction::kNothing;
    case kClearAllLearnCommand:
        return ViewMenuAction::kAskToClearAll;
    default:
        return ViewMenuAction::kNothing;
    }
}

void ViewBehaviour::OnClearAllConfirmed()
{
    target.ClearMidiControllers();
    target.StopLearningMidi();
    display.ShowStatusText("");
}

} // namespace EditorCore
