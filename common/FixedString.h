#pragma once

namespace Morlent {

// Copies source into a fixed-width text field of width bytes, as hosts and chunks expect them:
// at most width − 1 characters, zero bytes after them, the last byte always zero. A null source
// is an empty text; nothing is read past the field's room, so a source need not be terminated.
inline void CopyFixedString(char* destination, const char* source, int width) noexcept
{
    if (destination == nullptr || width <= 0)
        return;
    int i = 0;
    if (source != nullptr)
        for (; i < width - 1 && source[i] != '\0'; ++i)
            destination[i] = source[i];
    for (; i < width; ++i)
        destination[i] = '\0';
}

} // namespace Morlent
