#pragma once

#include "legacy/controls/Picture.h"
#include "legacy/controls/Window.h"

namespace WindowToolkit {

// A control that shows one parameter's normalised value and tells its parent (the view) when
// the user changes it.
class ValueControl : public Window {
public:
    ValueControl(int identifier, float defaultValue) noexcept : identifier(identifier), defaultValue(defaultValue) {}

    int GetIdentifier() const noexcept { return identifier; }
    float GetDefaultValue() const noexcept { return defaultValue; }
    virtual float GetValue() const = 0;
    // Stores and repaints; never notifies.
    virtual void SetValue(float value) = 0;
    // Which film-strip frame the value shows.
    virtual int GetFrameIndex() const = 0;

    // Posts WM_VC_VALUE_CHANGED with GetValue to the parent.
    void PostValueChanged() const;

    int OnMouseHover(WPARAM, int, int) override;
    int OnMouseLeave() override;

protected:
    void PostToParent(UINT message, LPARAM lParam = 0) const;

private:
    int identifier;
    float defaultValue;
};

} // namespace WindowToolkit
