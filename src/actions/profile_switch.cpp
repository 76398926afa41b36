#include "actions/profile_switch.h"

namespace v270 {

void switchToProfile(ProfileStore& profiles, DeviceCommands& device, platform::ViewPort& view,
                     int32_t slot, SwitchOrigin origin) {
    // A config.ini that cannot be read leaves the current profile as it is.
    if (!profiles.switchProfile(slot))
        return;
    if (origin == SwitchOrigin::Automatic)
        device.applyKeepingDriverWorking();
    else
        device.ApplySettings();
    view.invalidate();
}

}  // namespace v270
