#pragma once

#include <cstdint>

#include "settings/config_profile.h"
#include "ui/skin_item.h"

// The edits of the working profile that the entries of the main window make.
namespace v270 {

// Switches DPI level `level` (0..3) on or off. At least one level stays enabled, and dpiLevel
// always names an enabled level: disabling the current level moves it on cyclically to the next
// enabled one, and disabling the only enabled level leaves it enabled and current.
void toggleDpiLevel(ConfigProfile& profile, int level);

// Makes `level` the current level when it is enabled; a disabled level is not chosen.
void selectDpiLevel(ConfigProfile& profile, int level);

// Chooses value cell `cell` (60..79): the value index of its level.
void selectDpiCell(ConfigProfile& profile, int32_t cell);

// The fire interval at `x` on the bar `bar`: 0 at its left edge, 300 across its whole width.
int32_t fireTimeAt(int32_t x, const SkinItem& bar);

// The fire interval one step up or down, held to 0..300.
int32_t steppedFireTime(int32_t fireTime, int32_t step);

}  // namespace v270
