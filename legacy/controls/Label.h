#pragma once

#include "legacy/controls/Picture.h"
#include "legacy/controls/Window.h"

namespace WindowToolkit {

// One line of white text over the background piece under it, at the bottom of its area.
class Label : public Window {
public:
    static constexpr int kTextCapacity = 512;
    static constexpr COLORREF kTextColour = RGB(255, 255, 255);

    // font is not owned.
    static Label* Create(const Picture* background, HFONT font, int x, int y, int width, int height, HWND parent,
                         HINSTANCE instance);

    // Keeps at most 511 characters.
    void SetText(const char* newText);
    const char* GetText() const noexcept { return text; }

    int OnPaint(HDC dc) override;
    int OnEraseBackground(WPARAM) override { return 1; }

private:
    Label(const Picture* background, HFONT font) noexcept : background(background), font(font) {}

    const Picture* background;
    HFONT font;
    char text[kTextCapacity] = {};
};

} // namespace WindowToolkit
