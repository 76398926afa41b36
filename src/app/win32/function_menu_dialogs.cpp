#include "app/win32/function_menu_dialogs.h"

#include <string>
#include <vector>

#include "app/win32/resource_ids.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "ui/skin_pictures.h"

namespace v270::win32 {

namespace {

constexpr int32_t kLastDirectRow = 6;  // rows 1..6 are function codes 1..6 themselves

std::vector<std::u16string> macroNames(const MacroStore& macros) {
    const MacroTable table = macros.table();
    std::vector<std::u16string> names;
    for (int i = 0; i < table.macroCount; ++i) {
        names.emplace_back(table.macroSlots[static_cast<size_t>(i)].nameText());
    }
    return names;
}

void place(HWND window, Point at, platform::PixelSize size) {
    MoveWindow(window, at.x, at.y, size.width, size.height, TRUE);
    ShowWindow(window, SW_SHOW);
}

// Draws a menu's frame in a back buffer of the window's size and shows it in one copy.
void paintMenuWindow(HWND window, const PopupEnvironment& env, const MenuPointer& pointer,
                     const std::vector<std::u16string>& labels, std::string_view normal,
                     std::string_view over, std::string_view down) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const MenuGeometry& geometry = pointer.geometry();
    GdiFrameCanvas canvas(geometry.windowSize(), env.fonts);
    if (canvas) {
        const MenuPictures pictures{env.picture(normal), env.picture(over), env.picture(down)};
        paintMenu(canvas, geometry, pictures, pointer.hovered(), pointer.pressed(), labels,
                  env.font());
        canvas.present(dc);
    }
    EndPaint(window, &paint);
}

// The pointer messages of both menus: the row under the pointer, a press and a release. A press
// or release where no move was seen (the menu opened under a still pointer) counts for the row
// under it all the same. Returns true for a release, which the menu then acts on.
bool followPointer(HWND window, MenuPointer& pointer, UINT message, LPARAM lParam) {
    const bool moved = pointer.moveTo(pointOf(lParam));
    if (message == WM_LBUTTONUP)
        return true;
    if (message == WM_LBUTTONDOWN)
        pointer.press();
    if (moved || message == WM_LBUTTONDOWN)
        InvalidateRect(window, nullptr, FALSE);
    return false;
}

}  // namespace

bool CSubMenuDlg::open(HWND parent, Point at) {
    if (!create(env_.instance, IDD_SUB_MENU_POPUP, parent))
        return false;
    place(handle(), at, env_.scale.size(kSubMenuPlacementSize));
    return true;
}

INT_PTR CSubMenuDlg::handleMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto mask = env_.mask(skin_picture::kSubMenuMask);
            const platform::PixelSize maskSize = mask ? mask->size() : platform::PixelSize{};
            const int32_t entries = subMenuEntryCount(row_, env_.macros.macroCount());
            pointer_ = MenuPointer(subMenuGeometry(maskSize, entries).scaled(env_.scale));
            setRectangleRegion(handle(), pointer_.geometry().windowSize());
            return TRUE;
        }
        case WM_PAINT:
            onPaint();
            return TRUE;
        case WM_ERASEBKGND:
            setResult(TRUE);
            return TRUE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            if (followPointer(handle(), pointer_, message, lParam))
                onRelease();
            return FALSE;
        default:
            return FALSE;
    }
}

void CSubMenuDlg::onPaint() {
    const std::vector<std::u16string> names = macroNames(env_.macros);
    paintMenuWindow(handle(), env_, pointer_, subMenuLabels(row_, env_.tables.functionNames, names),
                    skin_picture::kSubMenuNormal, skin_picture::kSubMenuOver,
                    skin_picture::kSubMenuDown);
}

void CSubMenuDlg::onRelease() {
    const int32_t entry = pointer_.release();
    const std::optional<int32_t> code =
        env_.subMenuChoices.choose(row_, entry, env_.macros.macroCount());
    if (code) {
        assignButtonFunction(env_.profiles, env_.menuSlot, *code);
        env_.functionChosen();
    }
    InvalidateRect(handle(), nullptr, FALSE);
    // The function menu goes, and this sub-menu with it.
    const std::wstring title(kMainMenuTitle.begin(), kMainMenuTitle.end());
    if (HWND menu = FindWindowW(nullptr, title.c_str()))
        SendMessageW(menu, WM_CLOSE, 0, 0);
}

void CSubMenuDlg::step(int32_t delta) {
    if (pointer_.step(delta))
        InvalidateRect(handle(), nullptr, FALSE);
}

void CSubMenuDlg::leave() {
    pointer_.leave();
    InvalidateRect(handle(), nullptr, FALSE);
}

