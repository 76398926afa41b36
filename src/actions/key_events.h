#pragma once

#include <cstdint>

#include "platform/synthetic_input.h"

// How macro steps and host functions turn a virtual key into a keyboard event.
namespace v270 {

// Whether a macro sends `virtualKey` with the extended-key flag: the navigation block, Print
// Screen, Insert, Delete, the left Windows key, the menu key, numeric-pad divide, Num Lock and
// the right Shift, Ctrl and Alt, which would otherwise play back as the left ones.
bool isExtendedKey(uint8_t virtualKey);

// The scan code a macro step sends: fixed for Print Screen, Pause and the left Windows key,
// whose mapped codes are not the ones their key events carry; otherwise the low byte of the
// layout's mapping.
uint8_t macroScanCode(uint8_t virtualKey, platform::SyntheticInput& input);

// The low byte of the layout's scan code, as a keyboard event carries it.
uint8_t mappedScanCode(uint8_t virtualKey, platform::SyntheticInput& input);

}  // namespace v270
