#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/pixel_types.h"

namespace v270 {

// The dots per inch the skin is drawn for: its pictures and layout files are made for 96.
inline constexpr int32_t kSkinDpi = 96;

// The scale of a monitor, as its dots per inch, and what it makes of the skin's pixels. A length
// scales to the nearest whole pixel (halves up); a rectangle scales its edges, so that entries
// that touch at 96 DPI still touch, and at 96 DPI everything stays as it is.
struct DisplayScale {
    int32_t dpi = kSkinDpi;

    // A usable scale: below 24 DPI or above 960 (ten times) the system's answer is taken for
    // a fault, and the skin's own size is used.
    static constexpr DisplayScale fromDpi(int32_t dpi) {
        return DisplayScale{dpi >= 24 && dpi <= 960 ? dpi : kSkinDpi};
    }

    constexpr bool identity() const { return dpi == kSkinDpi; }

    constexpr int32_t px(int32_t skinPixels) const {
        if (identity())
            return skinPixels;
        const int64_t scaled = floorDiv(int64_t{skinPixels} * dpi + kSkinDpi / 2, kSkinDpi);
        return static_cast<int32_t>(std::clamp<int64_t>(scaled, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    }

    constexpr platform::PixelRect rect(const platform::PixelRect& r) const {
        return {px(r.left), px(r.top), px(r.right), px(r.bottom)};
    }
    constexpr platform::PixelSize size(platform::PixelSize s) const {
        return {px(s.width), px(s.height)};
    }
    constexpr platform::PixelPoint point(platform::PixelPoint p) const {
        return {px(p.x), px(p.y)};
    }

    constexpr bool operator==(const DisplayScale&) const = default;

  private:
    static constexpr int64_t floorDiv(int64_t a, int64_t b) {
        const int64_t q = a / b;
        return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
    }
};

}  // namespace v270
