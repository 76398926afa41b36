#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "settings/macro.h"
#include "settings/profile_file.h"

namespace v270 {

// Where one macro of a profile file lands in the macro table.
struct MacroPlacement {
    std::u16string fileName;  // as the file names it
    std::u16string name;      // as the table will hold it: with a suffix when the name was taken
    int tableIndex = 0;
    bool added = false;  // false: the table already holds the very same macro, which is played

    bool operator==(const MacroPlacement&) const = default;
};

// What importing a profile file into a profile slot changes, worked out before anything is
// written, so that it can be shown and confirmed, and refused as a whole.
struct ProfileImportPlan {
    int32_t slot = 1;
    ConfigProfile profile;  // as the slot will hold it: the buttons play the table's macros
    std::vector<MacroPlacement> macros;  // one per macro of the file, in its order
    MacroTable table;                    // the macro table after the import

    bool addsMacros() const;
};

using ProfileImportPlanning = std::variant<ProfileImportPlan, ProfileFileProblem>;

// The macros of `file` go into the free slots of `table`, after those in use; a macro the table
// already holds, name and steps alike, is played from where it is. A name the table already uses
// for another macro gets a suffix, " (2)", " (3)", ..., the name cut to make room. The buttons'
// macro codes follow their macros. Refused when the added macros do not fit.
ProfileImportPlanning planProfileImport(const ProfileFile& file, const MacroTable& table,
                                        int32_t slot);

}  // namespace v270
