#pragma once
// One line of white text over the background: the parameter under the pointer and its value.

#include "controls/GraphicsControl.h"

namespace WindowsToolkit {

class StatusControl : public GraphicsControl {
public:
    // Creates the control's window at rectangle (left, top, width, height in the parent's
    // client coordinates). Null when the window cannot be created. User-interface thread.
    static StatusControl* Create(const Pictures::ImageResource* background, const RECT& rectangle, HWND parent,
                                 HINSTANCE instance);

    StatusControl(const Pictures::ImageResource* background, int x, int y, int width, int height);
    ~StatusControl() override;

    // ---- User-interface thread ----------------------------------------------------------
    // Copies text (at most kTextCapacity - 1 characters survive) and repaints. Not for other
    // threads: a view that learns a text elsewhere hands it over by a posted message first.
    void SetText(const char* text);
    const char* GetText() const noexcept { return text; }
    // Single line, bottom-aligned one pixel above the bottom edge, left-aligned, clipped.
    void Draw(Pictures::Graphics& graphics) override;

    static constexpr int kTextCapacity = 512;
    static constexpr int kFontHeight = 15;
    static constexpr COLORREF kTextColour = RGB(255, 255, 255);

private:
    HFONT font;
    char text[kTextCapacity] = {};
};

} // namespace WindowsToolkit
