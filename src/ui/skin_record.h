#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/pixel_types.h"
#include "ui/skin_item.h"

namespace v270 {

// A layout value is read into a buffer of 260 characters, so at most 259 of them count.
inline constexpr size_t kSkinValueBuffer = 260;
// A well-formed value has seven fields separated by six commas.
inline constexpr size_t kSkinRecordFields = 7;
inline constexpr size_t kMaxSkinRecordCommas = kSkinRecordFields - 1;

// A coordinate or size beyond any screen is held to +-32767, so that an edge (x + width) and every
// position derived from one (a centred label, a clipped copy, a row of the window shape) stays
// far from overflow.
inline constexpr int32_t kMaxSkinCoordinate = 32767;

inline constexpr std::u16string_view kSkinFileMissingMessage = u"找不到配置文件";
inline constexpr std::u16string_view kSkinValueMalformedMessage = u"加载ini错误！";

// The fields of one layout value: 0 the entry's free name (in "FUN_STRING" the display name),
// 1..4 x, y, width and height, 5 the label, 6 whatever follows the sixth comma.
struct SkinRecord {
    std::array<std::u16string, kSkinRecordFields> fields;

    // Fields 1..4 convert as the C runtime's wide-string-to-integer conversion, held to
    // +-kMaxSkinCoordinate; field 5 is the label.
    SkinItem item() const;
    // The entry's area as left, top, right = x + width, bottom = y + height.
    platform::PixelRect rect() const { return item().area(); }
};

size_t commaCount(std::u16string_view value);

// Splits a value at its commas. Without a comma the whole value is field 0. Otherwise field 0 is
// the text before the first comma and field k the text after the k-th comma up to the next one
// (or the end); field 6 keeps everything after the sixth comma, commas included. Fields that a
// short value does not reach are empty.
SkinRecord splitSkinRecord(std::u16string_view value);

}  // namespace v270
