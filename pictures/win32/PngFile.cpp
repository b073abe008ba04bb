#include "pictures/win32/PngFile.h"

#include <objidl.h>
#include <gdiplus.h>

namespace Pictures {
namespace {

// The PNG encoder's class identifier as GDI+ registers it.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

} // namespace

bool SaveAsPng(HBITMAP bitmap, const std::string& path)
{
    std::wstring widePath(path.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &widePath[0], static_cast<int>(widePath.size()));
    if (length <= 0)
        return false;
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Gdiplus::Ok)
        return false;
    const bool saved =
        Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

} // namespace Pictures
