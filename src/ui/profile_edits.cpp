#include "ui/profile_edits.h"

#include <algorithm>
#include <cstddef>

namespace v270 {

namespace {

bool enabled(const ConfigProfile& profile, int level) {
    return profile.dpiSetEnabled[static_cast<size_t>(level)] != 0;
}

bool validLevel(int level) {
    return level >= 0 && level < kDpiLevelCount;
}

}  // namespace

void toggleDpiLevel(ConfigProfile& profile, int level) {
    if (!validLevel(level))
        return;
    const auto slot = static_cast<size_t>(level);
    if (!enabled(profile, level)) {
        profile.dpiSetEnabled[slot] = 1;
        return;
    }
    profile.dpiSetEnabled[slot] = 0;
    if (profile.dpiLevel != level)
        return;
    for (int tries = 0; tries < kDpiLevelCount; ++tries) {
        profile.dpiLevel = (profile.dpiLevel + 1) % kDpiLevelCount;
        if (enabled(profile, profile.dpiLevel))
            return;
    }
    profile.dpiLevel = level;
    profile.dpiSetEnabled[slot] = 1;
}

void selectDpiLevel(ConfigProfile& profile, int level) {
    if (validLevel(level) && enabled(profile, level))
        profile.dpiLevel = level;
}

void selectDpiCell(ConfigProfile& profile, int32_t cell) {
    const int32_t offset = cell - kFirstDpiCellId;
    if (offset < 0 || offset >= kDpiLevelCount * kDpiStepCount)
        return;
    const auto level = static_cast<size_t>(offset / kDpiStepCount);
    profile.dpiSet[level] = static_cast<uint8_t>(offset % kDpiStepCount);
}

int32_t fireTimeAt(int32_t x, const SkinItem& bar) {
    if (bar.width <= 0 || x < bar.x)
        return 0;
    // Unsigned, as the bar is drawn: a point inside the bar gives 0..299.
    const auto offset = static_cast<uint32_t>(x - bar.x);
    const auto value =
        offset * static_cast<uint32_t>(kMaxFireTime) / static_cast<uint32_t>(bar.width);
    return static_cast<int32_t>(std::min<uint32_t>(value, kMaxFireTime));
}

int32_t steppedFireTime(int32_t fireTime, int32_t step) {
    return std::clamp(fireTime + step, 0, kMaxFireTime);
}

}  // namespace v270
