#pragma once

#include <cstdint>
#include <string>

#include "platform/pixel_types.h"

namespace v270 {

// One entry of a skin layout: an area in client pixels of the window that shows it, and the
// text drawn in it.
struct SkinItem {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::u16string label;

    platform::PixelRect area() const { return {x, y, x + width, y + height}; }
    // Left and top edges are inside, right and bottom outside; an entry of zero size holds no
    // point.
    bool contains(int32_t px, int32_t py) const { return area().contains(px, py); }

    bool operator==(const SkinItem&) const = default;
};

}  // namespace v270
