#pragma once
// Writing a bitmap as a PNG file, for screenshots.

#include <windows.h>

#include <string>

namespace Pictures {

// Saves bitmap's pixels to path (in the ANSI code page) as a PNG file. GDI+ must be running.
// False when GDI+ cannot take the bitmap or write the file.
bool SaveAsPng(HBITMAP bitmap, const std::string& path);

} // namespace Pictures
