#pragma once
// A switch of n states, one strip frame per state: a click (or a drag across the bands) selects
// the state whose band lies under the pointer, the wheel steps one state at a time.

#include "controls/ParameterControl.h"
#include "pictures/ImageStrip.h"

#include <atomic>
#include <vector>

namespace Controls {

class Multiswitch : public ParameterControl {
public:
    // strip is not owned; the switch is the size of its frames, and the bands come from it:
    // vertical strips put state 0 at the bottom, horizontal ones at the left.
    Multiswitch(const Pictures::ImageStrip* strip, int parameterIndex, float defaultValue, Point position);

    // ---- Any thread (notify false), see ParameterControl -------------------------------------
    float GetValue() const override;
    // Selects trunc(value × n) (at most the last state); a value that keeps the state neither
    // repaints nor notifies.
    void SetValue(float value, bool notify) override;
    int GetIndex() const override;
    void SetIndex(int index, bool notify) override; // no range check
    int GetMaxIndex() const override;
    int GetMinIndex() const override;

    // ---- User-interface thread --------------------------------------------------------------
    void ResetToDefault() override;
    bool OnLeftButtonDown(Point point, Modifiers keys) override; // Ctrl: reset, else select; always captures
    bool OnPointerMove(Point point, Modifiers keys, bool leftButton) override; // drag-select, or hover tracking
    // One state per wheel event, stopping at the ends; declined while the pointer is outside.
    bool OnWheel(short delta, Modifiers keys) override;
    void Draw(Pictures::Canvas& canvas) override;

    // The state whose band holds point (control coordinates), or -1.
    int StateAt(Point point) const noexcept;

private:
    // Selects the state under point if it differs from the current one, and reports it.
    void SelectAt(Point point);
    unsigned StateCount() const noexcept;

    const Pictures::ImageStrip* strip;
    std::vector<Rect> hitRectangles; // one per state, control coordinates
    std::atomic<int> selectedIndex{0};
};

} // namespace Controls
