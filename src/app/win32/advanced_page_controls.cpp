#include "app/win32/advanced_page_controls.h"

#include <algorithm>
#include <string>
#include <vector>

namespace v270::win32 {

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_WANTRETURN | ES_CENTER;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY;

HWND createControl(HINSTANCE instance, HWND parent, const wchar_t* className, DWORD style,
                   const platform::PixelRect& rect, int id, HFONT font) {
    HWND control = CreateWindowExW(
        0, className, L"", style, rect.left, rect.top, rect.width(), rect.height(), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (control != nullptr && font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void destroyControl(HWND& control) {
    if (control != nullptr && IsWindow(control))
        DestroyWindow(control);
    control = nullptr;
}

}  // namespace

void AdvancedPageControls::create(HINSTANCE instance, HWND parent, const SkinTables& tables,
                                  HFONT font) {
    destroy();
    repeatCountEdit_ = createControl(instance, parent, L"EDIT", kEditStyle, tables.repeatEditRect,
                                     kRepeatCountEditId, font);
    macroNameEdit_ = createControl(instance, parent, L"EDIT", kEditStyle, tables.nameEditRect,
                                   kMacroNameEditId, font);
    macroList_ = createControl(instance, parent, L"LISTBOX", kListStyle, tables.macroListRect,
                               kMacroListId, font);
    stepList_ = createControl(instance, parent, L"LISTBOX", kListStyle, tables.stepListRect,
                              kStepListId, font);
}

void AdvancedPageControls::destroy() {
    destroyControl(repeatCountEdit_);
    destroyControl(macroNameEdit_);
    destroyControl(macroList_);
    destroyControl(stepList_);
}

void AdvancedPageControls::refreshMacroList(MacroStore& macros) {
    if (macroList_ == nullptr)
        return;
    SendMessageW(macroList_, LB_RESETCONTENT, 0, 0);
    const MacroTable table = macros.table();
    std::vector<std::wstring> names;
    for (int i = 0; i < table.macroCount; ++i) {
        const std::u16string_view name = table.macroSlots[static_cast<size_t>(i)].nameText();
        names.emplace_back(name.begin(), name.end());
        SendMessageW(macroList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names.back().c_str()));
    }
    if (names.empty())
        return;
    const int selected = std::clamp(table.currentMacro, 0, static_cast<int32_t>(names.size()) - 1);
    macros.edit([selected](MacroTable& t) { t.currentMacro = selected; });
    SendMessageW(macroList_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SetWindowTextW(macroNameEdit_, names[static_cast<size_t>(selected)].c_str());
}

}  // namespace v270::win32
