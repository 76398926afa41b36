#pragma once

#include <string>

#include "settings/ini_files.h"

namespace v270 {

// A message box's text for a settings file that could not be read or saved: the file's full
// path and the system's reason, in the interface language.
std::u16string fileProblemMessage(const FileProblem& problem, bool english);

// The on-screen notice's one line for the same: the file's name and the reason.
std::u16string fileProblemNotice(const FileProblem& problem, bool english);

}  // namespace v270
