#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "device/device_commands.h"
#include "platform/view_port.h"
#include "settings/macro_store.h"
#include "settings/profile_import.h"
#include "settings/profile_store.h"
#include "ui/advanced_page.h"

namespace v270 {

struct ProfileTransferServices {
    ProfileStore& profiles;
    MacroStore& macros;
    DeviceCommands& device;
    AdvancedPage& advancedPage;  // a recording ends before the macros change; its list follows
    platform::ViewPort& view;
};

// An import planned against the macro table as it was then.
struct PlannedImport {
    ProfileImportPlan plan;
    MacroTable plannedOn;
};

// How an import ended.
enum class ImportOutcome {
    Done,
    ChangedMeanwhile,  // the macros changed since the plan was shown: nothing written
    NotSaved,          // a settings file could not be written (told): nothing changed
};

// Profile files in and out of the running driver, for the dialogs and for the command line. All
// of it runs on the user-interface thread.
class ProfileTransfer {
  public:
    explicit ProfileTransfer(const ProfileTransferServices& services) : s_(services) {}

    // The working copy, as the window shows it, with the macros its buttons play.
    std::vector<std::byte> exportWorkingCopy() const;
    // Profile `slot` as config.ini holds it; nullopt when config.ini cannot be read (told).
    std::optional<std::vector<std::byte>> exportStored(int32_t slot) const;

    // What importing the file into `slot` would change, or why it cannot be taken.
    std::variant<PlannedImport, ProfileFileProblem> plan(std::span<const std::byte> file,
                                                         int32_t slot) const;
    // Whether the import would replace settings that slot holds now (config.ini unreadable
    // counts as yes: nothing is known to be kept).
    bool replacesSettings(const ProfileImportPlan& plan) const;

    // Writes the macro table, then the profile; the current slot is also loaded and sent to the
    // mouse.
    ImportOutcome apply(const PlannedImport& planned);

  private:
    ProfileTransferServices s_;
};

}  // namespace v270
