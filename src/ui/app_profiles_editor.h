#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/app_profiles.h"

namespace v270 {

// The rules dialog's edits of the per-application profiles, apart from its window: what a rule
// for a chosen executable becomes, and the list kept free of twins.
class AppProfilesEditor {
  public:
    explicit AppProfilesEditor(AppProfileSettings settings) : settings_(std::move(settings)) {}

    const AppProfileSettings& settings() const { return settings_; }

    // A rule for the executable at `executablePath`: its file name, its full path or its
    // folder, as `match` says. A rule with the same match and target, in any case, takes the
    // new profile instead of a second rule. Returns the rule's row; nullopt when the path names
    // no file in a folder, or the list is full.
    std::optional<size_t> addApplication(std::u16string_view executablePath, AppMatch match,
                                         int32_t profile);
    void removeRule(size_t row);
    void setRuleProfile(size_t row, int32_t profile);

    void setEnabled(bool enabled) { settings_.enabled = enabled; }
    // kStay, or the profile 1..5 returned to when no rule matches.
    void setFallback(int32_t profile);

  private:
    AppProfileSettings settings_;
};

// The rules dialog, which the main window shows.
class AppProfilesDialog {
  public:
    virtual ~AppProfilesDialog() = default;
    // Shows the dialog modally over the main window, rules added with `currentProfile` until
    // the user picks another; the edited settings when the user confirmed them.
    virtual std::optional<AppProfileSettings> editAppProfiles(const AppProfileSettings& settings,
                                                              bool english,
                                                              int32_t currentProfile) = 0;
};

// What a rule's target is for an executable at `executablePath`; empty when there is none.
std::u16string ruleTargetFor(std::u16string_view executablePath, AppMatch match);

// The rules dialog's texts in one language.
struct AppProfilesTexts {
    std::u16string_view caption;
    std::u16string_view enabled;
    std::u16string_view applicationColumn;
    std::u16string_view matchColumn;
    std::u16string_view profileColumn;
    std::u16string_view profileLabel;
    std::u16string_view remove;
    std::u16string_view matchLabel;
    std::u16string_view addRunning;
    std::u16string_view browse;
    std::u16string_view noRunning;
    std::u16string_view executables;  // the file dialog's filter, "Name|*.exe||"
    std::u16string_view fallbackGroup;
    std::u16string_view stay;
    std::u16string_view returnTo;
    std::u16string_view ok;
    std::u16string_view cancel;
    std::u16string_view full;  // the list is full
};

const AppProfilesTexts& appProfilesTexts(bool english);
std::u16string_view matchText(AppMatch match, bool english);
// "Profile 3" or its Chinese form; for a rule that pauses the host functions, "Pause host
// functions".
std::u16string profileText(int32_t profile, bool english);

}  // namespace v270
