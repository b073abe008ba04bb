#pragma once
// The editor's two menus as the user sees them, whatever draws them: the MIDI Learn menu a right
// click opens on a control, and the view menu a click on the title banner opens.

namespace EditorCore {

// Command identifiers; 0 is a dismissed menu.
enum ControlMenuCommand : unsigned { kMidiLearnCommand = 1, kForgetControllerCommand = 2 };
enum ViewMenuCommand : unsigned { kAboutCommand = 1, kCancelLearnCommand = 2, kClearAllLearnCommand = 3 };

struct MenuEntry {
    static constexpr int kTextCapacity = 128;
    unsigned command;
    char text[kTextCapacity];
};

// Plain items in order: no check marks, none greyed.
struct Menu {
    static constexpr int kMostEntries = 3;
    MenuEntry entries[kMostEntries];
    int count = 0;

    void Add(unsigned command, const char* text);
};

constexpr const char* kMidiLearnText = "MIDI Learn";
constexpr const char* kForgetControllerFormat = "Forget CC: %d";
constexpr const char* kAboutText = "About";
constexpr const char* kCancelLearnText = "Cancel MIDI Learn";
constexpr const char* kClearAllLearnText = "Clear All MIDI Learn";
// "Clear All MIDI Learn" asks first.
constexpr const char* kClearAllQuestion =
    "This will erase all MIDI Learn data for this bank. Are you sure you want to do this?";
constexpr const char* kClearAllCaption = "Warning!";

} // namespace EditorCore
