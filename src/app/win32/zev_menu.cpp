#include "app/win32/zev_menu.h"

#include <string>
#include <vector>

#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

namespace {

std::u16string itemText(HMENU menu, int position) {
    const int length = GetMenuStringW(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
    if (length <= 0)
        return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    GetMenuStringW(menu, static_cast<UINT>(position), text.data(), length + 1, MF_BYPOSITION);
    return std::u16string(text.begin(), text.begin() + length);
}

COLORREF colourOf(platform::Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// The device context of one menu item as the drawing of an item uses it.
class MenuItemDc final : public MenuItemCanvas {
  public:
    explicit MenuItemDc(HDC dc) : dc_(dc) {
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, colourOf(menu_colour::kText));
    }

    void fill(const platform::PixelRect& rect, platform::Rgb colour) override {
        const RECT area{rect.left, rect.top, rect.right, rect.bottom};
        const COLORREF previous = SetBkColor(dc_, colourOf(colour));
        ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
        SetBkColor(dc_, previous);
    }
    void frameWithCurrentPen(const platform::PixelRect& rect) override {
        Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
    }
    void horizontalLine(int32_t left, int32_t right, int32_t y, platform::Rgb colour) override {
        UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colourOf(colour)));
        const ScopedSelection selected(dc_, pen.get());
        MoveToEx(dc_, left, y, nullptr);
        LineTo(dc_, right, y);
    }
    void drawText(std::u16string_view text, const platform::PixelRect& rect) override {
        RECT area{rect.left, rect.top, rect.right, rect.bottom};
        const std::wstring wide(text.begin(), text.end());
        DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &area,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }

  private:
    HDC dc_;
};

}  // namespace

CZevMenu::~CZevMenu() {
    if (menu_ != nullptr)
        DestroyMenu(menu_);
}

bool CZevMenu::load(HINSTANCE instance, int resourceId) {
    if (menu_ != nullptr)
        DestroyMenu(menu_);
    menu_ = LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
    itemCount_ = 0;
    return menu_ != nullptr && ChangeToOwnerDraw(menu_);
}

bool CZevMenu::ChangeToOwnerDraw(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (itemCount_ >= static_cast<int>(items_.size()))
            break;
        MenuItemData& record = items_[static_cast<size_t>(itemCount_)];
        record.text = itemText(menu, position);
        record.id = static_cast<int32_t>(GetMenuItemID(menu, position));

        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        // The item keeps its id and its submenu; only its look changes.
        MENUITEMINFOW owner{};
        owner.cbSize = sizeof(owner);
        owner.fMask = MIIM_FTYPE | MIIM_DATA;
        owner.fType = info.fType | MFT_OWNERDRAW;
        owner.dwItemData = reinterpret_cast<ULONG_PTR>(&record);
        SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &owner);
        ++itemCount_;

        if (info.hSubMenu != nullptr)
            ChangeToOwnerDraw(info.hSubMenu);
    }
    return true;
}

void CZevMenu::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU || item.itemData == 0)
        return;
    const auto* record = reinterpret_cast<const MenuItemData*>(item.itemData);
    MenuItemDc canvas(item.hDC);
    const RECT& r = item.rcItem;
    drawMenuItem(canvas, *record, {r.left, r.top, r.right, r.bottom},
                 (item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_CHECKED) != 0, scale_);
}

void CZevMenu::MeasureItem(MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU || item.itemData == 0)
        return;
    const auto* record = reinterpret_cast<const MenuItemData*>(item.itemData);
    const platform::PixelSize size = measureMenuItem(*record, scale_);
    item.itemWidth = static_cast<UINT>(size.width);
    item.itemHeight = static_cast<UINT>(size.height);
}

}  // namespace v270::win32
