#include "app/win32/advanced_page_controls.h"

#include <string>
#include <vector>

#include "platform/win32/control_messages.h"

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
        setControlFont(control, font, false);
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

std::u16string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    return std::u16string(text.begin(), text.begin() + length);
}

std::u16string listText(HWND list, int32_t row) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (row < 0 || length == LB_ERR)
        return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    return std::u16string(text.begin(), text.begin() + length);
}

void addRow(HWND list, std::u16string_view text) {
    const std::wstring row = wide(text);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

void replaceRows(HWND list, std::span<const std::u16string> rows) {
    const RedrawPause pause(list);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& row : rows)
        addRow(list, row);
}

int32_t rowCount(HWND list) {
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int32_t>(count);
}

int32_t selectedRow(HWND list) {
    const auto row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int32_t>(row);
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
                              kStepListId, font)) {
    if (stepList_ != nullptr)
        editableSteps_ = std::make_unique<CEditableListBox>(stepList_);
}

AdvancedPageControls::~AdvancedPageControls() {
    destroyControl(repeatCountEdit_);
    destroyControl(macroNameEdit_);
    destroyControl(macroList_);
    destroyControl(stepList_);
    editableSteps_.reset();
}

void AdvancedPageControls::showMacros(std::span<const std::u16string> names) {
    replaceRows(macroList_, names);
}

void AdvancedPageControls::addMacroRow(std::u16string_view name) {
    addRow(macroList_, name);
}

void AdvancedPageControls::removeMacroRow(int32_t row) {
    SendMessageW(macroList_, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

void AdvancedPageControls::selectMacroRow(int32_t row) {
    SendMessageW(macroList_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

int32_t AdvancedPageControls::selectedMacroRow() const {
    return selectedRow(macroList_);
}

std::u16string AdvancedPageControls::macroRowText(int32_t row) const {
    return listText(macroList_, row);
}

void AdvancedPageControls::focusMacroList() {
    SetFocus(macroList_);
}

std::u16string AdvancedPageControls::macroName() const {
    return windowText(macroNameEdit_);
}

void AdvancedPageControls::setMacroName(std::u16string_view name) {
    SetWindowTextW(macroNameEdit_, wide(name).c_str());
}

std::u16string AdvancedPageControls::repeatCountText() const {
    return windowText(repeatCountEdit_);
}

void AdvancedPageControls::showRepeatCount(std::u16string_view text, bool enabled) {
    SetWindowTextW(repeatCountEdit_, wide(text).c_str());
    EnableWindow(repeatCountEdit_, enabled ? TRUE : FALSE);
}

void AdvancedPageControls::showSteps(std::span<const std::u16string> rows) {
    replaceRows(stepList_, rows);
}

void AdvancedPageControls::addStepRow(std::u16string_view text) {
    addRow(stepList_, text);
}

void AdvancedPageControls::selectStepRow(int32_t row) {
    SendMessageW(stepList_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

int32_t AdvancedPageControls::selectedStepRow() const {
    return selectedRow(stepList_);
}

int32_t AdvancedPageControls::stepRowCount() const {
    return rowCount(stepList_);
}

std::u16string AdvancedPageControls::stepRowText(int32_t row) const {
    return listText(stepList_, row);
}

void AdvancedPageControls::focusStepList() {
    SetFocus(stepList_);
}

void AdvancedPageControls::focus(platform::AdvancedControl control) {
    switch (control) {
        case platform::AdvancedControl::RepeatCountEdit:
            SetFocus(repeatCountEdit_);
            break;
        case platform::AdvancedControl::MacroNameEdit:
            SetFocus(macroNameEdit_);
            break;
        case platform::AdvancedControl::MacroList:
            SetFocus(macroList_);
            break;
        case platform::AdvancedControl::StepList:
            SetFocus(stepList_);
            break;
    }
}

void AdvancedPageControls::editSelectedStepRow() {
    // The character code 1 opens the editor, as Ctrl+A typed in the list does.
    typeCharacter(stepList_, 1);
}

}  // namespace v270::win32
