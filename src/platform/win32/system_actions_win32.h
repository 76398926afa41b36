#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/system_actions.h"

namespace v270::win32 {

// A line for the developer's log: why a program was not started.
using ActionLog = std::function<void(std::u16string_view line)>;

// The shell's actions, every program started through the desktop shell with its ordinary
// rights, never with the driver's; what cannot start so goes to `log`.
std::unique_ptr<platform::SystemActions> createShellActions(ActionLog log);

}  // namespace v270::win32
