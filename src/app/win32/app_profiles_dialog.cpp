#include "app/win32/app_profiles_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/win32/resource_ids.h"
#include "platform/win32/control_messages.h"
#include "platform/win32/file_dialogs_win32.h"
#include "platform/win32/running_applications.h"
#include "settings/config_profile.h"

namespace v270::win32 {

namespace {

// The list view's columns, in dialog units: they fill its 306 units less a scroll bar.
constexpr int kApplicationColumnWidth = 148;
constexpr int kMatchColumnWidth = 60;
constexpr int kProfileColumnWidth = 82;
// A running application's menu entry shows its window's title up to this many characters.
constexpr size_t kTitleChars = 48;
constexpr AppMatch kMatches[] = {AppMatch::Name, AppMatch::Path, AppMatch::Folder};

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string utf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

int dialogUnitsToPixels(HWND dialog, int width) {
    RECT rect{0, 0, width, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

void addComboText(HWND combo, std::u16string_view text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
}

int comboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

void selectCombo(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The combos of profiles list 1..5 in order; the rule's then offers the pause.
int32_t profileOfCombo(HWND combo) {
    if (comboSelection(combo) == kProfileCount)
        return AppProfileRule::kPauseHostFunctions;
    return std::clamp(comboSelection(combo) + 1, 1, kProfileCount);
}

int comboIndexOf(int32_t profile) {
    if (profile == AppProfileRule::kPauseHostFunctions)
        return kProfileCount;
    return std::clamp(profile, 1, kProfileCount) - 1;
}

void setListText(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

BOOL CALLBACK setFontOfChild(HWND child, LPARAM font) {
    setControlFont(child, reinterpret_cast<HFONT>(font), false);
    return TRUE;
}

}  // namespace

std::optional<AppProfileSettings> CAppProfilesDlg::edit(HINSTANCE instance, HWND owner) {
    if (runModal(instance, IDD_APP_PROFILES, owner) != IDOK)
        return std::nullopt;
    return editor_.settings();
}

bool CAppProfilesDlg::onNotify(const NMHDR& notice) {
    if (notice.idFrom != IDC_AP_RULES)
        return false;
    if (notice.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(notice);
        if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0)
            onRuleSelected();
    } else if (notice.code == LVN_KEYDOWN &&
               reinterpret_cast<const NMLVKEYDOWN&>(notice).wVKey == VK_DELETE) {
        removeSelected();
    }
    return true;
}

bool CAppProfilesDlg::onCommand(WORD command, WORD notification) {
    switch (command) {
        case IDOK:
            editor_.setEnabled(IsDlgButtonChecked(handle(), IDC_AP_ENABLED) == BST_CHECKED);
            takeFallback();
            EndDialog(handle(), IDOK);
            return true;
        case IDCANCEL:
            EndDialog(handle(), IDCANCEL);
            return true;
        case IDC_AP_PROFILE:
            if (notification == CBN_SELCHANGE)
                onRuleProfileChosen();
            return true;
        case IDC_AP_REMOVE:
            removeSelected();
            return true;
        case IDC_AP_ADD_RUNNING:
            addRunning();
            return true;
        case IDC_AP_BROWSE:
            browse();
            return true;
        case IDC_AP_STAY:
        case IDC_AP_RETURN:
            EnableWindow(item(IDC_AP_FALLBACK),
                         IsDlgButtonChecked(handle(), IDC_AP_RETURN) == BST_CHECKED);
            return true;
        default:
            return false;
    }
}

void CAppProfilesDlg::onInitDialog() {
    if (!english_) {
        // The dialog font of a Western system has no Chinese glyphs: the interface font of the
        // Chinese skin, at the dialog font's size, which already follows the screen's DPI.
        LOGFONTW font{};
        GetObjectW(controlFont(handle()), sizeof(font), &font);
        wcscpy_s(font.lfFaceName, L"宋体");
        chineseFont_ = UniqueFont(CreateFontIndirectW(&font));
        if (chineseFont_)
            EnumChildWindows(handle(), &setFontOfChild,
                             reinterpret_cast<LPARAM>(chineseFont_.get()));
    }
    setTexts();
    fillCombos();
    CheckDlgButton(handle(), IDC_AP_ENABLED,
                   editor_.settings().enabled ? BST_CHECKED : BST_UNCHECKED);
    showRules(editor_.settings().rules.empty() ? std::nullopt : std::optional<size_t>(0));
    showFallback();
}

void CAppProfilesDlg::setTexts() {
    const AppProfilesTexts& texts = appProfilesTexts(english_);
    SetWindowTextW(handle(), wide(texts.caption).c_str());
    const std::pair<int, std::u16string_view> labels[] = {
        {IDC_AP_ENABLED, texts.enabled},
        {IDC_AP_PROFILE_LABEL, texts.profileLabel},
        {IDC_AP_REMOVE, texts.remove},
        {IDC_AP_MATCH_LABEL, texts.matchLabel},
        {IDC_AP_ADD_RUNNING, texts.addRunning},
        {IDC_AP_BROWSE, texts.browse},
        {IDC_AP_FALLBACK_GROUP, texts.fallbackGroup},
        {IDC_AP_STAY, texts.stay},
        {IDC_AP_RETURN, texts.returnTo},
        {IDOK, texts.ok},
        {IDCANCEL, texts.cancel},
    };
    for (const auto& [id, text] : labels)
        SetDlgItemTextW(handle(), id, wide(text).c_str());

    HWND list = item(IDC_AP_RULES);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const std::pair<std::u16string_view, int> columns[] = {
        {texts.applicationColumn, kApplicationColumnWidth},
        {texts.matchColumn, kMatchColumnWidth},
        {texts.profileColumn, kProfileColumnWidth},
    };
    int index = 0;
    for (const auto& [title, width] : columns) {
        std::wstring text = wide(title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text.data();
        column.cx = dialogUnitsToPixels(handle(), width);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                     reinterpret_cast<LPARAM>(&column));
    }
}

void CAppProfilesDlg::fillCombos() {
    for (const int id : {IDC_AP_PROFILE, IDC_AP_FALLBACK}) {
        for (int32_t profile = 1; profile <= kProfileCount; ++profile)
            addComboText(item(id), profileText(profile, english_));
    }
    addComboText(item(IDC_AP_PROFILE), profileText(AppProfileRule::kPauseHostFunctions, english_));
    for (const AppMatch match : kMatches)
        addComboText(item(IDC_AP_MATCH), matchText(match, english_));
    selectCombo(item(IDC_AP_MATCH), 0);
}

void CAppProfilesDlg::showRules(std::optional<size_t> selected) {
    HWND list = item(IDC_AP_RULES);
    {
        const RedrawPause pause(list);
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        const std::vector<AppProfileRule>& rules = editor_.settings().rules;
        for (size_t row = 0; row < rules.size(); ++row) {
            std::wstring target = wide(rules[row].target);
            LVITEMW entry{};
            entry.mask = LVIF_TEXT;
            entry.iItem = static_cast<int>(row);
            entry.pszText = target.data();
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
            setListText(list, static_cast<int>(row), 1,
                        wide(matchText(rules[row].match, english_)));
            setListText(list, static_cast<int>(row), 2,
                        wide(profileText(rules[row].profile, english_)));
        }
    }
    if (selected && *selected < editor_.settings().rules.size()) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&state));
        SendMessageW(list, LVM_ENSUREVISIBLE, *selected, FALSE);
    }
    onRuleSelected();
}

std::optional<size_t> CAppProfilesDlg::selectedRule() const {
    const auto row =
        SendMessageW(item(IDC_AP_RULES), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row < 0 || static_cast<size_t>(row) >= editor_.settings().rules.size())
        return std::nullopt;
    return static_cast<size_t>(row);
}

// The profile box shows the selected rule's profile, and otherwise the one a new rule gets.
void CAppProfilesDlg::onRuleSelected() {
    const std::optional<size_t> row = selectedRule();
    if (row)
        newRuleProfile_ = editor_.settings().rules[*row].profile;
    selectCombo(item(IDC_AP_PROFILE), comboIndexOf(newRuleProfile_));
    EnableWindow(item(IDC_AP_REMOVE), row ? TRUE : FALSE);
}

void CAppProfilesDlg::onRuleProfileChosen() {
    newRuleProfile_ = profileOfCombo(item(IDC_AP_PROFILE));
    if (const std::optional<size_t> row = selectedRule()) {
        editor_.setRuleProfile(*row, newRuleProfile_);
        setListText(item(IDC_AP_RULES), static_cast<int>(*row), 2,
                    wide(profileText(newRuleProfile_, english_)));
    }
}

void CAppProfilesDlg::addApplication(const std::wstring& path) {
    const int matchIndex = std::clamp(comboSelection(item(IDC_AP_MATCH)), 0, 2);
    const std::optional<size_t> row =
        editor_.addApplication(utf16(path), kMatches[matchIndex], newRuleProfile_);
    if (!row && editor_.settings().rules.size() >= AppProfileSettings::kMaxRules) {
        const AppProfilesTexts& texts = appProfilesTexts(english_);
        MessageBoxW(handle(), wide(texts.full).c_str(), wide(texts.caption).c_str(),
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    showRules(row);
}

void CAppProfilesDlg::addRunning() {
    const std::vector<RunningApplication> applications = runningApplications();
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    if (applications.empty()) {
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 0,
                    wide(appProfilesTexts(english_).noRunning).c_str());
    }
    for (size_t index = 0; index < applications.size(); ++index) {
        const RunningApplication& application = applications[index];
        std::wstring title = application.title.substr(0, kTitleChars);
        if (application.title.size() > kTitleChars)
            title += L"...";
        const size_t separator = application.path.find_last_of(L"\\/");
        std::wstring text = application.path.substr(separator + 1) + L"\t" + title;
        // An & would underline the next letter instead of showing.
        for (size_t at = text.find(L'&'); at != std::wstring::npos; at = text.find(L'&', at + 2))
            text.insert(at, 1, L'&');
        AppendMenuW(menu, MF_STRING, index + 1, text.c_str());
    }
    RECT button{};
    GetWindowRect(item(IDC_AP_ADD_RUNNING), &button);
    const auto chosen = static_cast<size_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                       button.left, button.bottom, 0, handle(), nullptr));
    DestroyMenu(menu);
    if (chosen >= 1 && chosen <= applications.size())
        addApplication(applications[chosen - 1].path);
}

