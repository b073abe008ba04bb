#include "controls/StatusText.h"

#include "common/FixedString.h"

namespace Controls {

void StatusText::SetText(const char* newText)
{
    Morlent::CopyFixedString(text, newText != nullptr ? newText : "", kTextCapacity);
    Site().Invalidate();
}

void StatusText::Draw(Pictures::Canvas& canvas)
{
    canvas.DrawTextLine(text, TextArea(), kStyle);
}

} // namespace Controls
