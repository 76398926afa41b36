#pragma once

#include <string>

#include "settings/profile_file.h"
#include "settings/profile_import.h"
#include "ui/skin_tables.h"

namespace v270 {

// The menu items, as the system menu and the tray menu show them.
std::u16string_view exportProfileMenuText(bool english);
std::u16string_view importProfileMenuText(bool english);

// Why a profile file is refused, in the interface language; one or two sentences that end with
// what was done: nothing.
std::u16string profileFileProblemText(const ProfileFileProblem& problem, bool english);

// What importing `fileName` changes, as the import asks before it writes: the profile, the
// buttons whose function changes (named as the function menus name them), the macros it adds,
// with the names they meet, and those already there.
std::u16string profileImportQuestion(const ProfileImportPlan& plan, const ConfigProfile& before,
                                     const MacroTable& tableBefore,
                                     const std::array<std::u16string, kFunctionNameCount>& names,
                                     std::u16string_view fileName, bool english);

}  // namespace v270
