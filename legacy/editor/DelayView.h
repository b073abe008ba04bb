#pragma once

#include "legacy/controls/Knob.h"
#include "legacy/controls/Label.h"
#include "legacy/controls/SelectorButton.h"
#include "legacy/controls/Switch.h"
#include "legacy/editor/View.h"

namespace VovezEdeduvo {

// The delay's face: five knobs, eight switches, the two note-value buttons and the status line
// over the background picture, at the same places as in the 64-bit module.
class DelayView : public View {
public:
    // Not owned; any may be null (its controls are then 0 × 0).
    struct Pictures {
        const WindowToolkit::Picture* knob;
        const WindowToolkit::Picture* background;
        const WindowToolkit::Picture* syncButton;
        const WindowToolkit::Picture* syncLed;
        const WindowToolkit::Picture* toggle;
    };
    static constexpr int kControlCount = 15;
    static constexpr int kStatusFontHeight = 16;

    // The view window at (0, 0) of parent, with its controls, or null.
    static DelayView* Create(const Pictures& pictures, Model* model, HINSTANCE instance, HWND parent);
    ~DelayView() override;

    int OnCreate(CREATESTRUCTA* create) override;
    int OnPaint(HDC dc) override;
    int OnEraseBackground(WPARAM) override { return 1; }
    RECT GetMenuRect() const override;
    void SetStatusText(const char* text) override;
    void ShowAbout() override;

    WindowToolkit::Label* GetLabel() const noexcept { return label; }
    WindowToolkit::SelectorButton* GetSelectorButton(int which) const noexcept { return buttons[which]; }

private:
    DelayView(const Pictures& pictures, Model* model);

    Pictures pictures;
    WindowToolkit::SelectorButton* buttons[2] = {};
    WindowToolkit::Label* label = nullptr;
    HFONT font;
};

// The About box's dialog procedure: "OK" and Escape close it; a click on "Visit Website" opens
// the vendor's site and leaves it open.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace VovezEdeduvo
