#pragma once
// The editor's two boxes: the About box (the About picture with its two buttons) and the
// question "Clear All MIDI Learn" asks first. Both close with Escape or a click outside them;
// Return presses the button that has the focus, Tab moves the focus.

#include "editor/AboutBox.h"
#include "editor/x11/Popup.h"

#include <functional>

namespace X11Toolkit {

struct BoxButton {
    int command;
    const char* text;
    Pictures::Rect area;
};

// Buttons over a face; answers the command of the button that closed it.
class ButtonBox : public Popup {
protected:
    ButtonBox(Connection& connection, Pictures::Rect area, int cancelCommand);

    // The box's own drawing under its buttons.
    virtual void DrawFace(cairo_t* cr) = 0;
    // A button was pressed and released: Finish, or not (the box stays).
    virtual void OnCommand(int command) = 0;

    void AddButton(const BoxButton& button);
    int ButtonAt(Pictures::Point point) const noexcept;

private:
    void Draw(cairo_t* cr) override;
    void OnPointerMove(Pictures::Point point) override;
    void OnButtonPress(unsigned button, Pictures::Point point) override;
    void OnButtonRelease(unsigned button, Pictures::Point point) override;
    void OnKey(KeySym key) override;

    static constexpr int kMostButtons = 2;
    BoxButton buttons[kMostButtons] = {};
    int buttonCount = 0;
    int pressed = -1;
    bool pointerOnPressed = false;
    int focused = 0;
    int cancelCommand;
};

class AboutPopup final : public ButtonBox {
public:
    // picture: the About face (kAboutSize), not owned; opener opens the vendor's web site.
    AboutPopup(Connection& connection, cairo_surface_t* picture, Pictures::Point topLeft,
               std::function<void(const char*)> opener);

private:
    void DrawFace(cairo_t* cr) override;
    void OnCommand(int command) override;

    cairo_surface_t* picture;
    std::function<void(const char*)> opener;
};

class ConfirmPopup final : public ButtonBox {
public:
    static constexpr Pictures::Size kSize{400, 150};
    // Answers MORLENT_OK_ID for OK, kAboutCancelCommand (2) otherwise.
    ConfirmPopup(Connection& connection, const char* caption, const char* question, Pictures::Point topLeft);

private:
    void DrawFace(cairo_t* cr) override;
    void OnCommand(int command) override;

    const char* caption;
    const char* question;
};

} // namespace X11Toolkit