bool CMenuDlg::owns(HWND window) const {
    return window != nullptr && (window == handle() || (subMenu_ && window == subMenu_->handle()));
}

void CMenuDlg::takeKeyboard() {
    SetFocus(handle());
    if (pointer_.step(1))
        InvalidateRect(handle(), nullptr, FALSE);
}

bool CMenuDlg::onKey(WPARAM key) {
    if (keysInSubMenu_ && subMenu_) {
        switch (key) {
            case VK_UP:
            case VK_DOWN:
                subMenu_->step(key == VK_DOWN ? 1 : -1);
                return true;
            case VK_RETURN:
            case VK_SPACE:
                subMenu_->choose();
                return true;
            case VK_LEFT:
            case VK_ESCAPE:
                keysInSubMenu_ = false;
                subMenu_->leave();
                return true;
            default:
                return false;
        }
    }
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            if (pointer_.step(key == VK_DOWN ? 1 : -1))
                InvalidateRect(handle(), nullptr, FALSE);
            return true;
        case VK_RIGHT:
        case VK_RETURN:
        case VK_SPACE:
            if (opensSubMenu(pointer_.hovered())) {
                UpdateWindow(handle());  // the paint opens the hovered group's sub-menu
                if (subMenu_ && key != VK_SPACE) {
                    keysInSubMenu_ = true;
                    subMenu_->step(1);
                }
            } else if (key != VK_RIGHT) {
                onRelease();
            }
            return true;
        case VK_ESCAPE:
            hide();
            env_.requestMenuClose();
            return true;
        default:
            return false;
    }
}

CMenuDlg::~CMenuDlg() {
    subMenu_.reset();
}

bool CMenuDlg::open(HWND parent, Point origin) {
    if (!create(env_.instance, IDD_MENU_POPUP, parent))
        return false;
    place(handle(), origin, env_.scale.size(kMainMenuPlacementSize));
    return true;
}

INT_PTR CMenuDlg::handleMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const std::wstring title(kMainMenuTitle.begin(), kMainMenuTitle.end());
            SetWindowTextW(handle(), title.c_str());
            const auto mask = env_.mask(skin_picture::kMenuMask);
            pointer_ = MenuPointer(
                mainMenuGeometry(mask ? mask->size() : platform::PixelSize{}).scaled(env_.scale));
            setRectangleRegion(handle(), pointer_.geometry().windowSize());
            return TRUE;
        }
        case WM_PAINT:
            onPaint();
            return TRUE;
        case WM_ERASEBKGND:
            setResult(TRUE);
            return TRUE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            if (followPointer(handle(), pointer_, message, lParam))
                onRelease();
            return FALSE;
        case WM_CLOSE:
            // A choice in the sub-menu: both go once the sub-menu's handler has returned.
            hide();
            env_.requestMenuClose();
            return TRUE;
        default:
            return FALSE;
    }
}

void CMenuDlg::onPaint() {
    paintMenuWindow(handle(), env_, pointer_, mainMenuLabels(env_.tables.functionNames),
                    skin_picture::kMenuNormal, skin_picture::kMenuOver, skin_picture::kMenuDown);
    followHoveredRow();
}

void CMenuDlg::followHoveredRow() {
    const int32_t row = pointer_.hovered();
    if (subMenu_ && row == subMenuRow_)
        return;
    subMenu_.reset();
    subMenuRow_ = NO_HIT;
    keysInSubMenu_ = false;
    if (!opensSubMenu(row))
        return;
    const int32_t macroCount = env_.macros.macroCount();
    // Without macros the macro group has no entry to show.
    if (subMenuEntryCount(row, macroCount) == 0)
        return;
    RECT window;
    GetWindowRect(handle(), &window);
    const MenuGeometry& geometry = pointer_.geometry();
    const Point at{window.left + geometry.rowWidth,
                   subMenuTop(row, window.top, geometry.rowHeight, macroCount)};
    auto subMenu = std::make_unique<CSubMenuDlg>(env_, row);
    if (subMenu->open(handle(), at)) {
        subMenu_ = std::move(subMenu);
        subMenuRow_ = row;
    }
}

void CMenuDlg::onRelease() {
    const int32_t row = pointer_.release();
    InvalidateRect(handle(), nullptr, FALSE);
    if (row < 1 || row > kLastDirectRow)
        return;
    assignButtonFunction(env_.profiles, env_.menuSlot, row);
    env_.functionChosen();
    hide();
    env_.requestMenuClose();
}

void CMenuDlg::hide() {
    if (subMenu_ && subMenu_->handle() != nullptr)
        ShowWindow(subMenu_->handle(), SW_HIDE);
    ShowWindow(handle(), SW_HIDE);
}

}  // namespace v270::win32
