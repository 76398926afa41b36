#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "settings/program_paths.h"

// What a start of V270.exe or of V270Cmd.exe needs to find and ask the driver that runs.
namespace v270::win32 {

// No library may come from the program's own folder or the current one, where somebody could
// drop one: the system folder only.
void hardenLibrarySearch();

// The words after the program's name, split as the C runtime would split them.
std::vector<std::u16string> commandLineArguments();

// The running driver's main window in this session, found by its English or Chinese title.
HWND findRunningInstance();

// The interface language, as the program reads it from config.ini at its start.
bool englishInterface(const ProgramPaths& paths);

// Hands the running driver's window the request to switch to `profile`; true when it took it.
bool sendProfileRequest(HWND running, int32_t profile);

// The words of `options` as a command line, for another start of the driver: only what was
// understood is passed on.
std::u16string commandLineOf(const CommandLineOptions& options);

}  // namespace v270::win32
