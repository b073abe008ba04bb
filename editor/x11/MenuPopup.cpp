#include "editor/x11/MenuPopup.h"

#include <X11/keysym.h>

#include <cmath>

namespace X11Toolkit {

namespace {

constexpr int kBorder = 1;
constexpr int kTextLeft = 28;  // room for the check marks a Win32 menu keeps free
constexpr int kTextRight = 28;
constexpr int kLeastWidth = 120;

int MenuWidth(const EditorCore::Menu& menu)
{
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    double widest = 0.0;
    for (int i = 0; i < menu.count; ++i) {
        const double width = PopupLook::TextWidth(cr, menu.entries[i].text, MenuPopup::kTextCell);
        widest = width > widest ? width : widest;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    const int width = 2 * kBorder + kTextLeft + static_cast<int>(std::ceil(widest)) + kTextRight;
    return width > kLeastWidth ? width : kLeastWidth;
}

} // namespace

MenuPopup::MenuPopup(Connection& connection, const EditorCore::Menu& menu, Pictures::Point topLeft)
    : Popup(connection, Pictures::RectAt(topLeft, Pictures::Size{MenuWidth(menu), 2 * kBorder + menu.count * kItemHeight})),
      menu(menu)
{
    Show();
}

int MenuPopup::ItemAt(Pictures::Point point) const noexcept
{
    if (!Contains(point) || point.y < kBorder)
        return -1;
    const int item = (point.y - kBorder) / kItemHeight;
    return item < menu.count ? item : -1;
}

void MenuPopup::Draw(cairo_t* cr)
{
    const Pictures::Size size = GetSize();
    PopupLook::SetColour(cr, 0xF2F2F2);
    cairo_paint(cr);
    PopupLook::SetColour(cr, 0x979797);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, 0.5, 0.5, size.width - 1.0, size.height - 1.0);
    cairo_stroke(cr);
    for (int i = 0; i < menu.count; ++i) {
        const int top = kBorder + i * kItemHeight;
        unsigned textColour = 0x000000;
        if (i == highlighted) {
            PopupLook::SetColour(cr, 0x3A78D6);
            cairo_rectangle(cr, kBorder + 2, top + 1, size.width - 2 * kBorder - 4, kItemHeight - 2);
            cairo_fill(cr);
            textColour = 0xFFFFFF;
        }
        PopupLook::DrawText(cr, menu.entries[i].text, kBorder + kTextLeft, top + (kItemHeight - kTextCell) / 2.0,
                            kTextCell, textColour);
    }
}

void MenuPopup::Highlight(int item)
{
    if (item == highlighted)
        return;
    highlighted = item;
    Repaint();
}

void MenuPopup::OnPointerMove(Pictures::Point point)
{
    Highlight(ItemAt(point));
}

void MenuPopup::OnButtonPress(unsigned button, Pictures::Point point)
{
    if (!Contains(point)) {
        Finish(0); // a click elsewhere dismisses the menu, and goes nowhere else
        return;
    }
    if (button == Button1)
        Highlight(ItemAt(point));
}

void MenuPopup::OnButtonRelease(unsigned button, Pictures::Point point)
{
    // The right button that opened the menu is released over it without choosing anything.
    if (button != Button1)
        return;
    const int item = ItemAt(point);
    if (item >= 0)
        Finish(static_cast<int>(menu.entries[item].command));
}

void MenuPopup::OnKey(KeySym key)
{
    switch (key) {
    case XK_Escape:
        Finish(0);
        break;
    case XK_Down:
    case XK_KP_Down:
        if (menu.count > 0)
            Highlight(highlighted < 0 || highlighted + 1 >= menu.count ? 0 : highlighted + 1);
        break;
    case XK_Up:
    case XK_KP_Up:
        if (menu.count > 0)
            Highlight(highlighted <= 0 ? menu.count - 1 : highlighted - 1);
        break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (highlighted >= 0)
            Finish(static_cast<int>(menu.entries[highlighted].command));
        break;
    default:
        break;
    }
}

} // namespace X11Toolkit
