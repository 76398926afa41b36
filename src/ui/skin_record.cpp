#include "ui/skin_record.h"

#include <algorithm>

#include "settings/text.h"

namespace v270 {

namespace {

enum Field : size_t { kName = 0, kX = 1, kY = 2, kWidth = 3, kHeight = 4, kLabel = 5 };

// Window coordinates fit in 16 bits; a layout number beyond them is clamped to them, so that
// the sums drawing and hit tests make of positions and sizes stay inside 32 bits.
int32_t layoutNumber(std::u16string_view field) {
    return std::clamp<int32_t>(parseLeadingInt(field), kMinLayoutNumber, kMaxLayoutNumber);
}

}  // namespace

SkinItem SkinRecord::item() const {
    return SkinItem{layoutNumber(fields[kX]), layoutNumber(fields[kY]),
                    layoutNumber(fields[kWidth]), layoutNumber(fields[kHeight]), fields[kLabel]};
}

size_t commaCount(std::u16string_view value) {
    return static_cast<size_t>(std::ranges::count(value, u','));
}

SkinRecord splitSkinRecord(std::u16string_view value) {
    SkinRecord record;
    size_t field = 0;
    size_t begin = 0;
    while (field + 1 < kSkinRecordFields) {
        const size_t comma = value.find(u',', begin);
        if (comma == std::u16string_view::npos)
            break;
        record.fields[field++] = std::u16string(value.substr(begin, comma - begin));
        begin = comma + 1;
    }
    record.fields[field] = std::u16string(value.substr(begin));
    return record;
}

}  // namespace v270
