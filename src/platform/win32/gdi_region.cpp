#include "platform/win32/gdi_region.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace v270::win32 {

UniqueRegion regionFromRects(std::span<const platform::PixelRect> rects) {
    if (rects.empty())
        return UniqueRegion(CreateRectRgn(0, 0, 0, 0));
    RECT bounds{rects.front().left, rects.front().top, rects.front().right, rects.front().bottom};
    for (const platform::PixelRect& r : rects) {
        bounds.left = std::min(bounds.left, static_cast<LONG>(r.left));
        bounds.top = std::min(bounds.top, static_cast<LONG>(r.top));
        bounds.right = std::max(bounds.right, static_cast<LONG>(r.right));
        bounds.bottom = std::max(bounds.bottom, static_cast<LONG>(r.bottom));
    }
    // RGNDATA: a header, then the rectangles.
    std::vector<std::byte> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header.rcBound = bounds;
    std::memcpy(buffer.data(), &header, sizeof(header));
    for (size_t i = 0; i < rects.size(); ++i) {
        const RECT rect{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        std::memcpy(buffer.data() + sizeof(RGNDATAHEADER) + i * sizeof(RECT), &rect, sizeof(rect));
    }
    return UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                                        reinterpret_cast<const RGNDATA*>(buffer.data())));
}

UniqueRegion regionPerPixel(const platform::Picture& mask, bool (*cutOut)(uint32_t pixel)) {
    const platform::PixelSize size = mask.size();
    UniqueRegion region(CreateRectRgn(0, 0, size.width, size.height));
    for (int32_t x = 0; x < size.width; ++x) {
        for (int32_t y = 0; y < size.height; ++y) {
            if (cutOut(mask.row(y)[static_cast<size_t>(x)])) {
                const UniqueRegion pixel(CreateRectRgn(x, y, x + 1, y + 1));
                CombineRgn(region.get(), region.get(), pixel.get(), RGN_XOR);
            }
        }
    }
    return region;
}

}  // namespace v270::win32
