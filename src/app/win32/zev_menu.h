#pragma once

#include <windows.h>

#include <array>

#include "ui/owner_drawn_menu.h"

namespace v270::win32 {

// A menu loaded from the program's resources and turned owner-drawn, item by item at every
// submenu level, so that it matches the dark skin. Each item carries the address of its own
// record as item data, so any instance draws the items of every instance.
class CZevMenu {
  public:
    CZevMenu() = default;
    CZevMenu(const CZevMenu&) = delete;
    CZevMenu& operator=(const CZevMenu&) = delete;
    virtual ~CZevMenu();

    // Releases the menu held before, loads menu resource `resourceId` and converts it. Returns
    // false, holding no menu, when the resource cannot be loaded.
    bool load(HINSTANCE instance, int resourceId);

    // Records every item of `menu` and makes it owner-drawn, then does the same for the
    // submenu it opens, if any. Items beyond the last record stay as the system draws them.
    bool ChangeToOwnerDraw(HMENU menu);

    // WM_DRAWITEM and WM_MEASUREITEM of menu items that carry a record.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    virtual void MeasureItem(MEASUREITEMSTRUCT& item);

    // The scale of the window the menus open over: items measure and draw at it.
    void setScale(DisplayScale scale) { scale_ = scale; }

    HMENU handle() const { return menu_; }
    // The popup at position `index` of the menu bar the resource holds.
    HMENU popup(int index) const { return menu_ != nullptr ? GetSubMenu(menu_, index) : nullptr; }
    int itemCount() const { return itemCount_; }

  private:
    HMENU menu_ = nullptr;
    std::array<MenuItemData, kMenuItemRecords> items_{};
    int itemCount_ = 0;
    DisplayScale scale_;
};

}  // namespace v270::win32
