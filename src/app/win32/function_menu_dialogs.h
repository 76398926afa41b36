#pragma once

#include <memory>

#include "app/win32/popup_environment.h"
#include "platform/win32/dialog.h"
#include "ui/function_menu.h"

namespace v270::win32 {

// The sub-menu of one group of the function menu (rows 7 to 10): the group's functions or the
// macros, beside the function menu.
class CSubMenuDlg final : public Dialog {
  public:
    CSubMenuDlg(const PopupEnvironment& environment, int32_t row) : env_(environment), row_(row) {}

    // Creates the window from its template, places it at `at` (screen pixels) and shows it.
    bool open(HWND parent, Point at);

    // The keyboard: the arrows move over the entries, Enter or Space chooses one.
    void step(int32_t delta);
    void leave();
    void choose() { onRelease(); }

  private:
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onPaint();
    void onRelease();

    PopupEnvironment env_;
    const int32_t row_;
    MenuPointer pointer_{MenuGeometry{}};
};

// The function menu of a mouse button: ten rows of functions below the button's area. Rows 1 to
// 6 assign at once; rows 7 to 10 open their sub-menu while hovered.
class CMenuDlg final : public Dialog {
  public:
    explicit CMenuDlg(const PopupEnvironment& environment) : env_(environment) {}
    ~CMenuDlg() override;

    // Creates the window from its template, places it at `origin` (screen pixels) and shows it.
    bool open(HWND parent, Point origin);

    // Whether `window` is this menu or its sub-menu.
    bool owns(HWND window) const;
    // The menu was opened from the keyboard: its first row is marked and it takes the keys.
    void takeKeyboard();
    // A key pressed while the menu has the keyboard: Up and Down move over the rows, Right or
    // Enter enters a group's sub-menu, Left leaves it, Enter or Space chooses, Escape closes
    // the menu. Returns true for a key it took.
    bool onKey(WPARAM key);

  private:
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onPaint();
    void onRelease();
    // Opens the sub-menu of the hovered row, replacing one of another row; a row that opens
    // none closes it.
    void followHoveredRow();
    void hide();

    PopupEnvironment env_;
    MenuPointer pointer_{MenuGeometry{}};
    std::unique_ptr<CSubMenuDlg> subMenu_;
    int32_t subMenuRow_ = NO_HIT;
    bool keysInSubMenu_ = false;
};

}  // namespace v270::win32
