#include "legacy/controls/Label.h"

#include "legacy/controls/ToolkitClasses.h"

#include <cstring>

namespace WindowToolkit {

Label* Label::Create(const Picture* background, HFONT font, int x, int y, int width, int height, HWND parent,
                     HINSTANCE instance)
{
    auto* label = new Label(background, font);
    if (CreateToolkitWindow(label, kLabelClassName, x, y, width, height, parent, nullptr, instance) == nullptr)
        return nullptr;
    return label;
}

void Label::SetText(const char* newText)
{
    std::strncpy(text, newText != nullptr ? newText : "", kTextCapacity - 1);
    text[kTextCapacity - 1] = '\0';
    InvalidateRect(GetHandle(), nullptr, TRUE);
}

int Label::OnPaint(HDC dc)
{
    // Text drawn over the background in one off-screen picture, so the line never flickers.
    PaintOverBackground(GetHandle(), dc, background, [this](Pictures::Graphics& canvas) {
        HDC textDc = canvas.GetDC();
        if (textDc == nullptr)
            return;
        RECT area{};
        GetClientRect(GetHandle(), &area);
        HGDIOBJ previous = SelectObject(textDc, font);
        SetTextColor(textDc, kTextColour);
        SetBkMode(textDc, TRANSPARENT);
        DrawTextA(textDc, text, -1, &area, DT_SINGLELINE | DT_BOTTOM);
        SelectObject(textDc, previous);
        canvas.ReleaseDC(textDc);
    });
    return 1;
}

} // namespace WindowToolkit