void CAppProfilesDlg::browse() {
    Win32FileDialogs dialogs;
    dialogs.setOwner(handle());
    platform::FileDialogRequest request;
    request.filter = std::u16string(appProfilesTexts(english_).executables);
    request.defaultExtension = u"exe";
    if (const std::optional<std::filesystem::path> file = dialogs.openFile(request))
        addApplication(file->wstring());
}

void CAppProfilesDlg::removeSelected() {
    const std::optional<size_t> row = selectedRule();
    if (!row)
        return;
    editor_.removeRule(*row);
    const size_t remaining = editor_.settings().rules.size();
    showRules(remaining == 0 ? std::nullopt : std::optional<size_t>(std::min(*row, remaining - 1)));
}

void CAppProfilesDlg::showFallback() {
    const int32_t fallback = editor_.settings().fallbackProfile;
    const bool returns = fallback != AppProfileSettings::kStay;
    CheckRadioButton(handle(), IDC_AP_STAY, IDC_AP_RETURN, returns ? IDC_AP_RETURN : IDC_AP_STAY);
    selectCombo(item(IDC_AP_FALLBACK), std::clamp(returns ? fallback : 1, 1, kProfileCount) - 1);
    EnableWindow(item(IDC_AP_FALLBACK), returns ? TRUE : FALSE);
}

void CAppProfilesDlg::takeFallback() {
    editor_.setFallback(IsDlgButtonChecked(handle(), IDC_AP_RETURN) == BST_CHECKED
                            ? profileOfCombo(item(IDC_AP_FALLBACK))
                            : AppProfileSettings::kStay);
}

}  // namespace v270::win32
