#include "app/win32/advanced_page_controls.h"

#include <string>

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

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

AdvancedPageControls::AdvancedPageControls(HINSTANCE instance, HWND parent,
                                           const platform::AdvancedControlPlaces& places,
                                           HFONT font)
    : repeatCountEdit_(createControl(instance, parent, L"EDIT", kEditStyle, places.repeatCountEdit,
                                     kRepeatCountEditId, font)),
      macroNameEdit_(createControl(instance, parent, L"EDIT", kEditStyle, places.macroNameEdit,
                                   kMacroNameEditId, font)),
      macroList_(createControl(instance, parent, L"LISTBOX", kListStyle, places.macroList,
                               kMacroListId, font)),
      stepList_(createControl(instance, parent, L"LISTBOX", kListStyle, places.stepList,
                              kStepListId, font)) {}

AdvancedPageControls::~AdvancedPageControls() {
    destroyControl(repeatCountEdit_);
    destroyControl(macroNameEdit_);
    destroyControl(macroList_);
    destroyControl(stepList_);
}

void AdvancedPageControls::showMacros(std::span<const std::u16string> names, int32_t selected) {
    if (macroList_ == nullptr)
        return;
    SendMessageW(macroList_, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& name : names) {
        const std::wstring text = wide(name);
        SendMessageW(macroList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (selected < 0 || static_cast<size_t>(selected) >= names.size())
        return;
    SendMessageW(macroList_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SetWindowTextW(macroNameEdit_, wide(names[static_cast<size_t>(selected)]).c_str());
}

}  // namespace v270::win32
