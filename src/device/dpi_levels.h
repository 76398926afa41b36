#pragma once

#include <array>
#include <cstdint>

#include "settings/config_profile.h"

namespace v270 {

// The DPI level a press of a DPI button leads to: `step` -1 goes down and +1 up to the next
// enabled level without wrapping, 2 cycles to the next enabled level after `level`, wrapping,
// and finds `level` itself last. Where no enabled level qualifies the level stays. A level
// outside 0..3 is first held to that range.
int32_t nextDpiLevel(int32_t level, int32_t step,
                     const std::array<uint8_t, kDpiLevelCount>& enabled);

// A DPI level as an index of the four levels: a value outside 0..3 is held to that range.
int32_t heldDpiLevel(int32_t level);

// The Windows pointer speed for the profile's pointer speed level 0..9 (above 9 as 9).
int32_t pointerSpeedOf(uint8_t dpiSpeed);

}  // namespace v270
