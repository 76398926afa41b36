#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pixel_types.h"
#include "ui/display_scale.h"

// The owner-drawn popup menus (the tray menu and the step list's context menu): white text on
// teal, a blue-to-cyan gradient under the highlighted item. What a menu item looks like and
// measures is decided here; the window system only supplies the device context.
namespace v270 {

// Every item of one menu, with all its submenu levels, has one of this many records; items
// beyond them are left as the system draws them.
inline constexpr size_t kMenuItemRecords = 30;
inline constexpr int32_t kSeparatorId = 0;
inline constexpr int32_t kSubMenuId = -1;

// One menu item as loaded from the resource, before it became owner-drawn.
struct MenuItemData {
    std::u16string text;
    int32_t id = kSeparatorId;  // the command id; kSubMenuId for an item that opens a submenu

    bool operator==(const MenuItemData&) const = default;
};

namespace menu_colour {
inline constexpr platform::Rgb kText{255, 255, 255};
inline constexpr platform::Rgb kBackground{0, 120, 153};
inline constexpr platform::Rgb kHighlightTop{0, 0, 255};
inline constexpr platform::Rgb kHighlightBottom{0, 255, 255};
inline constexpr platform::Rgb kSeparatorLight{255, 0, 0};  // top and left edges
inline constexpr platform::Rgb kSeparatorDark{0, 0, 255};   // bottom and right edges
}  // namespace menu_colour

// 8 pixels per unit of text wide (a full-width character such as an ideograph is two units)
// and 20 high; a separator is 1 pixel high. At another scale the sizes scale with it.
platform::PixelSize measureMenuItem(const MenuItemData& item, DisplayScale scale = {});

// The colour of each row of a vertical gradient `height` rows high from `top` to `bottom`: per
// channel a whole step of (bottom - top) / height, truncated toward zero, taken modulo 256.
// Nothing for a height of 0 or less.
std::vector<platform::Rgb> gradientRows(platform::Rgb top, platform::Rgb bottom, int32_t height);

// What drawing an item needs of the menu's device context.
class MenuItemCanvas {
  public:
    virtual ~MenuItemCanvas() = default;

    virtual void fill(const platform::PixelRect& rect, platform::Rgb colour) = 0;
    // A rectangle with the context's current pen and brush: the frame of a highlighted item.
    virtual void frameWithCurrentPen(const platform::PixelRect& rect) = 0;
    // A one-pixel line from (left, y) to (right, y), the end point left out.
    virtual void horizontalLine(int32_t left, int32_t right, int32_t y, platform::Rgb colour) = 0;
    // One line of text in white on a transparent background, left-aligned in `rect` and
    // centred vertically.
    virtual void drawText(std::u16string_view text, const platform::PixelRect& rect) = 0;
};

// Draws `item` in `rect`, highlighted when `selected`; a `checked` item has a tick in the
// margin left of its text. The indents and the tick follow `scale`.
void drawMenuItem(MenuItemCanvas& canvas, const MenuItemData& item, const platform::PixelRect& rect,
                  bool selected, bool checked = false, DisplayScale scale = {});

}  // namespace v270
