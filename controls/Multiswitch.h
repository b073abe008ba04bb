#pragma once
// A switch of n states, one strip frame per state: a click (or a drag across the bands)
// selects the state whose band lies under the pointer, the wheel steps one state at a time.

#include "controls/GraphicsParameterControl.h"

#include <atomic>
#include <vector>

namespace WindowsToolkit {

class Multiswitch : public GraphicsParameterControl {
public:
    // As Knob::Create, with window class "MorlentWindowsToolkitMultiswitch".
    static Multiswitch* Create(const Pictures::ImageResource* background, int parameterIndex, float defaultValue,
                               float initialValue, const ImageStrip* strip, int x, int y, HWND parent,
                               HINSTANCE instance);

    // The bands come from the strip: vertical strips put state 0 at the bottom, horizontal
    // ones at the left.
    Multiswitch(const Pictures::ImageResource* background, const ImageStrip* strip, int parameterIndex, float defaultValue,
                int x, int y);

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
    int OnLButtonDown(UINT keys, POINT point) override; // Ctrl: reset, else select; always captures
    int OnMouseMove(UINT keys, POINT point) override;   // drag-select, or re-arm hover tracking
    int OnMouseWheel(UINT keys, short delta, POINT point) override;
    void Draw(Pictures::Graphics& graphics) override;

private:
    // Selects the state under point if it differs from the current one, and reports it.
    void SelectAt(POINT point);
    unsigned StateCount() const noexcept;

    std::vector<RECT> hitRectangles; // one per state, client coordinates
    std::atomic<int> selectedIndex{0};
};

} // namespace WindowsToolkit
