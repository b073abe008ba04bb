#pragma once
// What a control draws on, whatever the window system: a surface of one drawing library in the
// control's own pixels ((0, 0) its top-left corner), already holding the piece of the background
// picture that lies under the control.

#include "pictures/Geometry.h"

#include <cstdint>

namespace Pictures {

// A decoded picture of some drawing library; only its size is the same everywhere.
class Picture {
public:
    virtual ~Picture() = default;
    // 0 × 0 when nothing is loaded.
    virtual Size GetSize() const noexcept = 0;
};

// How a control wants a line of text to look.
struct TextStyle {
    const char* face; // font family
    int cellHeight;   // pixels from the top of a line's cell to the bottom of its descenders
    uint32_t colour;  // 0xRRGGBB
};

class Canvas {
public:
    virtual ~Canvas() = default;
    // Draws the source rectangle of picture with its top-left corner at `at`, one picture pixel
    // per surface pixel, blended over what is there by the picture's alpha. A picture of another
    // drawing library, or one with nothing loaded, draws nothing.
    virtual void DrawPicture(const Picture& picture, Rect source, Point at) = 0;
    // One line of text, left-aligned, the bottom of its cell on area's bottom edge, clipped to
    // the surface, never wrapped.
    virtual void DrawTextLine(const char* text, Rect area, const TextStyle& style) = 0;
};

} // namespace Pictures
