#pragma once

#include <optional>

#include "platform/win32/dialog.h"
#include "platform/win32/gdi_objects.h"
#include "ui/app_profiles_editor.h"

namespace v270::win32 {

// The per-application profiles' dialog: a standard Windows dialog in the interface language,
// with the rules in a list view, their profile, removal, rules added from the running
// applications or a browsed executable, the feature's switch and what happens without a rule.
class CAppProfilesDlg final : public Dialog {
  public:
    CAppProfilesDlg(const AppProfileSettings& settings, bool english, int32_t currentProfile)
        : editor_(settings), english_(english), newRuleProfile_(currentProfile) {}

    // Runs the dialog modally; the edited settings when it ended with OK.
    std::optional<AppProfileSettings> edit(HINSTANCE instance, HWND owner);

  private:
    void onInitDialog() override;
    bool onCommand(WORD command, WORD notification) override;
    bool onNotify(const NMHDR& notice) override;
    void setTexts();
    void fillCombos();
    void showRules(std::optional<size_t> selected);
    std::optional<size_t> selectedRule() const;
    void onRuleSelected();
    void onRuleProfileChosen();
    void addApplication(const std::wstring& path);
    void addRunning();
    void browse();
    void removeSelected();
    void showFallback();
    void takeFallback();

    HWND item(int id) const { return GetDlgItem(handle(), id); }

    AppProfilesEditor editor_;
    const bool english_;
    int32_t newRuleProfile_;
    UniqueFont chineseFont_;
};

}  // namespace v270::win32
