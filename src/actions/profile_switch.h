#pragma once

#include <cstdint>

#include "device/device_commands.h"
#include "platform/view_port.h"
#include "settings/profile_store.h"

namespace v270 {

// Who asked for a switch: the user at the mouse (its next-profile button), or the program on the
// user's behalf while they are elsewhere (a rule of the per-application profiles, the command
// line), where a start prompt would go unseen and swallow the next press.
enum class SwitchOrigin { MouseButton, Automatic };

// The one road of a profile switch, whoever asks for it: the slot becomes the current profile
// and is loaded, the mouse gets it (an automatic switch keeps a working driver working), and the
// window repaints. Nothing changes when config.ini cannot be read.
void switchToProfile(ProfileStore& profiles, DeviceCommands& device, platform::ViewPort& view,
                     int32_t slot, SwitchOrigin origin);

}  // namespace v270
