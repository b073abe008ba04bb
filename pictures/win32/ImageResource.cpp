#include "pictures/win32/ImageResource.h"

#include <cstring>

namespace Pictures {

using namespace Gdiplus::DllExports;

bool ImageResource::Load(const char* name, HMODULE module)
{
    HRSRC resource = FindResourceA(module, name, "PNG");
    if (resource == nullptr)
        return false;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (size == 0 || bytes == nullptr)
        return false;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr)
        return false;
    void* copy = GlobalLock(block);
    if (copy == nullptr) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(copy, bytes, size);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream)) || stream == nullptr) {
        GlobalUnlock(block);
        GlobalFree(block);
        return false;
    }
    Gdiplus::GpBitmap* decoded = nullptr;
    const Gdiplus::GpStatus status = GdipCreateBitmapFromStream(stream, &decoded);
    stream->Release();
    UINT decodedWidth = 0;
    UINT decodedHeight = 0;
    if (status != Gdiplus::Ok || GdipGetImageWidth(decoded, &decodedWidth) != Gdiplus::Ok ||
        GdipGetImageHeight(decoded, &decodedHeight) != Gdiplus::Ok) {
        if (decoded != nullptr)
            GdipDisposeImage(decoded);
        GlobalUnlock(block);
        GlobalFree(block);
        return false;
    }

    Unload();
    memory = block;
    bitmap = decoded;
    width = static_cast<int>(decodedWidth);
    height = static_cast<int>(decodedHeight);
    return true;
}

void ImageResource::Unload()
{
    if (bitmap != nullptr) {
        GdipDisposeImage(bitmap);
        bitmap = nullptr;
    }
    if (memory != nullptr) {
        GlobalUnlock(memory);
        GlobalFree(memory);
        memory = nullptr;
    }
    width = 0;
    height = 0;
}

} // namespace Pictures
