#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

DibSurface::DibSurface(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc || bits == nullptr)
        return;
    previous_ = SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

DibSurface::~DibSurface() {
    // The bitmap leaves the context before either is deleted.
    if (dc_ && previous_ != nullptr)
        SelectObject(dc_.get(), previous_);
}

}  // namespace v270::win32
