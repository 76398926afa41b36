#include "actions/profile_switch.h"

namespace v270 {

void switchToProfile(ProfileStore& profiles, DeviceCommands& device, platform::ViewPort& view,
                     int32_t slot, SwitchOrigin origin) {
    profiles.switchProfile(slot);
    if (origin == SwitchOrigin::Automatic)
        device.applyKeepingDriverWorking();
    else
        device.ApplySettings();
    view.invalidate();
}

}  // namespace v270
