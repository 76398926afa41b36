#include "ui/owner_drawn_menu.h"

#include <array>

namespace v270 {

namespace {

constexpr int32_t kUnitWidth = 8;
constexpr int32_t kItemHeight = 20;
constexpr int32_t kSeparatorHeight = 1;
constexpr int32_t kSeparatorIndent = 25;
constexpr int32_t kTextIndent = 10;

// The tick of a checked item: a stroke two pixels high, one column at a time, down two
// columns and up five, in the margin before the text.
constexpr std::array<int32_t, 8> kTickRise = {0, 1, 2, 1, 0, -1, -2, -3};
constexpr int32_t kTickLeft = 1;

void drawTick(MenuItemCanvas& canvas, const platform::PixelRect& rect, DisplayScale scale) {
    const int32_t middle = rect.top + rect.height() / 2 - scale.px(1);
    for (size_t column = 0; column < kTickRise.size(); ++column) {
        const int32_t x = kTickLeft + static_cast<int32_t>(column);
        const int32_t rise = kTickRise[column];
        canvas.fill({rect.left + scale.px(x), middle + scale.px(rise), rect.left + scale.px(x + 1),
                     middle + scale.px(rise + 2)},
                    menu_colour::kText);
    }
}

int32_t channelStep(uint8_t from, uint8_t to, int32_t height) {
    // Truncated toward zero, as a conversion of the quotient in floating point does.
    return static_cast<int32_t>((static_cast<double>(to) - static_cast<double>(from)) /
                                static_cast<double>(height));
}

uint8_t channelAt(uint8_t from, int32_t step, int32_t row) {
    return static_cast<uint8_t>(static_cast<uint32_t>(from + step * row) & 0xFFu);
}

// A frame one pixel wide: the top and left edges in `light`, then the right and bottom edges in
// `dark`, which so win where they overlap.
void drawFrame3d(MenuItemCanvas& canvas, const platform::PixelRect& r, platform::Rgb light,
                 platform::Rgb dark) {
    canvas.fill({r.left, r.top, r.right - 1, r.top + 1}, light);
    canvas.fill({r.left, r.top, r.left + 1, r.bottom - 1}, light);
    canvas.fill({r.right - 1, r.top, r.right, r.bottom}, dark);
    canvas.fill({r.left, r.bottom - 1, r.right, r.bottom}, dark);
}

// Ideographs, kana, hangul and full-width forms take two units of width, as a double-byte
// character does; counting them as one cut the Chinese items short.
bool isFullWidth(char16_t unit) {
    return (unit >= 0x1100 && unit <= 0x115F) || (unit >= 0x2E80 && unit <= 0xA4CF) ||
           (unit >= 0xAC00 && unit <= 0xD7A3) || (unit >= 0xF900 && unit <= 0xFAFF) ||
           (unit >= 0xFE30 && unit <= 0xFE4F) || (unit >= 0xFF00 && unit <= 0xFF60) ||
           (unit >= 0xFFE0 && unit <= 0xFFE6);
}

int32_t textUnits(std::u16string_view text) {
    int32_t units = 0;
    for (const char16_t unit : text) {
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            continue;  // a pair counts once, by its leading half
        units += (isFullWidth(unit) || (unit >= 0xD800 && unit <= 0xDBFF)) ? 2 : 1;
    }
    return units;
}

}  // namespace

platform::PixelSize measureMenuItem(const MenuItemData& item, DisplayScale scale) {
    const int32_t width = textUnits(item.text) * kUnitWidth;
    return scale.size({width, item.id == kSeparatorId ? kSeparatorHeight : kItemHeight});
}

std::vector<platform::Rgb> gradientRows(platform::Rgb top, platform::Rgb bottom, int32_t height) {
    std::vector<platform::Rgb> rows;
    if (height <= 0)
        return rows;
    const std::array<int32_t, 3> steps = {channelStep(top.red, bottom.red, height),
                                          channelStep(top.green, bottom.green, height),
                                          channelStep(top.blue, bottom.blue, height)};
    rows.reserve(static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        rows.push_back({channelAt(top.red, steps[0], row), channelAt(top.green, steps[1], row),
                        channelAt(top.blue, steps[2], row)});
    }
    return rows;
}

void drawMenuItem(MenuItemCanvas& canvas, const MenuItemData& item, const platform::PixelRect& rect,
                  bool selected, bool checked, DisplayScale scale) {
    if (item.id == kSeparatorId) {
        drawFrame3d(canvas,
                    {rect.left + scale.px(kSeparatorIndent), rect.top, rect.right, rect.bottom},
                    menu_colour::kSeparatorLight, menu_colour::kSeparatorDark);
        return;
    }
    if (selected) {
        canvas.frameWithCurrentPen(rect);
        const platform::PixelRect inner{rect.left + 1, rect.top + 1, rect.right - 1,
                                        rect.bottom - 1};
        const std::vector<platform::Rgb> rows =
            gradientRows(menu_colour::kHighlightTop, menu_colour::kHighlightBottom, inner.height());
        for (size_t row = 0; row < rows.size(); ++row) {
            canvas.horizontalLine(inner.left, inner.right, inner.top + static_cast<int32_t>(row),
                                  rows[row]);
        }
    } else {
        canvas.fill(rect, menu_colour::kBackground);
    }
    if (checked)
        drawTick(canvas, rect, scale);
    canvas.drawText(item.text,
                    {rect.left + scale.px(kTextIndent), rect.top, rect.right, rect.bottom});
}

}  // namespace v270
