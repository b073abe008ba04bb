#include "editor/x11/BoxPopups.h"

#include <X11/keysym.h>

#include <string>

namespace X11Toolkit {

ButtonBox::ButtonBox(Connection& connection, Pictures::Rect area, int cancelCommand)
    : Popup(connection, area), cancelCommand(cancelCommand)
{
}

void ButtonBox::AddButton(const BoxButton& button)
{
    if (buttonCount < kMostButtons)
        buttons[buttonCount++] = button;
}

int ButtonBox::ButtonAt(Pictures::Point point) const noexcept
{
    for (int i = 0; i < buttonCount; ++i)
        if (buttons[i].area.Contains(point))
            return i;
    return -1;
}

void ButtonBox::Draw(cairo_t* cr)
{
    DrawFace(cr);
    for (int i = 0; i < buttonCount; ++i)
        PopupLook::DrawButton(cr, buttons[i].area, buttons[i].text, i == pressed && pointerOnPressed, i == focused);
}

void ButtonBox::OnPointerMove(Pictures::Point point)
{
    if (pressed < 0)
        return;
    const bool on = ButtonAt(point) == pressed;
    if (on != pointerOnPressed) {
        pointerOnPressed = on;
        Repaint();
    }
}

void ButtonBox::OnButtonPress(unsigned button, Pictures::Point point)
{
    if (!Contains(point)) {
        Finish(cancelCommand);
        return;
    }
    if (button != Button1)
        return;
    pressed = ButtonAt(point);
    pointerOnPressed = pressed >= 0;
    if (pressed >= 0)
        focused = pressed;
    Repaint();
}

void ButtonBox::OnButtonRelease(unsigned button, Pictures::Point point)
{
    if (button != Button1 || pressed < 0)
        return;
    const int released = pressed;
    pressed = -1;
    pointerOnPressed = false;
    Repaint();
    // As a push button: only a release on the button it was pressed on counts.
    if (ButtonAt(point) == released)
        OnCommand(buttons[released].command);
}

void ButtonBox::OnKey(KeySym key)
{
    switch (key) {
    case XK_Escape:
        Finish(cancelCommand);
        break;
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_Left:
    case XK_Right:
        if (buttonCount > 0) {
            focused = (focused + 1) % buttonCount;
            Repaint();
        }
        break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (focused < buttonCount)
            OnCommand(buttons[focused].command);
        break;
    default:
        break;
    }
}

AboutPopup::AboutPopup(Connection& connection, cairo_surface_t* picture, Pictures::Point topLeft,
                       std::function<void(const char*)> opener)
    : ButtonBox(connection, Pictures::RectAt(topLeft, EditorCore::kAboutSize), EditorCore::kAboutCancelCommand),
      picture(picture), opener(std::move(opener))
{
    for (const EditorCore::AboutButton& button : EditorCore::kAboutButtons)
        AddButton(BoxButton{button.command, button.text, button.area});
    Show();
}

void AboutPopup::DrawFace(cairo_t* cr)
{
    PopupLook::SetColour(cr, 0x000000);
    cairo_paint(cr);
    if (picture != nullptr) {
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_paint(cr);
    }
}

void AboutPopup::OnCommand(int command)
{
    switch (EditorCore::AboutCommand(command)) {
    case EditorCore::AboutAction::kVisitWebsite:
        // The browser opens beside the box, which stays.
        if (opener)
            opener(MorlentDelay::kWebSiteAddress);
        break;
    case EditorCore::AboutAction::kClose:
        Finish(command);
        break;
    case EditorCore::AboutAction::kNothing:
        break;
    }
}

namespace {
constexpr int kCaptionHeight = 26;
constexpr int kTextCell = 15;
constexpr int kLineHeight = 18;
constexpr int kTextLeft = 70;
constexpr int kTextRight = 24;
} // namespace

ConfirmPopup::ConfirmPopup(Connection& connection, const char* caption, const char* question,
                           Pictures::Point topLeft)
    : ButtonBox(connection, Pictures::RectAt(topLeft, kSize), EditorCore::kAboutCancelCommand), caption(caption),
      question(question)
{
    constexpr int kButtonWidth = 75;
    constexpr int kButtonHeight = 23;
    const int top = kSize.height - 12 - kButtonHeight;
    AddButton(BoxButton{MORLENT_OK_ID, "OK", {kSize.width - 2 * (kButtonWidth + 10), top,
                                              kSize.width - kButtonWidth - 20, top + kButtonHeight}});
    AddButton(BoxButton{EditorCore::kAboutCancelCommand, "Cancel",
                        {kSize.width - kButtonWidth - 10, top, kSize.width - 10, top + kButtonHeight}});
    Show();
}

void ConfirmPopup::DrawFace(cairo_t* cr)
{
    PopupLook::SetColour(cr, 0xF0F0F0);
    cairo_paint(cr);
    PopupLook::SetColour(cr, 0xFFFFFF);
    cairo_rectangle(cr, 0, 0, kSize.width, kCaptionHeight);
    cairo_fill(cr);
    PopupLook::SetColour(cr, 0x7A7A7A);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, 0.5, 0.5, kSize.width - 1.0, kSize.height - 1.0);
    cairo_stroke(cr);
    PopupLook::DrawText(cr, caption, 10, (kCaptionHeight - kTextCell) / 2.0, kTextCell, 0x000000);

    // The warning sign: a yellow triangle with an exclamation mark.
    const double cx = 38.0, top = kCaptionHeight + 16.0;
    cairo_move_to(cr, cx, top);
    cairo_line_to(cr, cx + 17.0, top + 30.0);
    cairo_line_to(cr, cx - 17.0, top + 30.0);
    cairo_close_path(cr);
    PopupLook::SetColour(cr, 0xF4C430);
    cairo_fill_preserve(cr);
    PopupLook::SetColour(cr, 0x8A6D00);
    cairo_stroke(cr);
    cairo_rectangle(cr, cx - 1.5, top + 9.0, 3.0, 12.0);
    cairo_rectangle(cr, cx - 1.5, top + 23.0, 3.0, 3.0);
    PopupLook::SetColour(cr, 0x000000);
    cairo_fill(cr);

    // The question, wrapped at word boundaries to the room beside the sign.
    const double room = kSize.width - kTextLeft - kTextRight;
    std::string line;
    double y = kCaptionHeight + 16.0;
    const std::string text = question != nullptr ? question : "";
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(at, end - at);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && PopupLook::TextWidth(cr, longer.c_str(), kTextCell) > room) {
            PopupLook::DrawText(cr, line.c_str(), kTextLeft, y, kTextCell, 0x000000);
            y += kLineHeight;
            line = word;
        } else {
            line = longer;
        }
        at = end + 1;
    }
    if (!line.empty())
        PopupLook::DrawText(cr, line.c_str(), kTextLeft, y, kTextCell, 0x000000);
}

void ConfirmPopup::OnCommand(int command)
{
    Finish(command);
}

} // namespace X11Toolkit
