#include "ui/function_menu.h"

#include <cstddef>

#include "settings/function_codes.h"
#include "ui/ui_text.h"

namespace v270 {

namespace {

// Rows 7, 8 and 10 list the functions from these codes on, entry d being code base + d.
constexpr int32_t kGroupBase7 = 10;
constexpr int32_t kGroupBase8 = 20;
constexpr int32_t kGroupBase10 = 30;
constexpr int32_t kEntries7 = 9;
constexpr int32_t kEntries8 = 6;
constexpr int32_t kEntries10 = 10;

constexpr std::u16string_view kEllipsis = u"...";

std::optional<int32_t> groupBase(int32_t row) {
    switch (row) {
        case 7:
            return kGroupBase7;
        case 8:
            return kGroupBase8;
        case kMacroRow:
            return function_code::kFirstMacro - 1;
        case kLastGroupRow:
            return kGroupBase10;
        default:
            return std::nullopt;
    }
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

platform::PixelSize MenuGeometry::windowSize() const {
    if (rowCount <= 0)
        return {rowWidth, 0};
    return {rowWidth, rowCount * rowHeight + 1};
}

int32_t MenuGeometry::rowAt(Point point) const {
    for (int32_t row = 1; row <= rowCount; ++row) {
        if (band(row).contains(point.x, point.y))
            return row;
    }
    return NO_HIT;
}

platform::PixelRect MenuGeometry::band(int32_t row) const {
    return {0, rowHeight * (row - 1), rowWidth, rowHeight * row};
}

MenuGeometry mainMenuGeometry(platform::PixelSize mask) {
    return {mask.width, mask.height / kMainMenuRows, kMainMenuRows};
}

MenuGeometry subMenuGeometry(platform::PixelSize mask, int32_t entryCount) {
    return {mask.width, mask.height / kSubMenuMaskRows, entryCount};
}

bool opensSubMenu(int32_t row) {
    return row >= kFirstGroupRow && row <= kLastGroupRow;
}

int32_t subMenuEntryCount(int32_t row, int32_t macroCount) {
    switch (row) {
        case 7:
            return kEntries7;
        case 8:
            return kEntries8;
        case kMacroRow:
            return macroCount;
        case kLastGroupRow:
            return kEntries10;
        default:
            return 0;
    }
}

std::optional<int32_t> subMenuCode(int32_t row, int32_t entry, int32_t macroCount) {
    const std::optional<int32_t> base = groupBase(row);
    if (!base || entry < 1 || entry > subMenuEntryCount(row, macroCount))
        return std::nullopt;
    return *base + entry;
}

int32_t subMenuTop(int32_t row, int32_t menuTop, int32_t rowHeight, int32_t macroCount) {
    switch (row) {
        case 7:
            return menuTop - rowHeight;
        case 8:
            return menuTop + 2 * rowHeight;
        case kMacroRow:
            // The last macro lines up with row 9 itself.
            return menuTop + (kMacroRow - macroCount) * rowHeight;
        default:
            return menuTop;
    }
}

std::vector<std::u16string> mainMenuLabels(
    const std::array<std::u16string, kFunctionNameCount>& functionNames) {
    return std::vector<std::u16string>(functionNames.begin(),
                                       functionNames.begin() + kMainMenuRows);
}

std::vector<std::u16string> subMenuLabels(
    int32_t row, const std::array<std::u16string, kFunctionNameCount>& functionNames,
    std::span<const std::u16string> macroNames) {
    std::vector<std::u16string> labels;
    if (row == kMacroRow) {
        labels.assign(macroNames.begin(), macroNames.end());
        return labels;
    }
    const std::optional<int32_t> base = groupBase(row);
    if (!base)
        return labels;
    const int32_t count = subMenuEntryCount(row, 0);
    for (int32_t entry = 1; entry <= count; ++entry) {
        // Code c is labelled with function name c, stored at index c - 1.
        labels.push_back(functionNames[static_cast<size_t>(*base + entry - 1)]);
    }
    return labels;
}

bool MenuPointer::moveTo(Point point) {
    const int32_t row = geometry_.rowAt(point);
    if (row == hovered_)
        return false;
    hovered_ = row;
    return true;
}

bool MenuPointer::step(int32_t delta) {
    const int32_t rows = geometry_.rowCount;
    if (rows <= 0)
        return false;
    int32_t row = 0;
    if (hovered_ < 1 || hovered_ > rows) {
        row = delta > 0 ? 1 : rows;
    } else {
        row = ((hovered_ - 1 + delta) % rows + rows) % rows + 1;
    }
    const bool changed = row != hovered_;
    hovered_ = row;
    return changed;
}

void assignButtonFunction(ProfileStore& profiles, int slot, int32_t code) {
    if (slot < 1 || slot > kButtonCount)
        return;
    profiles.edit([&](ConfigProfile& profile) {
        profile.buttonFunction[static_cast<size_t>(slot - 1)] = code;
        keepOnePrimaryClick(profile.buttonFunction, slot - 1);
    });
}

std::optional<int32_t> SubMenuChoices::choose(int32_t row, int32_t entry, int32_t macroCount) {
    if (entry == NO_HIT)
        return std::nullopt;
    if (!opensSubMenu(row)) {
        if (!functionCodeInfo(lastSubMenuCode_))
            return std::nullopt;
        return lastSubMenuCode_;
    }
    const std::optional<int32_t> code = subMenuCode(row, entry, macroCount);
    if (code)
        lastSubMenuCode_ = *code;
    return code;
}

std::u16string fittedText(platform::FrameCanvas& canvas, std::u16string_view text,
                          platform::FontChoice font, int32_t width) {
    if (canvas.measureText(text, font).width <= width)
        return std::u16string(text);
    for (size_t length = text.size(); length-- > 0;) {
        // Never split a character that takes two units.
        if (length > 0 && isHighSurrogate(text[length - 1]))
            continue;
        std::u16string candidate(text.substr(0, length));
        candidate += kEllipsis;
        if (canvas.measureText(candidate, font).width <= width)
            return candidate;
    }
    return std::u16string(kEllipsis);
}

void paintMenu(platform::FrameCanvas& canvas, const MenuGeometry& geometry,
               const MenuPictures& pictures, int32_t hovered, bool pressed,
               std::span<const std::u16string> labels, platform::FontChoice font) {
    if (pictures.normal) {
        const platform::PixelSize size = pictures.normal->size();
        canvas.copy(*pictures.normal, {0, 0, size.width, size.height}, 0, 0);
    }
    const bool rowHovered = hovered >= 1 && hovered <= geometry.rowCount;
    if (rowHovered) {
        const platform::Picture* layer = pressed ? pictures.down.get() : pictures.over.get();
        const platform::PixelRect band = geometry.band(hovered);
        if (layer != nullptr)
            canvas.copy(*layer, band, band.left, band.top);
    }
    for (int32_t row = 1; row <= geometry.rowCount; ++row) {
        const auto index = static_cast<size_t>(row - 1);
        if (index >= labels.size() || labels[index].empty())
            continue;
        const std::u16string text = fittedText(canvas, labels[index], font, geometry.rowWidth);
        const platform::TextExtent extent = canvas.measureText(text, font);
        const int32_t x = (geometry.rowWidth - extent.width) / 2;
        const int32_t y = geometry.rowHeight * (row - 1) + (geometry.rowHeight - extent.height) / 2;
        canvas.drawText(text, x, y, font, row == hovered ? text_colour::kRed : text_colour::kWhite);
    }
}

}  // namespace v270
