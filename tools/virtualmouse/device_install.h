#pragma once

#include <windows.h>

#include <string>

namespace v270::virtualmouse {

// The virtual mouse's two root devices, one per vendor collection, as SetupAPI installs and
// removes them. Installing needs no signature: the INF's class is HIDClass and its service binary
// lies beside it. Every function returns "" on success, or what failed as "operation: (0xCODE)
// system text".

// Registers both devices of mouse `mouse` (0 or 1: its instance number) and installs the driver
// from `infPath` on them. The driver's files are copied into the prefix's system folder the first
// time.
std::string installDevices(const std::wstring& infPath, int mouse = 0);

// Removes the devices of mouse `mouse`, or of every mouse, the input collection's first. Their
// interfaces go with them, which the system announces as removals.
inline constexpr int kEveryMouse = -1;
std::string removeDevices(int mouse = kEveryMouse);

// How many devices of the virtual mouse are registered, of mouse `mouse` or of every mouse.
int registeredDevices(int mouse = kEveryMouse);

// The INF beside the running program.
std::wstring infBesideProgram();

}  // namespace v270::virtualmouse
