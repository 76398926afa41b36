#pragma once

#include <cstdint>

#include "device/device_commands.h"
#include "platform/view_port.h"
#include "settings/profile_store.h"

namespace v270 {

// The one road of a profile switch, whoever asks for it (the next-profile function, a rule of
// the per-application profiles, the command line): the slot becomes the current profile and is
// loaded, the mouse gets it with ApplySettings, and the window repaints. Nothing changes when
// config.ini cannot be read.
void switchToProfile(ProfileStore& profiles, DeviceCommands& device, platform::ViewPort& view,
                     int32_t slot);

}  // namespace v270
