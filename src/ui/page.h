#pragma once

#include <cstdint>

namespace v270 {

// The page the main window shows.
enum Page : uint8_t {
    PAGE_MAIN = 0,
    PAGE_ADVANCED = 1,
    PAGE_COLOUR = 2,
};

// The hover index when the pointer is over no entry of a table.
inline constexpr int32_t NO_HIT = 255;

}  // namespace v270
