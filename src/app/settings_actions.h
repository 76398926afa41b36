#pragma once

#include <cstdint>

#include "app/main_window_lifecycle.h"
#include "device/device_commands.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/view_port.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/advanced_page.h"
#include "ui/settings_commands.h"
#include "ui/skin_loader.h"

namespace v270 {

struct SettingsActionServices {
    const ProgramPaths& paths;
    ProfileStore& profiles;
    MacroStore& macros;
    SkinLoader& skin;
    DeviceCommands& device;
    ClosePath& closePath;        // when a layout file of the language is missing
    AdvancedPage& advancedPage;  // its macro list follows the macros
    platform::FileDialogs& dialogs;
    platform::ViewPort& view;
    platform::MessageBoxes& messages;  // an apply while the mouse is away
};

// The main page's actions on the stored settings as a whole: apply, the reset to factory
// settings, the import and export of a settings file and the switch of the interface language.
// None asks for confirmation. They run on the user-interface thread.
class SettingsActions final : public SettingsCommands {
  public:
    explicit SettingsActions(const SettingsActionServices& services) : s_(services) {}

    // Writes the profile to the mouse; macro edits not yet saved (a recording, steps inserted)
    // are saved with it, so that a macro assigned and applied is in its file. With the mouse
    // away (the program waits for it) the profile is saved without raising the start prompt, and
    // a message says that the mouse gets it when it is plugged in; so after a reset.
    void apply() override;

    // Profile 1 gets the built-in defaults, profiles 2 to 5 the factory sections of config.ini,
    // the working copy the factory settings of the current profile, the macros the language's
    // defaults; then all of it is applied. A recording ends first. A config.ini that cannot be
    // read or written ends the reset where it is met.
    void reset() override;

    // The working copy becomes section Config7 of a file the user picks; nothing is saved or
    // sent until the next apply.
    void importProfile() override;
    // The working copy, applied or not, is written into section Config7 of a file the user picks.
    void exportProfile() override;

    // Runs in full even for the language in use: the skin, the macros of the language (unsaved
    // macro edits are lost; a recording ends first), the menus and the title. The profile is not
    // touched.
    void switchLanguage(int32_t language) override;

  private:
    void refreshAdvancedPage();
    void applyToMouse();

    SettingsActionServices s_;
};

}  // namespace v270
