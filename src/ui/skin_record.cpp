#include "ui/skin_record.h"

#include <algorithm>

#include "settings/text.h"

namespace v270 {

namespace {

enum Field : size_t { kName = 0, kX = 1, kY = 2, kWidth = 3, kHeight = 4, kLabel = 5 };

int32_t coordinate(std::u16string_view field) {
    return std::clamp(parseLeadingInt(field), -kMaxSkinCoordinate, kMaxSkinCoordinate);
}

}  // namespace

SkinItem SkinRecord::item() const {
    return SkinItem{coordinate(fields[kX]), coordinate(fields[kY]), coordinate(fields[kWidth]),
                    coordinate(fields[kHeight]), fields[kLabel]};
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
