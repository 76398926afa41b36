#pragma once

#include <array>
#include <cstdint>

namespace v270 {

// The resolution of each DPI value index, as the colour page shows the DPI in effect.
inline constexpr std::array<int32_t, 5> kDpiValues = {3200, 1200, 1600, 2000, 2400};
inline constexpr int32_t kFallbackDpiValue = 1200;

constexpr int32_t dpiValueOf(int32_t valueIndex) {
    if (valueIndex < 0 || valueIndex >= static_cast<int32_t>(kDpiValues.size())) {
        return kFallbackDpiValue;
    }
    return kDpiValues[static_cast<size_t>(valueIndex)];
}

}  // namespace v270
