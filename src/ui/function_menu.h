#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/frame_canvas.h"
#include "platform/picture.h"
#include "platform/pixel_types.h"
#include "settings/profile_store.h"
#include "ui/display_scale.h"
#include "ui/hit_test.h"
#include "ui/skin_tables.h"

// The function menu of a mouse button and its sub-menus: ten rows of functions, of which rows 7
// to 10 open a group to the right (9 functions, 6 functions, the macros, 10 functions).
namespace v270 {

inline constexpr int32_t kMainMenuRows = 10;
// The sub-menu mask holds this many rows; a sub-menu shows as many as its group has.
inline constexpr int32_t kSubMenuMaskRows = 12;
inline constexpr int32_t kFirstGroupRow = 7;
inline constexpr int32_t kMacroRow = 9;
inline constexpr int32_t kLastGroupRow = 10;
// The title by which a sub-menu finds the function menu to close it.
inline constexpr std::u16string_view kMainMenuTitle = u"MainMenuDlg";
// The size each popup is first moved to; its window region then limits it.
inline constexpr platform::PixelSize kMainMenuPlacementSize{300, 300};
inline constexpr platform::PixelSize kSubMenuPlacementSize{300, 400};

// The rows of a skinned menu: bands rowHeight pixels high and rowWidth wide from the top, with
// one pixel line below the last.
struct MenuGeometry {
    int32_t rowWidth = 0;
    int32_t rowHeight = 0;
    int32_t rowCount = 0;

    // The window's size; a menu without rows has no height at all.
    platform::PixelSize windowSize() const;
    // The row 1..rowCount whose band holds `point`, or NO_HIT (the line below the rows is none).
    int32_t rowAt(Point point) const;
    // The band of row 1..rowCount.
    platform::PixelRect band(int32_t row) const;
    // The same rows at another scale; the line below the last stays one pixel.
    MenuGeometry scaled(DisplayScale scale) const {
        return {scale.px(rowWidth), scale.px(rowHeight), rowCount};
    }

    bool operator==(const MenuGeometry&) const = default;
};

// From the size of "menu_mask.jpg": its width, a tenth of its height per row.
MenuGeometry mainMenuGeometry(platform::PixelSize mask);
// From the size of "advanced menu_mask.jpg": its width, a twelfth of its height per row.
MenuGeometry subMenuGeometry(platform::PixelSize mask, int32_t entryCount);

bool opensSubMenu(int32_t row);
// The number of entries of the sub-menu of main row `row`: 0 for a row that opens none.
int32_t subMenuEntryCount(int32_t row, int32_t macroCount);
// The code of entry `entry` (1-based) of the sub-menu of `row`; nullopt when there is no such
// entry, so no code above the last macro's is ever produced.
std::optional<int32_t> subMenuCode(int32_t row, int32_t entry, int32_t macroCount);
// The top of the sub-menu of `row` in screen pixels, by the function menu's top.
int32_t subMenuTop(int32_t row, int32_t menuTop, int32_t rowHeight, int32_t macroCount);

// The labels of the rows: function names 1..10, and the group's names or the macros' names.
std::vector<std::u16string> mainMenuLabels(
    const std::array<std::u16string, kFunctionNameCount>& functionNames);
std::vector<std::u16string> subMenuLabels(
    int32_t row, const std::array<std::u16string, kFunctionNameCount>& functionNames,
    std::span<const std::u16string> macroNames);

// Which row of a menu is under the pointer and whether the left button is down in it.
class MenuPointer {
  public:
    explicit MenuPointer(MenuGeometry geometry) : geometry_(geometry) {}

    // Returns true when the hovered row changed, and so the menu must repaint.
    bool moveTo(Point point);
    // The arrow keys: the row `delta` rows on, wrapping round; from no row, the first (down) or
    // the last (up). Returns true when the hovered row changed.
    bool step(int32_t delta);
    // No row is hovered any more (the keyboard left this menu).
    void leave() { hovered_ = NO_HIT; }
    void press() { pressed_ = true; }
    // Ends the press and returns the row it ended over (NO_HIT for none).
    int32_t release() {
        pressed_ = false;
        return hovered_;
    }

    int32_t hovered() const { return hovered_; }
    bool pressed() const { return pressed_; }
    const MenuGeometry& geometry() const { return geometry_; }

  private:
    MenuGeometry geometry_;
    int32_t hovered_ = NO_HIT;
    bool pressed_ = false;
};

// Gives slot `slot` (1..6) the function `code`, and keeps the primary click on some button:
// when no slot holds it any more, the next slot gets it, or slot 6 itself.
void assignButtonFunction(ProfileStore& profiles, int slot, int32_t code);

// The codes the sub-menus hand out. A choice in the sub-menu of a row that opens none (it
// cannot be seen, but the menu may be gone under it) repeats the code chosen last in any
// sub-menu; before any choice there is none, and nothing is assigned.
class SubMenuChoices {
  public:
    std::optional<int32_t> choose(int32_t row, int32_t entry, int32_t macroCount);
    int32_t lastSubMenuCode() const { return lastSubMenuCode_; }

  private:
    int32_t lastSubMenuCode_ = 0;
};

struct MenuPictures {
    std::shared_ptr<const platform::Picture> normal;
    std::shared_ptr<const platform::Picture> over;
    std::shared_ptr<const platform::Picture> down;
};

// One frame of a menu on a canvas of its window's size: the normal picture, the hovered row's
// band from the down picture while pressed or the over picture otherwise, and each row's label
// centred, red when hovered and white otherwise. A label wider than its row is shortened and
// ends in "...", so that it stays inside the menu.
void paintMenu(platform::FrameCanvas& canvas, const MenuGeometry& geometry,
               const MenuPictures& pictures, int32_t hovered, bool pressed,
               std::span<const std::u16string> labels, platform::FontChoice font);

// `text` as it fits in `width` pixels: whole, or cut and ending in "...".
std::u16string fittedText(platform::FrameCanvas& canvas, std::u16string_view text,
                          platform::FontChoice font, int32_t width);

}  // namespace v270
