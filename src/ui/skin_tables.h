#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "platform/pixel_types.h"
#include "ui/skin_item.h"

namespace v270 {

inline constexpr size_t kMainItemCount = 100;
inline constexpr size_t kColourItemCount = 13;
inline constexpr size_t kAdvancedItemCount = 46;
inline constexpr size_t kWarningItemCount = 3;
inline constexpr size_t kFunctionNameCount = 54;  // "FUN_STRING" key k is stored at k - 1

// Everything the layout files of one language say: the entries of the three pages and of the
// warning dialog, the function names and the places of the advanced page's four child controls.
// Only the skin loaders change it.
struct SkinTables {
    std::array<SkinItem, kMainItemCount> mainItems;
    std::array<SkinItem, kColourItemCount> colourItems;
    std::array<SkinItem, kAdvancedItemCount> advancedItems;
    std::array<SkinItem, kWarningItemCount> warningItems;
    std::array<std::u16string, kFunctionNameCount> functionNames;

    platform::PixelRect repeatEditRect;
    platform::PixelRect nameEditRect;
    platform::PixelRect macroListRect;
    platform::PixelRect stepListRect;
};

}  // namespace v270
