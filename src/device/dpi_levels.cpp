#include "device/dpi_levels.h"

#include <algorithm>

namespace v270 {

namespace {

constexpr std::array<int32_t, kMaxSpeedStep + 1> kPointerSpeeds = {1,  2,  4,  6,  8,
                                                                   10, 12, 14, 16, 18};

bool isEnabled(const std::array<uint8_t, kDpiLevelCount>& enabled, int32_t level) {
    return enabled[static_cast<size_t>(level)] == 1;
}

}  // namespace

int32_t heldDpiLevel(int32_t level) {
    return std::clamp(level, 0, kDpiLevelCount - 1);
}

int32_t nextDpiLevel(int32_t level, int32_t step,
                     const std::array<uint8_t, kDpiLevelCount>& enabled) {
    const int32_t current = heldDpiLevel(level);
    switch (step) {
        case -1:
            for (int32_t k = current - 1; k >= 0; --k) {
                if (isEnabled(enabled, k))
                    return k;
            }
            return current;
        case 1:
            for (int32_t k = current + 1; k < kDpiLevelCount; ++k) {
                if (isEnabled(enabled, k))
                    return k;
            }
            return current;
        case 2:
            // One round over the four levels, the current one last; with none enabled it ends
            // where it began.
            for (int32_t offset = 1; offset <= kDpiLevelCount; ++offset) {
                const int32_t k = (current + offset) % kDpiLevelCount;
                if (isEnabled(enabled, k))
                    return k;
            }
            return current;
        default:
            return current;
    }
}

int32_t pointerSpeedOf(uint8_t dpiSpeed) {
    return kPointerSpeeds[std::min<size_t>(dpiSpeed, kMaxSpeedStep)];
}

}  // namespace v270
