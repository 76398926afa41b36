#pragma once

#include <windows.h>

#include <string_view>

#include "app/script_command.h"

// The command front's side of the options for scripts: asks the running driver and tells the
// result on the standard streams, where a script reads it; never in a message box, which a
// script could not close.
namespace v270::win32 {

// The class of the window that takes the driver's answer. The driver answers no other.
inline constexpr wchar_t kScriptReplyWindowClass[] = L"V270CmdReply";

// Runs `command` against `running` (null: no driver runs). Returns the exit code.
int runScriptCommand(const ScriptCommand& command, HWND running, bool english);

// Writes to the standard output or error stream, attached to the console the script runs in
// when the program was started without streams of its own.
void writeStandardStream(DWORD stream, std::u16string_view text);

}  // namespace v270::win32
