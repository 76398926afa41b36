#pragma once

namespace v270::win32 {

// Tells, through the debugger output, how long the first frame took: from the process's creation
// and from the moment the program's own code began, after the system (or Wine) loaded it. Users
// see nothing; a debugger or Wine's "debugstr" channel shows the line.
void reportFirstFrame();

}  // namespace v270::win32
