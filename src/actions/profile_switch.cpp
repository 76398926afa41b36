#include "actions/profile_switch.h"

namespace v270 {

void switchToProfile(ProfileStore& profiles, DeviceCommands& device, platform::ViewPort& view,
                     int32_t slot) {
    profiles.switchProfile(slot);
    device.ApplySettings();
    view.invalidate();
}

}  // namespace v270
