#include "app/settings_actions.h"

#include "ui/window_titles.h"

namespace v270 {

namespace {

constexpr char16_t kSettingsFileFilter[] = u"All Files(*.ini)|*.ini||";
constexpr char16_t kSettingsFileExtension[] = u"ini";
constexpr int32_t kFirstFactoryProfile = 2;
constexpr int32_t kEnglish = 1;

std::u16string_view savedForLaterMessage(bool english) {
    return english ? u"The settings are saved. The mouse is not connected: it gets them when it "
                     u"is plugged in."
                   : u"设置已保存。鼠标未连接，插入鼠标后即写入鼠标。";
}

}  // namespace

void SettingsActions::apply() {
    applyToMouse();
    if (s_.macros.unsavedEdits())
        s_.macros.saveMacros(s_.macros.filePath());
}

void SettingsActions::applyToMouse() {
    if (s_.device.mouseConnected()) {
        s_.device.ApplySettings();
        return;
    }
    // Saved for the mouse's arrival, whose apply raises the start prompt: one raised now would
    // blink for a mouse that is not there.
    s_.device.applyKeepingDriverWorking();
    s_.messages.show(savedForLaterMessage(s_.profiles.englishUi() != 0));
}

void SettingsActions::refreshAdvancedPage() {
    if (!s_.advancedPage.shown())
        return;
    s_.advancedPage.refreshMacroList();
    s_.view.invalidate();
}

void SettingsActions::reset() {
    // The macros are about to be replaced: a recording into them ends first.
    s_.advancedPage.stopRecording();
    ProfileStore& profiles = s_.profiles;
    const std::filesystem::path& config = profiles.configFilePath();
    profiles.edit(
        [](ConfigProfile& profile) { profile = builtInDefaultProfile(profile.macroMode2); });
    // A config.ini that cannot be read or written ends the reset there, told.
    if (!profiles.saveProfile(config, 1))
        return;
    for (int32_t slot = kProfileCount; slot >= kFirstFactoryProfile; --slot) {
        if (!profiles.loadProfile(config, slot, true) || !profiles.saveProfile(config, slot))
            return;
    }
    profiles.loadProfile(config, profiles.currentConfig(), false);

    const int32_t language = profiles.englishUi();
    s_.macros.loadMacros(s_.paths.defaultMacroPath(language));
    refreshAdvancedPage();
    s_.macros.saveMacros(s_.paths.macroFilePath(language));
    applyToMouse();
}

void SettingsActions::importProfile() {
    const std::optional<std::filesystem::path> file = s_.dialogs.openFile(
        {.filter = kSettingsFileFilter, .initialFolder = s_.paths.exeFolder, .readOnly = true});
    if (!file)
        return;
    s_.profiles.loadProfile(*file, kExportSlot, false);
    s_.view.invalidate();
}

void SettingsActions::exportProfile() {
    const std::optional<std::filesystem::path> file =
        s_.dialogs.saveFile({.filter = kSettingsFileFilter,
                             .defaultExtension = kSettingsFileExtension,
                             .initialFolder = s_.paths.exeFolder,
                             .overwritePrompt = true});
    if (!file)
        return;
    s_.profiles.saveProfile(*file, kExportSlot);
    s_.view.invalidate();
}

void SettingsActions::switchLanguage(int32_t language) {
    s_.advancedPage.stopRecording();
    s_.profiles.setEnglishUi(language);
    s_.profiles.saveLanguage(language);

    bool skinFound = s_.skin.LoadMainSkin();
    skinFound = s_.skin.LoadColourSkin() && skinFound;
    skinFound = s_.skin.LoadAdvancedSkin() && skinFound;
    skinFound = s_.skin.LoadWarningSkin() && skinFound;
    if (!skinFound) {
        s_.closePath.closePath();
        return;
    }

    s_.macros.setFilePath(s_.paths.macroFilePath(language));
    s_.macros.loadMacros(s_.macros.filePath());
    refreshAdvancedPage();

    const bool english = language == kEnglish;
    s_.view.loadMenus(english);
    s_.view.setTitle(windowTitle(english));
}

}  // namespace v270
