#pragma once
// The delay editor's controls on one drawing surface, for a backend that gives the whole editor a
// single window: the layout's controls built once, their strips, and which control lies under a
// point, in the stacking a Win32 view gives its child windows (the first made lies on top).

#include "controls/IncrementButton.h"
#include "controls/ParameterControl.h"
#include "controls/StatusText.h"
#include "editor/DelayLayout.h"
#include "pictures/ImageStrip.h"

#include <memory>
#include <vector>

namespace EditorCore {

class EditTarget;

// The skin's pictures, by SkinPicture; not owned, and any of them may be empty.
struct SkinPictures {
    const Pictures::Picture* pictures[kSkinPictureCount] = {};
    const Pictures::Picture* Of(SkinPicture which) const { return pictures[static_cast<int>(which)]; }
};

class DelayControls {
public:
    // Builds every control of the layout showing target's values. User-interface thread.
    DelayControls(const SkinPictures& skin, const EditTarget& target);
    DelayControls(const DelayControls&) = delete;
    DelayControls& operator=(const DelayControls&) = delete;

    // ---- User-interface thread --------------------------------------------------------------
    // In creation order: the parameter controls, the two buttons, the status line.
    int Count() const noexcept { return static_cast<int>(controls.size()); }
    Controls::Control& At(int index) const noexcept { return *controls[static_cast<size_t>(index)]; }
    // The index of the topmost control that holds point (view coordinates), or -1.
    int IndexAt(Pictures::Point point) const noexcept;
    Controls::StatusText& StatusLine() const noexcept { return *status; }
    // The parameter control of index (At), or null for a button or the status line.
    Controls::ParameterControl* AsParameterControl(int index) const noexcept;

    // ---- Any thread, once built: the map never changes ---------------------------------------
    Controls::ParameterControl* ControlOf(int parameter) const noexcept;

private:
    Pictures::ImageStrip knobStrip;
    Pictures::ImageStrip switchStrip;
    Pictures::ImageStrip syncLedStrip;
    Pictures::ImageStrip syncButtonStrip;
    std::vector<std::unique_ptr<Controls::Control>> controls;
    Controls::ParameterControl* byParameter[MorlentDelay::kParameterCount] = {};
    Controls::StatusText* status = nullptr;
};

} // namespace EditorCore
