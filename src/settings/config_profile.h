#pragma once

#include <array>
#include <cstdint>

namespace v270 {

inline constexpr int kButtonCount = 6;
inline constexpr int kDpiLevelCount = 4;
inline constexpr int kDpiStepCount = 5;  // DPI codes 0..4 of one level
inline constexpr int kProfileCount = 5;  // slots 1..5; 6 and 7 are working copies
inline constexpr int kLastAppliedSlot = 6;
inline constexpr int kExportSlot = 7;
inline constexpr int kMaxFireTime = 300;
inline constexpr int kMaxLedMode = 3;
inline constexpr int kMaxSpeedStep = 9;  // dpiSpeed and wheelSpeed
inline constexpr int kFirstDpiCellId = 60;

// The working copy of the current profile: the stored settings and nothing else (what the mouse
// was last sent is the device link's mouse state). Button slots and DPI levels are 0-based here;
// slot s of the user interface is buttonFunction[s - 1].
struct ConfigProfile {
    std::array<int32_t, kButtonCount> buttonFunction{};
    int32_t wheelStatus = 0;
    int32_t macroMode2 = 0;  // 0 or 1, kept so when loaded
    int32_t dpiLevel = 0;    // 0..3, kept in range when loaded
    std::array<uint8_t, kDpiLevelCount> dpiSet{};
    std::array<uint8_t, kDpiLevelCount> dpiSetEnabled{};
    uint8_t ledStatus = 0;
    uint8_t dpiSpeed = 0;
    uint8_t wheelSpeed = 0;
    int32_t fireTime = 0;

    bool operator==(const ConfigProfile&) const = default;
};

// The skin hot-area id of DPI value `step` of level index `level`: 60..79. The chosen cell of a
// level is dpiCellIdOf(level, dpiSet[level]).
constexpr int32_t dpiCellIdOf(int level, int step) {
    return kFirstDpiCellId + kDpiStepCount * level + step;
}

// The settings a reset gives profile 1. `macroMode2` is not part of them: the reset keeps it.
ConfigProfile builtInDefaultProfile(int32_t macroMode2);

}  // namespace v270
