#pragma once
// A popup menu of plain items, as Win32's TrackPopupMenu shows one: the left button chooses the
// item it is released on, Up and Down walk the items, Return chooses, and Escape or a click
// outside dismisses it (the answer is then 0).

#include "editor/Menus.h"
#include "editor/x11/Popup.h"

namespace X11Toolkit {

class MenuPopup final : public Popup {
public:
    static constexpr int kItemHeight = 22;
    static constexpr int kTextCell = 15;

    // topLeft: the menu's top-left corner in root coordinates.
    MenuPopup(Connection& connection, const EditorCore::Menu& menu, Pictures::Point topLeft);

    // The item under a point of the menu, or -1.
    int ItemAt(Pictures::Point point) const noexcept;

private:
    void Draw(cairo_t* cr) override;
    void OnPointerMove(Pictures::Point point) override;
    void OnButtonPress(unsigned button, Pictures::Point point) override;
    void OnButtonRelease(unsigned button, Pictures::Point point) override;
    void OnKey(KeySym key) override;
    void Highlight(int item);

    EditorCore::Menu menu;
    int highlighted = -1;
};

} // namespace X11Toolkit
