#pragma once

#include "app/profile_transfer.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/skin_tables.h"

namespace v270 {

struct ProfileFileActionServices {
    const ProgramPaths& paths;
    ProfileStore& profiles;
    MacroStore& macros;
    const SkinTables& tables;  // the function names the question shows
    ProfileTransfer& transfer;
    platform::FileDialogs& dialogs;
    platform::MessageBoxes& messages;
    platform::FileSystem& fileSystem;  // the files the user picks
};

// "Export profile..." and "Import profile..." of the system and tray menus: the current profile
// into a profile file, and a profile file into the current profile, asked first. They run on the
// user-interface thread.
class ProfileFileActions {
  public:
    explicit ProfileFileActions(const ProfileFileActionServices& services) : s_(services) {}

    // The working copy, as the window shows it, with the macros its buttons play.
    void exportProfile();
    // Shows what the file changes and writes only when the user says yes; a file that cannot be
    // taken is refused with the reason, and nothing is written.
    void importProfile();

  private:
    bool english() const { return s_.profiles.englishUi() != 0; }

    ProfileFileActionServices s_;
};

}  // namespace v270
