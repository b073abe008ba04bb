#pragma once
// The status line's toolkit window: a Controls::StatusText drawn with a GDI font of its own.

#include "controls/StatusText.h"
#include "editor/win32/GraphicsControl.h"

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
    void SetText(const char* text) { Text().SetText(text); }
    const char* GetText() const noexcept { return Text().GetText(); }
    // Single line, bottom-aligned one pixel above the bottom edge, left-aligned, clipped.
    void Draw(Pictures::Graphics& graphics) override;

    static constexpr int kTextCapacity = Controls::StatusText::kTextCapacity;
    static constexpr int kFontHeight = Controls::StatusText::kStyle.cellHeight;
    static constexpr COLORREF kTextColour =
        RGB((Controls::StatusText::kStyle.colour >> 16) & 0xFF, (Controls::StatusText::kStyle.colour >> 8) & 0xFF,
            Controls::StatusText::kStyle.colour & 0xFF);

private:
    Controls::StatusText& Text() const noexcept { return static_cast<Controls::StatusText&>(GetControl()); }

    HFONT font;
};

} // namespace WindowsToolkit
