#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/pixel_types.h"

namespace v270::platform {

// The notice's sizes at 96 DPI; a monitor's scale multiplies them.
inline constexpr int32_t kNoticeFontPoints = 12;
inline constexpr int32_t kNoticePaddingX = 16;
inline constexpr int32_t kNoticePaddingY = 8;
inline constexpr int32_t kNoticeMargin = 12;

// A length of 96-DPI pixels at `dpi`, rounded to the nearest pixel.
constexpr int32_t scaleFrom96(int32_t pixels, int32_t dpi) {
    return static_cast<int32_t>((int64_t{pixels} * dpi + 48) / 96);
}

// Where the notice lies: its text's extent (measured in the font of `dpi`) with padding, a
// margin away from the bottom right corner of `workArea`, the work area of the monitor it shows
// on, all scaled to that monitor's `dpi`. A line longer than the work area is wide keeps its
// start in sight: the notice is then kept inside the work area from its left.
constexpr PixelRect noticePlacement(const PixelRect& workArea, PixelSize text, int32_t dpi) {
    const int32_t margin = scaleFrom96(kNoticeMargin, dpi);
    const int32_t width = text.width + 2 * scaleFrom96(kNoticePaddingX, dpi);
    const int32_t height = text.height + 2 * scaleFrom96(kNoticePaddingY, dpi);
    const int32_t left = std::max(workArea.left, workArea.right - margin - width);
    const int32_t top = std::max(workArea.top, workArea.bottom - margin - height);
    return {left, top, left + width, top + height};
}

}  // namespace v270::platform
