#pragma once
// One line of white text over the background: the parameter under the pointer and its value.

#include "controls/Control.h"

namespace Controls {

class StatusText : public Control {
public:
    static constexpr int kTextCapacity = 512;
    // Arial's cell 15 pixels high, white: the status line's look on every system.
    static constexpr Pictures::TextStyle kStyle{"Arial", 15, 0xFFFFFF};

    explicit StatusText(Rect bounds) noexcept : Control(bounds) {}

    // ---- User-interface thread ----------------------------------------------------------
    // Copies text (at most kTextCapacity - 1 characters survive; null is empty) and repaints.
    void SetText(const char* text);
    const char* GetText() const noexcept { return text; }
    // Where the line goes in the control: its bottom one pixel above the control's.
    Rect TextArea() const noexcept { return Rect{0, 0, GetSize().width, GetSize().height - 1}; }
    // Single line, bottom-aligned in TextArea, left-aligned, clipped.
    void Draw(Pictures::Canvas& canvas) override;

private:
    char text[kTextCapacity] = {};
};

} // namespace Controls
