#include "editor/win32/StatusControl.h"

#include "editor/win32/WindowClasses.h"
#include "pictures/win32/GdiplusCanvas.h"

namespace WindowsToolkit {

StatusControl* StatusControl::Create(const Pictures::ImageResource* background, const RECT& rectangle, HWND parent,
                                     HINSTANCE instance)
{
    auto* control = new StatusControl(background, rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                                      rectangle.bottom - rectangle.top);
    return CreateToolkitWindow(control, kStatusControlClassName, parent, instance) != nullptr ? control : nullptr;
}

StatusControl::StatusControl(const Pictures::ImageResource* background, int x, int y, int width, int height)
    : GraphicsControl(background, std::make_unique<Controls::StatusText>(Controls::Rect{x, y, x + width, y + height})),
      font(CreateFontA(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       Controls::StatusText::kStyle.face))
{
}

StatusControl::~StatusControl()
{
    if (font != nullptr)
        DeleteObject(font);
}

void StatusControl::Draw(Pictures::Graphics& graphics)
{
    Pictures::GdiplusCanvas canvas(graphics, font);
    GetControl().Draw(canvas);
}

} // namespace WindowsToolkit
