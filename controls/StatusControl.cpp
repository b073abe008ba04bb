#include "controls/StatusControl.h"

#include "pictures/Graphics.h"
#include "controls/WindowClasses.h"

#include <cstring>

namespace WindowsToolkit {

namespace {
constexpr const char* kFontFace = "Arial";
} // namespace

StatusControl* StatusControl::Create(const Pictures::ImageResource* background, const RECT& rectangle, HWND parent,
                                     HINSTANCE instance)
{
    auto* control = new StatusControl(background, rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                                      rectangle.bottom - rectangle.top);
    return CreateToolkitWindow(control, kStatusControlClassName, parent, instance) != nullptr ? control : nullptr;
}

StatusControl::StatusControl(const Pictures::ImageResource* background, int x, int y, int width, int height)
    : GraphicsControl(background, x, y, width, height),
      font(CreateFontA(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, kFontFace))
{
}

StatusControl::~StatusControl()
{
    if (font != nullptr)
        DeleteObject(font);
}

void StatusControl::SetText(const char* newText)
{
    std::strncpy(text, newText != nullptr ? newText : "", kTextCapacity - 1);
    text[kTextCapacity - 1] = '\0';
    if (GetHandle() != nullptr)
        InvalidateRect(GetHandle(), nullptr, TRUE);
}

void StatusControl::Draw(Pictures::Graphics& graphics)
{
    HDC dc = graphics.GetDC();
    if (dc == nullptr)
        return;
    HGDIOBJ previousFont = SelectObject(dc, font);
    RECT area{};
    GetClientRect(GetHandle(), &area);
    area.bottom -= 1;
    SetTextColor(dc, kTextColour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &area, DT_SINGLELINE | DT_BOTTOM | DT_LEFT);
    SelectObject(dc, previousFont);
    graphics.ReleaseDC(dc);
}

} // namespace WindowsToolkit
