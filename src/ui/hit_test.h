#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pixel_types.h"
#include "ui/page.h"
#include "ui/skin_item.h"

namespace v270 {

using Point = platform::PixelPoint;

// The first entry 0..last (last included) whose area holds `point`, or NO_HIT. Entries of zero
// size hold no point, so a skin without an entry simply lacks its action.
inline int32_t HitTest(Point point, std::span<const SkinItem> table, int32_t last) {
    for (int32_t i = 0; i <= last && static_cast<size_t>(i) < table.size(); ++i) {
        if (table[static_cast<size_t>(i)].contains(point.x, point.y))
            return i;
    }
    return NO_HIT;
}

}  // namespace v270
