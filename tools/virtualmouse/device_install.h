#pragma once

#include <windows.h>

#include <string>

namespace v270::virtualmouse {

// The virtual mouse's two root devices, one per vendor collection, as SetupAPI installs and
// removes them. Installing needs no signature: the INF's class is HIDClass and its service binary
// lies beside it. Every function returns "" on success, or what failed as "operation: (0xCODE)
// system text".

// Registers both devices and installs the driver from `infPath` on them. The driver's files are
// copied into the prefix's system folder the first time.
std::string installDevices(const std::wstring& infPath);

// Removes every device of the virtual mouse, the input collection's first. Their interfaces go
// with them, which the system announces as removals.
std::string removeDevices();

// How many devices of the virtual mouse are registered.
int registeredDevices();

// The INF beside the running program.
std::wstring infBesideProgram();

}  // namespace v270::virtualmouse
