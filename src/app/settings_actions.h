#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "app/main_window_lifecycle.h"
#include "device/device_commands.h"
#include "platform/file_dialogs.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/page.h"
#include "ui/pointer_window.h"
#include "ui/skin_loader.h"

namespace v270 {

// What the settings actions ask of the main window.
class SettingsWindow {
  public:
    virtual ~SettingsWindow() = default;

    virtual void invalidate() = 0;
    virtual void setTitle(std::u16string_view title) = 0;
    // Releases the owner-drawn context and tray menus and loads those of the language.
    virtual void loadMenus(bool english) = 0;
    virtual void refreshMacroList() = 0;
};

struct SettingsActionServices {
    const ProgramPaths& paths;
    ProfileStore& profiles;
    MacroStore& macros;
    SkinLoader& skin;
    DeviceCommands& device;
    MainWindowLifecycle& lifecycle;  // keeps the language's macro file
    platform::FileDialogs& dialogs;
    const std::atomic<Page>& currentPage;
    SettingsWindow& window;
};

// The main page's actions on the stored settings as a whole: apply, the reset to factory
// settings, the import and export of a settings file and the switch of the interface language.
// None asks for confirmation. They run on the user-interface thread.
class SettingsActions final : public SettingsCommands {
  public:
    explicit SettingsActions(const SettingsActionServices& services) : s_(services) {}

    void apply() override { s_.device.ApplySettings(); }

    // Profile 1 gets the built-in defaults, profiles 2 to 5 the factory sections of config.ini,
    // the working copy the factory settings of the current profile, the macros the language's
    // defaults; then all of it is applied.
    void reset() override;

    // The working copy becomes section Config7 of a file the user picks; nothing is saved or
    // sent until the next apply.
    void importProfile() override;
    // The working copy, applied or not, is written into section Config7 of a file the user picks.
    void exportProfile() override;

    // Runs in full even for the language in use: the skin, the macros of the language (unsaved
    // macro edits are lost), the menus and the title. The profile is not touched.
    void switchLanguage(int32_t language) override;

    // "All Files(*.ini)|*.ini||", starting in the program's folder.
    platform::FileDialogRequest settingsFileRequest() const;

  private:
    void refreshAdvancedPage();

    SettingsActionServices s_;
};

}  // namespace v270
