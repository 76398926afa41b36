// The owner-drawn menu on real menus under Wine: the conversion keeps ids and submenus, each item
// carries its record, and an item draws its gradient into a device context.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win32/zev_menu.h"
#include "platform/win32/gdi_objects.h"

namespace v270 {
namespace {

using win32::CZevMenu;

// A popup like the step list's: a submenu with two commands, a separator and a command.
HMENU buildMenu() {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 32802, L"Down ");
    AppendMenuW(sub, MF_STRING, 32803, L"Up");
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"Left Button");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, 32781, L"Delete");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"MENU_CN");
    return bar;
}

MENUITEMINFOW itemInfo(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

const MenuItemData& recordOf(HMENU menu, UINT position) {
    return *reinterpret_cast<const MenuItemData*>(itemInfo(menu, position).dwItemData);
}

TEST(ZevMenuWin32Test, EveryItemBecomesOwnerDrawnWithItsRecordAndKeepsItsIdAndSubmenu) {
    CZevMenu menu;
    HMENU bar = buildMenu();
    ASSERT_TRUE(menu.ChangeToOwnerDraw(bar));
    EXPECT_EQ(menu.itemCount(), 6);

    HMENU popup = GetSubMenu(bar, 0);
    ASSERT_NE(popup, nullptr);
    HMENU sub = GetSubMenu(popup, 0);
    ASSERT_NE(sub, nullptr) << "the submenu is still attached";
    EXPECT_EQ(GetMenuItemID(sub, 1), 32803u);
    EXPECT_EQ(GetMenuItemID(popup, 2), 32781u);

    for (HMENU m : {bar, popup, sub}) {
        for (int i = 0; i < GetMenuItemCount(m); ++i) {
            EXPECT_NE(itemInfo(m, static_cast<UINT>(i)).fType & MFT_OWNERDRAW, 0u);
        }
    }
    EXPECT_EQ(recordOf(bar, 0), (MenuItemData{u"MENU_CN", kSubMenuId}));
    EXPECT_EQ(recordOf(popup, 0), (MenuItemData{u"Left Button", kSubMenuId}));
    EXPECT_EQ(recordOf(sub, 0), (MenuItemData{u"Down ", 32802}));
    EXPECT_EQ(recordOf(popup, 1).id, kSeparatorId);
    EXPECT_EQ(recordOf(popup, 2), (MenuItemData{u"Delete", 32781}));
    DestroyMenu(bar);
}

TEST(ZevMenuWin32Test, ItemsBeyondTheRecordsStayAsTheSystemDrawsThem) {
    CZevMenu menu;
    HMENU popup = CreatePopupMenu();
    for (UINT i = 0; i < 32; ++i)
        AppendMenuW(popup, MF_STRING, 100 + i, L"item");
    menu.ChangeToOwnerDraw(popup);
    EXPECT_EQ(menu.itemCount(), 30);
    EXPECT_NE(itemInfo(popup, 29).fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(itemInfo(popup, 30).fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(itemInfo(popup, 30).dwItemData, 0u);
    DestroyMenu(popup);
}

TEST(ZevMenuWin32Test, MeasuresAndDrawsFromTheRecord) {
    CZevMenu menu;
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 32800, L"Exit Driver");
    menu.ChangeToOwnerDraw(popup);
    const ULONG_PTR data = itemInfo(popup, 0).dwItemData;

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = data;
    menu.MeasureItem(measure);
    EXPECT_EQ(measure.itemWidth, 88u);
    EXPECT_EQ(measure.itemHeight, 20u);

    win32::DibSurface surface(120, 20);
    ASSERT_TRUE(surface);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemData = data;
    draw.itemState = ODS_SELECTED;
    draw.hDC = surface.dc();
    draw.rcItem = {0, 0, 120, 20};
    SelectObject(surface.dc(), GetStockObject(BLACK_PEN));
    menu.DrawItem(draw);
    GdiFlush();
    EXPECT_EQ(surface.row(0)[60], 0x000000u) << "the frame";
    EXPECT_EQ(surface.row(1)[119], 0x000000u);
    EXPECT_EQ(surface.row(1)[118], 0x0000FFu) << "the gradient's top row is blue";
    EXPECT_EQ(surface.row(18)[118], 0x00EEFFu) << "its last row has green 238";

    draw.itemState = 0;
    menu.DrawItem(draw);
    GdiFlush();
    EXPECT_EQ(surface.row(0)[0], 0x007899u) << "teal to the edges";
    EXPECT_EQ(surface.row(19)[119], 0x007899u);
    DestroyMenu(popup);
}

}  // namespace
}  // namespace v270
