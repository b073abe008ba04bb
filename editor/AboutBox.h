#pragma once
// The About box as the user sees it, whatever draws it: the About picture filling the box, and
// two buttons on its lower part. The Win32 build shows it from its dialog template, which holds
// the same facts in dialog units; a backend without dialogs draws it from these.

#include "description/EffectDescription.h"
#include "pictures/Geometry.h"

namespace EditorCore {

constexpr char kAboutCaption[] = "About Morlent Delay";
// The About picture's size: the template's 293 × 276 dialog units in its 8-point font.
constexpr Pictures::Size kAboutSize{440, 449};

struct AboutButton {
    int command;
    const char* text;
    Pictures::Rect area; // pixels inside the box
};

// The template's buttons at 52, 224 and 183, 224, each 50 × 14 dialog units; a dialog unit of
// that font is 6/4 pixel across and 13/8 pixel down, rounded as the dialog manager rounds.
constexpr AboutButton kAboutButtons[] = {
    {MorlentDelay::kVisitWebsiteId, "Visit Website", {78, 364, 153, 387}},
    {MORLENT_OK_ID, "OK", {275, 364, 350, 387}},
};
constexpr int kAboutButtonCount = 2;
// Escape and the close box answer with this, as a dialog's cancel does.
constexpr int kAboutCancelCommand = 2;

enum class AboutAction { kNothing, kVisitWebsite, kClose };

// What a command of the box means: the website opens beside the box, which stays; OK and cancel
// close it.
constexpr AboutAction AboutCommand(int command)
{
    if (command == MorlentDelay::kVisitWebsiteId)
        return AboutAction::kVisitWebsite;
    if (command == MORLENT_OK_ID || command == kAboutCancelCommand)
        return AboutAction::kClose;
    return AboutAction::kNothing;
}

} // namespace EditorCore
